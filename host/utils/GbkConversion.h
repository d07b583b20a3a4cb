#pragma once

#include <string>

namespace utils {

// True when text holds bytes that need safeGbk2Utf8 before they are UTF-8: a UTF-16 byte order mark,
// or bytes that are not strictly valid UTF-8 (and so are taken for GBK/GB18030). A UTF-8 byte order
// mark and plain ASCII give false.
bool isGBKCode(const std::string& text);

// True when text is strictly valid UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
bool isValidUtf8(const std::string& text);

// Converts text in place to UTF-8: UTF-16 with its byte order mark is decoded as such, a UTF-8 byte
// order mark is removed, anything else is decoded as GB18030 (a superset of GBK). Returns false and
// leaves text unchanged when the bytes do not decode cleanly. Line breaks of UTF-16 text become LF.
bool safeGbk2Utf8(std::string& text);

// Converts UTF-8 text in place to GB18030 bytes (GBK for every character GBK has). Returns false and
// leaves text unchanged when it is not valid UTF-8.
bool safeUtf82GbkOrigin(std::string& text);

} // namespace utils
