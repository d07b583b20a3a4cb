#include "spreadsheet/CZipPackage.h"

#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>

namespace XP {
namespace {

constexpr int chunkSize = 256 * 1024;

} // namespace

CZipPackage::CZipPackage(const QString& path)
    : zip(path)
{}

bool CZipPackage::open()
{
    if (!zip.open(QuaZip::mdUnzip)) {
        return false;
    }
    const int entries = zip.getEntriesCount();
    return entries > 0 && entries <= maxEntries;
}

bool CZipPackage::contains(const QString& partName)
{
    return zip.setCurrentFile(partName, QuaZip::csInsensitive);
}

bool CZipPackage::readPart(const QString& partName, qint64 maxBytes, const ChunkSink& sink)
{
    if (!zip.setCurrentFile(partName, QuaZip::csInsensitive)) {
        return false;
    }
    QuaZipFileInfo64 info;
    if (!zip.getCurrentFileInfo(&info) || info.uncompressedSize > static_cast<quint64>(maxBytes)) {
        return false;
    }
    QuaZipFile file(&zip);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    QByteArray buffer(chunkSize, Qt::Uninitialized);
    qint64 total = 0;
    bool good = true;
    while (good) {
        const qint64 got = file.read(buffer.data(), chunkSize);
        if (got <= 0) {
            good = got == 0 && file.getZipError() == UNZ_OK;
            break;
        }
        total += got;
        good = total <= maxBytes && sink(buffer.constData(), static_cast<int>(got));
    }
    // A part that inflates to less than its header says is damaged as well; closing checks the CRC.
    good = good && static_cast<quint64>(total) == info.uncompressedSize;
    file.close();
    return good && file.getZipError() == UNZ_OK;
}

bool CZipPackage::readPart(const QString& partName, qint64 maxBytes, QByteArray& data)
{
    data.clear();
    return readPart(partName, maxBytes, [&data](const char* bytes, int size) {
        data.append(bytes, size);
        return true;
    });
}

} // namespace XP
