// Text decoding of uploaded text files: detection, GBK/UTF-16 conversion, line breaks.
#include "utils/FileHelper.h"
#include "utils/GbkConversion.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t length)
{
    std::string text(reinterpret_cast<const char*>(bytes), length);
    const std::size_t before = text.size();
    utils::FileHelper::normalizeLineBreaks(text);
    if (text.size() > before) {
        __builtin_trap();
    }
    std::string converted = text;
    const bool needsConversion = utils::isGBKCode(converted);
    if (needsConversion && utils::safeGbk2Utf8(converted) && !utils::isValidUtf8(converted)) {
        __builtin_trap(); // a successful conversion must leave valid UTF-8
    }
    std::string path = text;
    if (utils::safeUtf82GbkOrigin(path) != utils::isValidUtf8(text)) {
        __builtin_trap();
    }
    return 0;
}
