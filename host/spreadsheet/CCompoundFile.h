#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace XP {

// Read-only access to the streams of a compound file (the container of .xls workbooks), held in
// memory. Every sector number and chain is checked, so a damaged file gives false, never a bad read.
class CCompoundFile
{
public:
    static constexpr std::uint32_t maxStreamSize = 256U * 1024 * 1024;

    bool open(const QByteArray& data);

    // Reads the stream with the given name (compared without regard to case).
    bool readStream(const QString& name, QByteArray& stream) const;
    bool hasStream(const QString& name) const;

private:
    struct Entry
    {
        QString name;
        int type;
        std::uint32_t start;
        std::uint64_t size;
    };

    bool readFat();
    bool readChain(const std::vector<std::uint32_t>& table, std::uint32_t start, int unitShift,
                   const QByteArray& source, std::uint64_t offsetBase, QByteArray& out,
                   std::uint64_t maxBytes, bool exact) const;
    // exact: the chain must hold at least maxBytes (a stream of known size); otherwise it must end
    // before maxBytes (a table of unknown size).
    bool readSectorChain(std::uint32_t start, QByteArray& out, std::uint64_t maxBytes, bool exact) const;
    bool readDirectory();
    const Entry* findEntry(const QString& name) const;

    QByteArray file;
    int sectorShift = 9;
    int miniSectorShift = 6;
    std::uint32_t miniCutoff = 4096;
    std::vector<std::uint32_t> fat;
    std::vector<std::uint32_t> miniFat;
    std::vector<Entry> entries;
    QByteArray miniStream;
};

} // namespace XP
