#include "spreadsheet/CBiffStringCursor.h"

#include <QtEndian>

namespace XP {

CBiffStringCursor::CBiffStringCursor(const std::vector<QByteArray>& pieces)
    : pieces(pieces)
{}

bool CBiffStringCursor::atEnd() const
{
    for (std::size_t i = piece; i < pieces.size(); ++i) {
        if ((i == piece ? position : 0) < pieces[i].size()) {
            return false;
        }
    }
    return true;
}

bool CBiffStringCursor::nextPieceIfDone()
{
    while (piece < pieces.size() && position >= pieces[piece].size()) {
        ++piece;
        position = 0;
    }
    return piece < pieces.size();
}

bool CBiffStringCursor::readU8(std::uint8_t& value)
{
    if (!nextPieceIfDone()) {
        return false;
    }
    value = static_cast<std::uint8_t>(pieces[piece].at(position++));
    return true;
}

bool CBiffStringCursor::readU16(std::uint16_t& value)
{
    std::uint8_t low = 0;
    std::uint8_t high = 0;
    if (!readU8(low) || !readU8(high)) {
        return false;
    }
    value = static_cast<std::uint16_t>(low | (high << 8));
    return true;
}

bool CBiffStringCursor::readU32(std::uint32_t& value)
{
    std::uint16_t low = 0;
    std::uint16_t high = 0;
    if (!readU16(low) || !readU16(high)) {
        return false;
    }
    value = low | (static_cast<std::uint32_t>(high) << 16);
    return true;
}

bool CBiffStringCursor::skip(std::uint64_t count)
{
    while (count > 0) {
        if (!nextPieceIfDone()) {
            return false;
        }
        const std::uint64_t step =
            std::min<std::uint64_t>(count, static_cast<std::uint64_t>(pieces[piece].size() - position));
        position += static_cast<int>(step);
        count -= step;
    }
    return true;
}

bool CBiffStringCursor::readCharacters(std::uint32_t count, bool wide, QString& text)
{
    text.clear();
    text.reserve(static_cast<int>(std::min<std::uint32_t>(count, 65535)));
    while (count > 0) {
        if (piece >= pieces.size()) {
            return false;
        }
        if (position >= pieces[piece].size()) {
            // The characters run on into the next piece, which begins with its own option byte.
            ++piece;
            position = 0;
            if (piece >= pieces.size() || pieces[piece].isEmpty()) {
                return false;
            }
            wide = (pieces[piece].at(position++) & 0x01) != 0;
            continue;
        }
        const QByteArray& data = pieces[piece];
        const int width = wide ? 2 : 1;
        const std::uint32_t take =
            std::min(count, static_cast<std::uint32_t>((data.size() - position) / width));
        if (take == 0) {
            return false; // half a wide character before the piece ends
        }
        const char* bytes = data.constData() + position;
        if (wide) {
            for (std::uint32_t i = 0; i < take; ++i) {
                text.append(QChar(qFromLittleEndian<quint16>(bytes + i * 2)));
            }
        } else {
            text.append(QString::fromLatin1(bytes, static_cast<int>(take)));
        }
        position += static_cast<int>(take) * width;
        count -= take;
    }
    return true;
}

bool CBiffStringCursor::readString(QString& text, bool shortCount)
{
    std::uint32_t count = 0;
    if (shortCount) {
        std::uint8_t shortValue = 0;
        if (!readU8(shortValue)) {
            return false;
        }
        count = shortValue;
    } else {
        std::uint16_t value = 0;
        if (!readU16(value)) {
            return false;
        }
        count = value;
    }
    std::uint8_t options = 0;
    if (!readU8(options)) {
        return false;
    }
    std::uint16_t runs = 0;
    std::uint32_t phoneticSize = 0;
    if ((options & 0x08) && !readU16(runs)) {
        return false;
    }
    if ((options & 0x04) && !readU32(phoneticSize)) {
        return false;
    }
    return readCharacters(count, (options & 0x01) != 0, text) && skip(4ULL * runs) && skip(phoneticSize);
}

} // namespace XP
