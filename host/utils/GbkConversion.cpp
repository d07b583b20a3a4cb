#include "utils/GbkConversion.h"

#include "utils/FileHelper.h"

#include <QString>
#include <QTextCodec>

#include <cstring>

namespace utils {
namespace {

const char utf8Bom[] = "\xEF\xBB\xBF";

bool startsWith(const std::string& text, const char* prefix, std::size_t length)
{
    return text.size() >= length && std::memcmp(text.data(), prefix, length) == 0;
}

bool hasUtf8Bom(const std::string& text)
{
    return startsWith(text, utf8Bom, 3);
}
bool hasUtf16LeBom(const std::string& text)
{
    return startsWith(text, "\xFF\xFE", 2);
}
bool hasUtf16BeBom(const std::string& text)
{
    return startsWith(text, "\xFE\xFF", 2);
}

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Length of the sequence that starts at p (with end - p bytes left), or 0 when it is not valid UTF-8.
std::size_t utf8SequenceLength(const unsigned char* p, const unsigned char* end)
{
    const std::size_t left = static_cast<std::size_t>(end - p);
    const unsigned char lead = p[0];
    if (lead >= 0xC2 && lead <= 0xDF) {
        return left >= 2 && isContinuation(p[1]) ? 2 : 0;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (left < 3 || !isContinuation(p[1]) || !isContinuation(p[2])) {
            return 0;
        }
        const bool overlong = lead == 0xE0 && p[1] < 0xA0;
        const bool surrogate = lead == 0xED && p[1] >= 0xA0;
        return overlong || surrogate ? 0 : 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (left < 4 || !isContinuation(p[1]) || !isContinuation(p[2]) || !isContinuation(p[3])) {
            return 0;
        }
        const bool overlong = lead == 0xF0 && p[1] < 0x90;
        const bool tooLarge = lead == 0xF4 && p[1] >= 0x90;
        return overlong || tooLarge ? 0 : 4;
    }
    return 0;
}

bool decodeUtf16(std::string& text, QTextCodec* codec)
{
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    const QString decoded = codec->toUnicode(text.data() + 2, static_cast<int>(text.size() - 2), &state);
    if (state.invalidChars > 0 || state.remainingChars > 0) {
        return false;
    }
    text = decoded.toStdString();
    // Line breaks could not be normalized while the text was UTF-16; do it now that they are bytes.
    FileHelper::normalizeLineBreaks(text);
    return true;
}

const char* firstHighByte(const char* begin, const char* end)
{
    for (const char* p = begin; p < end; ++p) {
        if (static_cast<unsigned char>(*p) >= 0x80) {
            return p;
        }
    }
    return end;
}

const char* lineStart(const char* begin, const char* at)
{
    while (at > begin && at[-1] != '\n') {
        --at;
    }
    return at;
}

const char* nextLine(const char* at, const char* end)
{
    const char* feed = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
    return feed ? feed + 1 : end;
}

// Decodes GB18030 text. ASCII means the same in both encodings and a line feed is never part of a
// multi-byte character, so stretches of lines without high bytes are copied as they are and only the
// lines with them go through the codec. Qt's GB18030 codec does not count invalid input in its
// converter state; it substitutes U+FFFD, which is what is looked for.
bool decodeGb18030(std::string& text)
{
    QTextCodec* codec = QTextCodec::codecForName("GB18030");
    std::string decoded;
    decoded.reserve(text.size() + text.size() / 2);
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* p = begin;
    while (p < end) {
        const char* high = firstHighByte(p, end);
        if (high == end) {
            decoded.append(p, end);
            break;
        }
        const char* runBegin = lineStart(p, high);
        decoded.append(p, runBegin);
        // The run of lines with high bytes ends before the first line that has none.
        const char* runEnd = nextLine(high, end);
        while (runEnd < end) {
            const char* following = nextLine(runEnd, end);
            if (firstHighByte(runEnd, following) == following) {
                break;
            }
            runEnd = following;
        }
        const QString run = codec->toUnicode(runBegin, static_cast<int>(runEnd - runBegin));
        if (run.contains(QChar::ReplacementCharacter)) {
            return false;
        }
        decoded += run.toStdString();
        p = runEnd;
    }
    text.swap(decoded);
    return true;
}

} // namespace

bool isValidUtf8(const std::string& text)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const std::size_t length = utf8SequenceLength(p, end);
        if (length == 0) {
            return false;
        }
        p += length;
    }
    return true;
}

bool isGBKCode(const std::string& text)
{
    if (hasUtf8Bom(text)) {
        return false;
    }
    if (hasUtf16LeBom(text) || hasUtf16BeBom(text)) {
        return true;
    }
    return !isValidUtf8(text);
}

bool safeGbk2Utf8(std::string& text)
{
    if (hasUtf8Bom(text)) {
        text.erase(0, 3);
        return true;
    }
    if (hasUtf16LeBom(text)) {
        return decodeUtf16(text, QTextCodec::codecForName("UTF-16LE"));
    }
    if (hasUtf16BeBom(text)) {
        return decodeUtf16(text, QTextCodec::codecForName("UTF-16BE"));
    }
    return decodeGb18030(text);
}

bool safeUtf82GbkOrigin(std::string& text)
{
    if (!isValidUtf8(text)) {
        return false;
    }
    const QByteArray encoded = QTextCodec::codecForName("GB18030")->fromUnicode(QString::fromStdString(text));
    text.assign(encoded.constData(), static_cast<std::size_t>(encoded.size()));
    return true;
}

} // namespace utils
