#include "spreadsheet/CZipPackage.h"

#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>
#include <quazip/unzip.h>

#include <libdeflate.h>
#include <sys/mman.h>

#include <cstdlib>
#include <memory>

namespace XP {
namespace {

constexpr int storedMethod = 0;
constexpr int deflatedMethod = 8;
// Deflating stores incompressible bytes in blocks of at most 65,535 bytes, each with 5 bytes of framing.
constexpr qint64 maxDeflateGrowth(qint64 size)
{
    return size / 65535 * 5 + 64;
}

// Inflating makes at most 1,032 bytes of each byte read (runs of 258 bytes coded in two bits): an entry
// that claims more is refused before its size is allocated.
constexpr quint64 maxInflatedSize(quint64 packedSize)
{
    return packedSize * 1032 + 1024;
}

// A large part is inflated into huge pages where the system offers them: here a fresh 4 KiB page costs
// about as much as inflating 40 KiB, and a sheet of 100,000 rows takes some 2,300 of them.
constexpr std::size_t hugePageSize = 2 * 1024 * 1024;

struct FreeBytes
{
    void operator()(char* bytes) const { std::free(bytes); }
};
using Bytes = std::unique_ptr<char[], FreeBytes>;

Bytes allocateInflated(std::size_t size)
{
    if (size < hugePageSize) {
        return Bytes(static_cast<char*>(std::malloc(size + 1))); // an empty part gets a buffer too
    }
    const std::size_t rounded = (size / hugePageSize + 1) * hugePageSize;
    Bytes bytes(static_cast<char*>(std::aligned_alloc(hugePageSize, rounded)));
    if (bytes) {
        madvise(bytes.get(), rounded, MADV_HUGEPAGE); // advice only: without it, plain pages serve
    }
    return bytes;
}

struct FreeDecompressor
{
    void operator()(libdeflate_decompressor* decompressor) const
    {
        libdeflate_free_decompressor(decompressor);
    }
};

// Inflates packed into exactly size bytes; false when it makes more or fewer, or is no deflate stream.
bool inflateWhole(const QByteArray& packed, char* out, std::size_t size)
{
    const std::unique_ptr<libdeflate_decompressor, FreeDecompressor> decompressor(
        libdeflate_alloc_decompressor());
    std::size_t made = 0;
    return decompressor &&
           libdeflate_deflate_decompress(decompressor.get(), packed.constData(),
                                         static_cast<std::size_t>(packed.size()), out, size,
                                         &made) == LIBDEFLATE_SUCCESS &&
           made == size;
}

} // namespace

CZipPackage::CZipPackage(const QString& path)
    : zip(path)
    , archive(path)
{}

bool CZipPackage::open()
{
    if (!zip.open(QuaZip::mdUnzip) || !archive.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return false;
    }
    const int entries = zip.getEntriesCount();
    return entries > 0 && entries <= maxEntries;
}

bool CZipPackage::contains(const QString& partName)
{
    return zip.setCurrentFile(partName, QuaZip::csInsensitive);
}

// The part's packed bytes are read whole and inflated in one call, several times faster than inflating it
// piece by piece; the sizes and CRC its entry states must all hold.
bool CZipPackage::readPart(const QString& partName, qint64 maxBytes, const PartSink& sink)
{
    if (!zip.setCurrentFile(partName, QuaZip::csInsensitive)) {
        return false;
    }
    QuaZipFileInfo64 info;
    if (!zip.getCurrentFileInfo(&info) || info.uncompressedSize > static_cast<quint64>(maxBytes) ||
        info.compressedSize > static_cast<quint64>(maxBytes + maxDeflateGrowth(maxBytes)) ||
        info.uncompressedSize > maxInflatedSize(info.compressedSize)) {
        return false;
    }
    QuaZipFile file(&zip);
    int method = 0;
    int level = 0;
    if (!file.open(QIODevice::ReadOnly, &method, &level, true)) {
        return false;
    }
    // The packed bytes are read straight from the archive: through the entry, minizip would copy them once
    // more and checksum them on the way.
    const qint64 packedAt = static_cast<qint64>(unzGetCurrentFileZStreamPos64(zip.getUnzFile()));
    file.close();
    const qint64 packedSize = static_cast<qint64>(info.compressedSize);
    QByteArray packed(static_cast<int>(packedSize), Qt::Uninitialized);
    if (packedAt <= 0 || !archive.seek(packedAt) || archive.read(packed.data(), packedSize) != packedSize) {
        return false;
    }
    const std::size_t size = static_cast<std::size_t>(info.uncompressedSize);
    Bytes inflated;
    const char* bytes = packed.constData();
    if (method == deflatedMethod) {
        inflated = allocateInflated(size);
        if (!inflated || !inflateWhole(packed, inflated.get(), size)) {
            return false;
        }
        bytes = inflated.get();
    } else if (method != storedMethod || packed.size() != static_cast<int>(size)) {
        return false;
    }
    return libdeflate_crc32(0, bytes, size) == info.crc && sink(bytes, static_cast<int>(size));
}

} // namespace XP
