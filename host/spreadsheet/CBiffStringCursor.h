#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace XP {

// Reads BIFF8 values from a record's data followed by its CONTINUE records. Character data that runs
// on into the next piece starts there with a fresh option byte, as the format lays it out.
class CBiffStringCursor
{
public:
    explicit CBiffStringCursor(const std::vector<QByteArray>& pieces);

    bool readU8(std::uint8_t& value);
    bool readU16(std::uint16_t& value);
    bool readU32(std::uint32_t& value);
    bool skip(std::uint64_t count);

    // An XLUnicodeString: a character count (16 or 8 bits), option byte, optional rich-text and
    // phonetic sizes, the characters, then the rich-text runs and phonetic data, which are skipped.
    bool readString(QString& text, bool shortCount = false);

    bool atEnd() const;

private:
    bool nextPieceIfDone();
    bool readCharacters(std::uint32_t count, bool wide, QString& text);

    const std::vector<QByteArray>& pieces;
    std::size_t piece = 0;
    int position = 0;
};

} // namespace XP
