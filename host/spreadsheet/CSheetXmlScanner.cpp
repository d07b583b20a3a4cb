#include "spreadsheet/CSheetXmlScanner.h"

#include <cstdlib>
#include <cstring>

namespace XP {
namespace {

// No cell text comes near these sizes (a cell holds at most 32,767 characters).
constexpr std::size_t maxPendingText = 4 * 1024 * 1024;
constexpr std::size_t maxTagLength = 1024 * 1024;
constexpr int maxStyleIndex = 10000000;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

template<std::size_t size> bool nameIs(const char* begin, const char* end, const char (&name)[size])
{
    return end - begin == static_cast<std::ptrdiff_t>(size - 1) && std::memcmp(begin, name, size - 1) == 0;
}

// The first c in [begin, end), or end. The stretches searched in a sheet (a value, an attribute, the
// text between two tags) are a few bytes long, too short for memchr's call to pay off.
const char* findChar(const char* begin, const char* end, char c)
{
    while (begin < end && *begin != c) {
        ++begin;
    }
    return begin;
}

const char* find(const char* begin, const char* end, const char* needle)
{
    const std::size_t length = std::strlen(needle);
    for (const char* p = begin; p + length <= end; ++p) {
        p = static_cast<const char*>(std::memchr(p, needle[0], static_cast<std::size_t>(end - p)));
        if (!p || p + length > end) {
            return nullptr;
        }
        if (std::memcmp(p, needle, length) == 0) {
            return p;
        }
    }
    return nullptr;
}

// The '>' that ends the tag starting at begin, looking past quoted attribute values, or nullptr.
const char* tagEnd(const char* begin, const char* end)
{
    for (const char* p = begin;; ++p) {
        while (p < end && *p != '>' && *p != '"' && *p != '\'') {
            ++p;
        }
        if (p == end) {
            return nullptr;
        }
        if (*p == '>') {
            return p;
        }
        p = findChar(p + 1, end, *p);
        if (p == end) {
            return nullptr;
        }
    }
}

void appendUtf8(std::string& out, unsigned long code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Appends the entity starting at begin ('&') up to its ';' and returns the position after it, or
// appends the '&' alone when it starts no entity.
const char* appendEntity(std::string& out, const char* begin, const char* end)
{
    const char* semicolon =
        static_cast<const char*>(std::memchr(begin, ';', static_cast<std::size_t>(end - begin)));
    if (!semicolon || semicolon - begin > 12) {
        out += '&';
        return begin + 1;
    }
    const std::string name(begin + 1, semicolon);
    static const struct
    {
        const char* name;
        char value;
    } named[] = {{"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto& entity : named) {
        if (name == entity.name) {
            out += entity.value;
            return semicolon + 1;
        }
    }
    if (name.size() > 1 && name[0] == '#') {
        const bool hex = name[1] == 'x' || name[1] == 'X';
        char* parsedEnd = nullptr;
        const char* digits = name.c_str() + (hex ? 2 : 1);
        const unsigned long code = std::strtoul(digits, &parsedEnd, hex ? 16 : 10);
        if (*digits && parsedEnd && *parsedEnd == 0 && code > 0 && code <= 0x10FFFF &&
            (code < 0xD800 || code > 0xDFFF)) {
            appendUtf8(out, code);
            return semicolon + 1;
        }
    }
    out += '&';
    return begin + 1;
}

bool parseNumber(const char* begin, const char* end, int limit, int& value)
{
    value = 0;
    if (begin == end) {
        return false;
    }
    for (const char* p = begin; p < end; ++p) {
        if (*p < '0' || *p > '9') {
            return false;
        }
        value = value * 10 + (*p - '0');
        if (value > limit) {
            return false;
        }
    }
    return true;
}

// "AB12" -> column 28, row 12; a reference may leave out its row. False when it is no reference.
bool parseReference(const char* begin, const char* end, int& column, int& row)
{
    column = 0;
    const char* p = begin;
    for (; p < end && *p >= 'A' && *p <= 'Z'; ++p) {
        column = column * 26 + (*p - 'A' + 1);
        if (column > CSheetXmlScanner::maxColumn) {
            return false;
        }
    }
    if (p == begin) {
        return false;
    }
    row = 0;
    return p == end || (parseNumber(p, end, CSheetXmlScanner::maxRow, row) && row >= 1);
}

// Calls visit(nameBegin, nameEnd, valueBegin, valueEnd) for each attribute between begin and end.
template<typename Visit> bool forEachAttribute(const char* begin, const char* end, Visit visit)
{
    const char* p = begin;
    while (true) {
        while (p < end && (isSpace(*p) || *p == '/')) {
            ++p;
        }
        if (p >= end) {
            return true;
        }
        const char* nameBegin = p;
        while (p < end && *p != '=' && !isSpace(*p)) {
            ++p;
        }
        const char* nameEnd = p;
        while (p < end && isSpace(*p)) {
            ++p;
        }
        if (p >= end || *p != '=') {
            return false;
        }
        ++p;
        while (p < end && isSpace(*p)) {
            ++p;
        }
        if (p >= end || (*p != '"' && *p != '\'')) {
            return false;
        }
        const char quote = *p++;
        const char* valueBegin = p;
        p = findChar(p, end, quote);
        if (p == end) {
            return false;
        }
        visit(nameBegin, nameEnd, valueBegin, p);
        ++p;
    }
}

} // namespace

CSheetXmlScanner::CSheetXmlScanner(CellSink sink)
    : sink(std::move(sink))
{}

bool CSheetXmlScanner::fail()
{
    failed = true;
    return false;
}

bool CSheetXmlScanner::feed(const char* data, int size)
{
    if (failed) {
        return false;
    }
    if (done) {
        return true;
    }
    buffer.append(data, static_cast<std::size_t>(size));
    const std::size_t consumed = scan();
    if (failed) {
        return false;
    }
    buffer.erase(0, consumed);
    const std::size_t limit = target == TextTarget::None ? maxTagLength : maxPendingText;
    return buffer.size() <= limit || fail();
}

// Handles every complete construct in the buffer; returns how many bytes were used up.
std::size_t CSheetXmlScanner::scan()
{
    const char* const start = buffer.data();
    const char* const end = start + buffer.size();
    const char* p = start;
    while (p < end && !done && !failed) {
        const char* open = findChar(p, end, '<');
        if (open == end) {
            // Text outside a value is whitespace or ignored content; a value's text waits for its end.
            return static_cast<std::size_t>((target == TextTarget::None ? end : p) - start);
        }
        if (target != TextTarget::None) {
            appendText(p, open);
        }
        p = open;
        if (end - p < 9) {
            break;
        }
        if (p[1] == '?') {
            const char* close = find(p + 2, end, "?>");
            if (!close) {
                break;
            }
            p = close + 2;
        } else if (std::memcmp(p, "<!--", 4) == 0) {
            const char* close = find(p + 4, end, "-->");
            if (!close) {
                break;
            }
            p = close + 3;
        } else if (std::memcmp(p, "<![CDATA[", 9) == 0) {
            const char* close = find(p + 9, end, "]]>");
            if (!close) {
                break;
            }
            if (target == TextTarget::Value) {
                cell.value.append(p + 9, close);
            } else if (target == TextTarget::InlineText) {
                cell.inlineText.append(p + 9, close);
            }
            p = close + 3;
        } else if (p[1] == '!') {
            fail(); // a DTD or another declaration has no place in a worksheet
            break;
        } else {
            const char* close = tagEnd(p + 1, end);
            if (!close) {
                break;
            }
            handleTag(p + 1, close);
            p = close + 1;
        }
    }
    return static_cast<std::size_t>(p - start);
}

void CSheetXmlScanner::appendText(const char* begin, const char* end)
{
    std::string& out = target == TextTarget::Value ? cell.value : cell.inlineText;
    const char* p = begin;
    while (p < end) {
        const char* amp = findChar(p, end, '&');
        if (amp == end) {
            out.append(p, end);
            return;
        }
        out.append(p, amp);
        p = appendEntity(out, amp, end);
    }
}

bool CSheetXmlScanner::handleTag(const char* begin, const char* end)
{
    const bool closing = *begin == '/';
    const bool selfClosing = end > begin && end[-1] == '/';
    const char* nameBegin = closing ? begin + 1 : begin;
    const char* nameEnd = nameBegin;
    const char* local = nameBegin;
    for (; nameEnd < end && !isSpace(*nameEnd) && *nameEnd != '/'; ++nameEnd) {
        if (*nameEnd == ':' && local == nameBegin) {
            local = nameEnd + 1;
        }
    }

    if (!inSheetData) {
        if (!closing && nameIs(local, nameEnd, "sheetData")) {
            inSheetData = !selfClosing;
            done = selfClosing;
        }
        return true;
    }
    if (closing) {
        if (nameIs(local, nameEnd, "c")) {
            inCell = false;
            const bool hasContent = !cell.value.empty() || !cell.inlineText.empty();
            return !hasContent || sink(cell) || fail();
        }
        if (nameIs(local, nameEnd, "v") || nameIs(local, nameEnd, "t")) {
            target = TextTarget::None;
        } else if (nameIs(local, nameEnd, "rPh")) {
            --phoneticDepth;
        } else if (nameIs(local, nameEnd, "is")) {
            inInlineString = false;
        } else if (nameIs(local, nameEnd, "sheetData")) {
            done = true;
        }
        return true;
    }
    if (nameIs(local, nameEnd, "row")) {
        return startRow(nameEnd, selfClosing ? end - 1 : end);
    }
    if (nameIs(local, nameEnd, "c")) {
        if (!startCell(nameEnd, selfClosing ? end - 1 : end)) {
            return fail();
        }
        inCell = !selfClosing;
    } else if (inCell && !selfClosing && nameIs(local, nameEnd, "v")) {
        target = TextTarget::Value;
    } else if (inCell && nameIs(local, nameEnd, "is")) {
        inInlineString = !selfClosing;
    } else if (inInlineString && !selfClosing && nameIs(local, nameEnd, "rPh")) {
        ++phoneticDepth;
    } else if (inInlineString && phoneticDepth == 0 && !selfClosing && nameIs(local, nameEnd, "t")) {
        target = TextTarget::InlineText;
    }
    return true;
}

bool CSheetXmlScanner::startRow(const char* attributes, const char* end)
{
    int number = currentRow + 1;
    bool good = true;
    good = forEachAttribute(attributes, end,
                            [&](const char* n, const char* ne, const char* v, const char* ve) {
                                if (nameIs(n, ne, "r")) {
                                    good = good && parseNumber(v, ve, maxRow, number) && number >= 1;
                                }
                            }) &&
           good;
    if (!good || number > maxRow) {
        return fail();
    }
    currentRow = number;
    previousColumn = 0;
    return true;
}

bool CSheetXmlScanner::startCell(const char* attributes, const char* end)
{
    cell.value.clear();
    cell.inlineText.clear();
    cell.type.clear();
    cell.style = 0;
    int column = previousColumn + 1;
    int row = 0;
    bool good = true;
    good = forEachAttribute(attributes, end,
                            [&](const char* n, const char* ne, const char* v, const char* ve) {
                                if (nameIs(n, ne, "r")) {
                                    good = good && parseReference(v, ve, column, row);
                                } else if (nameIs(n, ne, "t")) {
                                    cell.type.assign(v, ve);
                                } else if (nameIs(n, ne, "s")) {
                                    good = good && (v == ve || parseNumber(v, ve, maxStyleIndex, cell.style));
                                }
                            }) &&
           good;
    if (!good || column > maxColumn || currentRow == 0) {
        return false;
    }
    cell.row = row > 0 ? row : currentRow;
    cell.column = column;
    previousColumn = column;
    return true;
}

} // namespace XP
