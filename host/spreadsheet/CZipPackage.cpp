#include "spreadsheet/CZipPackage.h"

#include "spreadsheet/CReadAhead.h"

#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>

namespace XP {
namespace {

// A part is inflated on a second thread up to this many chunks ahead of its parser.
constexpr int chunkSize = 64 * 1024;
constexpr int chunksAhead = 4;

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
    const auto inflate = [&file](char* buffer, qint64 capacity) {
        const qint64 got = file.read(buffer, capacity);
        return got < 0 || (got == 0 && file.getZipError() != UNZ_OK) ? -1 : got;
    };
    qint64 total = 0;
    const auto take = [&total, maxBytes, &sink](const char* data, qint64 size) {
        total += size;
        return total <= maxBytes && sink(data, static_cast<int>(size));
    };
    // A part that inflates to less than its header says is damaged as well; closing checks the CRC.
    const bool good = CReadAhead(chunkSize, chunksAhead).run(inflate, take) &&
                      static_cast<quint64>(total) == info.uncompressedSize;
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
