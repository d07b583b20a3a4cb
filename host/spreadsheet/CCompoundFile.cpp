#include "spreadsheet/CCompoundFile.h"

#include <QtEndian>

#include <cstring>

namespace XP {
namespace {

constexpr std::uint32_t endOfChain = 0xFFFFFFFE;
constexpr std::uint32_t freeSector = 0xFFFFFFFF;
constexpr int headerSize = 512;
constexpr int headerFatEntries = 109;
constexpr int entrySize = 128;
constexpr int streamEntry = 2;
constexpr int rootEntry = 5;
constexpr std::uint64_t maxDirectorySize = 16ULL * 1024 * 1024;

std::uint16_t u16(const QByteArray& data, std::uint64_t offset)
{
    return qFromLittleEndian<quint16>(data.constData() + offset);
}

std::uint32_t u32(const QByteArray& data, std::uint64_t offset)
{
    return qFromLittleEndian<quint32>(data.constData() + offset);
}

} // namespace

bool CCompoundFile::open(const QByteArray& data)
{
    file = data;
    if (file.size() < headerSize ||
        std::memcmp(file.constData(), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) != 0) {
        return false;
    }
    sectorShift = u16(file, 0x1E);
    miniSectorShift = u16(file, 0x20);
    miniCutoff = u32(file, 0x38);
    if ((sectorShift != 9 && sectorShift != 12) || miniSectorShift != 6) {
        return false;
    }
    if (!readFat() || !readDirectory() || entries.empty() || entries.front().type != rootEntry) {
        return false;
    }
    QByteArray miniFatBytes;
    const std::uint32_t firstMiniFat = u32(file, 0x3C);
    if (firstMiniFat != endOfChain && !readSectorChain(firstMiniFat, miniFatBytes, maxStreamSize, false)) {
        return false;
    }
    miniFat.resize(static_cast<std::size_t>(miniFatBytes.size()) / 4);
    for (std::size_t i = 0; i < miniFat.size(); ++i) {
        miniFat[i] = u32(miniFatBytes, i * 4);
    }
    const Entry& root = entries.front();
    return root.start == endOfChain ||
           readSectorChain(root.start, miniStream, std::min<std::uint64_t>(root.size, maxStreamSize), true);
}

bool CCompoundFile::readFat()
{
    const std::uint32_t sectorSize = 1U << sectorShift;
    const std::uint64_t sectorCount = (static_cast<std::uint64_t>(file.size()) + sectorSize - 1) / sectorSize;
    std::vector<std::uint32_t> fatSectors;
    const std::uint32_t fatCount = u32(file, 0x2C);
    if (fatCount > sectorCount) {
        return false;
    }
    for (int i = 0; i < headerFatEntries && fatSectors.size() < fatCount; ++i) {
        fatSectors.push_back(u32(file, 0x4C + static_cast<std::uint64_t>(i) * 4));
    }
    std::uint32_t difat = u32(file, 0x44);
    for (std::uint64_t guard = 0; fatSectors.size() < fatCount && difat != endOfChain && difat != freeSector;
         ++guard) {
        const std::uint64_t offset = (static_cast<std::uint64_t>(difat) + 1) << sectorShift;
        if (guard > sectorCount || offset + sectorSize > static_cast<std::uint64_t>(file.size())) {
            return false;
        }
        for (std::uint32_t i = 0; i + 1 < sectorSize / 4 && fatSectors.size() < fatCount; ++i) {
            fatSectors.push_back(u32(file, offset + i * 4));
        }
        difat = u32(file, offset + sectorSize - 4);
    }
    if (fatSectors.size() != fatCount) {
        return false;
    }
    fat.reserve(static_cast<std::size_t>(fatCount) * (sectorSize / 4));
    for (std::uint32_t sector : fatSectors) {
        const std::uint64_t offset = (static_cast<std::uint64_t>(sector) + 1) << sectorShift;
        if (offset + sectorSize > static_cast<std::uint64_t>(file.size())) {
            return false;
        }
        for (std::uint32_t i = 0; i < sectorSize / 4; ++i) {
            fat.push_back(u32(file, offset + i * 4));
        }
    }
    return true;
}

// Follows a chain through table, copying units of 1 << unitShift bytes from source (unit n at
// offsetBase + (n << unitShift)), stopping at maxBytes. False on a broken or looping chain.
bool CCompoundFile::readChain(const std::vector<std::uint32_t>& table, std::uint32_t start, int unitShift,
                              const QByteArray& source, std::uint64_t offsetBase, QByteArray& out,
                              std::uint64_t maxBytes, bool exact) const
{
    out.clear();
    const std::uint64_t unit = 1ULL << unitShift;
    std::uint32_t current = start;
    for (std::size_t steps = 0; current != endOfChain && static_cast<std::uint64_t>(out.size()) < maxBytes;
         ++steps) {
        if (steps > table.size() || current >= table.size()) {
            return false;
        }
        const std::uint64_t offset = offsetBase + (static_cast<std::uint64_t>(current) << unitShift);
        if (offset + unit > static_cast<std::uint64_t>(source.size())) {
            // The last sector of a file may be cut short; take what there is.
            if (offset >= static_cast<std::uint64_t>(source.size())) {
                return false;
            }
            out.append(source.constData() + offset,
                       static_cast<int>(source.size() - static_cast<int>(offset)));
        } else {
            out.append(source.constData() + offset, static_cast<int>(unit));
        }
        current = table[current];
    }
    if (current != endOfChain && static_cast<std::uint64_t>(out.size()) >= maxBytes && !exact) {
        return false; // longer than any part of this kind may be
    }
    if (static_cast<std::uint64_t>(out.size()) < maxBytes && exact) {
        return false;
    }
    if (static_cast<std::uint64_t>(out.size()) > maxBytes) {
        out.truncate(static_cast<int>(maxBytes));
    }
    return true;
}

bool CCompoundFile::readSectorChain(std::uint32_t start, QByteArray& out, std::uint64_t maxBytes,
                                    bool exact) const
{
    return readChain(fat, start, sectorShift, file, 1ULL << sectorShift, out, maxBytes, exact);
}

bool CCompoundFile::readDirectory()
{
    QByteArray directory;
    if (!readSectorChain(u32(file, 0x30), directory, maxDirectorySize, false)) {
        return false;
    }
    const bool version4 = sectorShift == 12;
    for (int offset = 0; offset + entrySize <= directory.size(); offset += entrySize) {
        const int nameBytes = std::min<int>(u16(directory, offset + 0x40), 64);
        const int type = static_cast<unsigned char>(directory.at(offset + 0x42));
        QString name = QString::fromUtf16(reinterpret_cast<const char16_t*>(directory.constData() + offset),
                                          std::max(0, nameBytes / 2 - 1));
        const std::uint64_t low = u32(directory, offset + 0x78);
        const std::uint64_t high = version4 ? u32(directory, offset + 0x7C) : 0;
        entries.push_back(Entry{name, type, u32(directory, offset + 0x74), low | (high << 32)});
    }
    return true;
}

const CCompoundFile::Entry* CCompoundFile::findEntry(const QString& name) const
{
    for (const Entry& entry : entries) {
        if (entry.type == streamEntry && entry.name.compare(name, Qt::CaseInsensitive) == 0) {
            return &entry;
        }
    }
    return nullptr;
}

bool CCompoundFile::hasStream(const QString& name) const
{
    return findEntry(name) != nullptr;
}

bool CCompoundFile::readStream(const QString& name, QByteArray& stream) const
{
    const Entry* entry = findEntry(name);
    if (!entry || entry->size > maxStreamSize) {
        return false;
    }
    if (entry->size < miniCutoff) {
        return readChain(miniFat, entry->start, miniSectorShift, miniStream, 0, stream, entry->size, true);
    }
    return readSectorChain(entry->start, stream, entry->size, true);
}

} // namespace XP
