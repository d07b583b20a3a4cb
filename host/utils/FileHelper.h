#pragma once

#include <cstdint>
#include <string>

namespace utils {

class FileHelper
{
public:
    // Files larger than this are refused rather than read into memory.
    static constexpr std::int64_t maxFileSize = 256LL * 1024 * 1024;

    // Reads the whole file into content, turning every CR LF pair into LF. The path may be given in
    // UTF-8 or in the GBK bytes the host's file system takes. Returns false (content emptied) when the
    // file cannot be read or is larger than maxFileSize.
    static bool open(std::string path, std::string& content);

    // Replaces every CR LF pair in text by LF, in place.
    static void normalizeLineBreaks(std::string& text);
};

} // namespace utils
