#pragma once

#include <quazip/quazip.h>

#include <QFile>
#include <QString>

#include <functional>

namespace XP {

// Read-only access to the parts of a ZIP package with limits that hold even when the archive's
// headers lie: at most maxEntries entries, and no part inflates to more bytes than its caller allows.
// Every part is checked against its CRC once it has been read.
class CZipPackage
{
public:
    static constexpr int maxEntries = 10000;

    // Receives the inflated bytes of a part, whole; returning false is a failure.
    using PartSink = std::function<bool(const char* data, int size)>;

    explicit CZipPackage(const QString& path);

    bool open();
    bool contains(const QString& partName);

    // Part names are matched without regard to case, as packages require.
    bool readPart(const QString& partName, qint64 maxBytes, const PartSink& sink);

private:
    QuaZip zip;
    QFile archive; // the same file, for reading a part's packed bytes
};

} // namespace XP
