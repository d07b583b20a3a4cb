#include "spreadsheet/CSheetXmlScanner.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace XP {
namespace {

// No cell text comes near these sizes (a cell holds at most 32,767 characters).
constexpr std::size_t maxPendingText = 4 * 1024 * 1024;
constexpr std::size_t maxTagLength = 1024 * 1024;
constexpr int maxStyleIndex = 10000000;
// A construct cut by the end of a piece is completed from the next piece in steps from this size up, so
// that the rest of that piece is scanned where it lies instead of being copied.
constexpr std::size_t completionStep = 256;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isQuote(char c)
{
    return c == '"' || c == '\'';
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
    const char* begin = data;
    const char* const end = data + size;
    if (pending.empty() || completePending(begin, end)) {
        const char* const rest = scan(begin, end);
        if (!done) {
            pending.assign(rest, end);
        }
    }
    if (failed) {
        return false;
    }
    const std::size_t limit = target == TextTarget::None ? maxTagLength : maxPendingText;
    return pending.size() <= limit || fail();
}

// Moves bytes of the piece over to the pending start of a construct until that construct is complete.
// True when scanning goes on in the piece from begin; false when the piece was used up or the scan ended.
bool CSheetXmlScanner::completePending(const char*& begin, const char* end)
{
    std::size_t step = std::max(pending.size(), completionStep);
    for (;;) {
        const std::size_t kept = pending.size();
        const std::size_t taken = std::min(step, static_cast<std::size_t>(end - begin));
        pending.append(begin, taken);
        begin += taken;
        const char* const start = pending.data();
        const std::size_t used = static_cast<std::size_t>(scan(start, start + pending.size()) - start);
        if (failed || done) {
            pending.clear();
            return false;
        }
        if (used >= kept) {
            // What is left lies within the bytes just taken: they are scanned again where they lie.
            begin -= pending.size() - used;
            pending.clear();
            return true;
        }
        pending.erase(0, used);
        if (begin == end) {
            return false;
        }
        step *= 2;
    }
}

// Handles every complete construct in [begin, end); returns where the unused rest starts.
const char* CSheetXmlScanner::scan(const char* begin, const char* end)
{
    const char* p = begin;
    while (p < end && !done && !failed) {
        const char* open = findChar(p, end, '<');
        if (open == end) {
            // Text outside a value is whitespace or ignored content; a value's text waits for its end.
            return target == TextTarget::None ? end : p;
        }
        if (target != TextTarget::None) {
            appendText(p, open);
        }
        p = open;
        if (end - p < 2) {
            break;
        }
        const char* after = wholeCell(p, end);
        if (after) {
            p = after;
            continue;
        }
        if (p[1] == '?') {
            const char* close = find(p + 2, end, "?>");
            after = close ? close + 2 : nullptr;
        } else if (p[1] != '!') {
            after = tag(p + 1, end);
        } else if (end - p < 9) {
            break;
        } else if (std::memcmp(p, "<!--", 4) == 0) {
            const char* close = find(p + 4, end, "-->");
            after = close ? close + 3 : nullptr;
        } else if (std::memcmp(p, "<![CDATA[", 9) == 0) {
            const char* close = find(p + 9, end, "]]>");
            if (close && target == TextTarget::Value) {
                cellValue.append(p + 9, close);
            } else if (close && target == TextTarget::InlineText) {
                cellInlineText.append(p + 9, close);
            }
            after = close ? close + 3 : nullptr;
        } else {
            fail(); // a DTD or another declaration has no place in a worksheet
        }
        if (!after) {
            break;
        }
        p = after;
    }
    return p;
}

// Handles the tag whose name starts at begin (after its '<'); returns the position after its '>', or nullptr
// when the tag is not complete yet. The start tags of cells and rows, most of a sheet, are read in one pass;
// any other tag, or an unusual form of those, is first delimited and then handled.
const char* CSheetXmlScanner::tag(const char* begin, const char* end)
{
    // The tags around every value, recognised at a glance.
    if (end - begin >= 5 && inSheetData) {
        if (begin[0] == 'v' && begin[1] == '>') {
            target = inCell ? TextTarget::Value : target;
            return begin + 2;
        }
        if (begin[0] == '/' && begin[2] == '>' && (begin[1] == 'v' || begin[1] == 'c')) {
            if (begin[1] == 'c') {
                endCell();
            } else {
                target = TextTarget::None;
            }
            return begin + 3;
        }
        if (std::memcmp(begin, "/row>", 5) == 0) {
            return begin + 5;
        }
    }
    const bool closing = *begin == '/';
    const char* const nameBegin = closing ? begin + 1 : begin;
    const char* local = nameBegin;
    const char* nameEnd = nameBegin;
    for (; nameEnd < end && !isSpace(*nameEnd) && *nameEnd != '/' && *nameEnd != '>' && !isQuote(*nameEnd);
         ++nameEnd) {
        if (*nameEnd == ':' && local == nameBegin) {
            local = nameEnd + 1;
        }
    }
    if (nameEnd == end) {
        return nullptr;
    }
    if (*nameEnd == '>') {
        handleTag(begin, nameEnd);
        return nameEnd + 1;
    }
    const bool isCell = nameIs(local, nameEnd, "c");
    if (inSheetData && !closing && (isCell || nameIs(local, nameEnd, "row"))) {
        Start start = startOf(isCell);
        const char* close = nullptr;
        bool selfClosing = false;
        const Walk walk = walkAttributes(nameEnd, end, close, selfClosing,
                                         [&start](const char* n, const char* ne, const char* v,
                                                  const char* ve) { readAttribute(start, n, ne, v, ve); });
        if (walk == Walk::Incomplete) {
            return nullptr;
        }
        if (walk == Walk::Closed) {
            commit(start, selfClosing);
            return close + 1;
        }
    }
    const char* close = tagEnd(begin, end);
    if (!close) {
        return nullptr;
    }
    handleTag(begin, close);
    return close + 1;
}

// Most cells of a sheet are a number written plainly: <c ...><v>digits</v></c>. Such a cell is read in one
// pass from its '<' and handled as its tags one by one would be; the position after it is returned. Anything
// else, including such a cell cut by the end of the piece, gives nullptr and is left to the tags' way.
const char* CSheetXmlScanner::wholeCell(const char* begin, const char* end)
{
    if (!inSheetData || inCell || target != TextTarget::None || end - begin < 3 || begin[1] != 'c' ||
        !(isSpace(begin[2]) || begin[2] == '>')) {
        return nullptr;
    }
    Start start = startOf(true);
    const char* close = nullptr;
    bool selfClosing = false;
    const Walk walk = walkAttributes(begin + 2, end, close, selfClosing,
                                     [&start](const char* n, const char* ne, const char* v, const char* ve) {
                                         readAttribute(start, n, ne, v, ve);
                                     });
    constexpr std::size_t valueOpenLength = 3;
    if (walk != Walk::Closed || selfClosing || end - close <= static_cast<std::ptrdiff_t>(valueOpenLength) ||
        std::memcmp(close + 1, "<v>", valueOpenLength) != 0) {
        return nullptr;
    }
    const char* const value = close + 1 + valueOpenLength;
    const char* valueEnd = value;
    while (valueEnd < end && *valueEnd != '<' && *valueEnd != '&') {
        ++valueEnd;
    }
    constexpr char closings[] = "</v></c>";
    constexpr std::size_t closingsLength = sizeof closings - 1;
    if (end - valueEnd < static_cast<std::ptrdiff_t>(closingsLength) ||
        std::memcmp(valueEnd, closings, closingsLength) != 0) {
        return nullptr;
    }
    if (place(start) && valueEnd > value) {
        cell.type = std::string_view(start.type, static_cast<std::size_t>(start.typeEnd - start.type));
        cell.value = std::string_view(value, static_cast<std::size_t>(valueEnd - value));
        cell.inlineText = std::string_view();
        sinkCell();
    }
    return valueEnd + closingsLength;
}

// Reads attributes written the usual way (name="value" or name='value', blanks between them) up to the
// tag's '>'; visits each one as soon as it is read.
template<typename Visit>
CSheetXmlScanner::Walk CSheetXmlScanner::walkAttributes(const char* p, const char* end, const char*& close,
                                                        bool& selfClosing, Visit visit)
{
    for (;;) {
        while (p < end && isSpace(*p)) {
            ++p;
        }
        if (p == end) {
            return Walk::Incomplete;
        }
        if (*p == '>' || *p == '/') {
            selfClosing = *p == '/';
            if (selfClosing && p + 1 == end) {
                return Walk::Incomplete;
            }
            if (selfClosing && p[1] != '>') {
                return Walk::Unusual;
            }
            close = selfClosing ? p + 1 : p;
            return Walk::Closed;
        }
        const char* const name = p;
        while (p < end && *p != '=' && !isSpace(*p) && *p != '>' && *p != '/' && !isQuote(*p)) {
            ++p;
        }
        if (p == end || (*p == '=' && p + 1 == end)) {
            return Walk::Incomplete;
        }
        if (*p != '=' || !isQuote(p[1])) {
            return Walk::Unusual;
        }
        const char* const nameEnd = p;
        const char quote = p[1];
        const char* const value = p + 2;
        p = findChar(value, end, quote);
        if (p == end) {
            return Walk::Incomplete;
        }
        visit(name, nameEnd, value, p);
        ++p;
    }
}

void CSheetXmlScanner::appendText(const char* begin, const char* end)
{
    std::string& out = target == TextTarget::Value ? cellValue : cellInlineText;
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
            return endCell();
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
    const bool isCell = nameIs(local, nameEnd, "c");
    if (isCell || nameIs(local, nameEnd, "row")) {
        Start start = startOf(isCell);
        start.good = forEachAttribute(nameEnd, selfClosing ? end - 1 : end,
                                      [&start](const char* n, const char* ne, const char* v, const char* ve) {
                                          readAttribute(start, n, ne, v, ve);
                                      }) &&
                     start.good;
        return commit(start, selfClosing);
    }
    if (inCell && !selfClosing && nameIs(local, nameEnd, "v")) {
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

bool CSheetXmlScanner::endCell()
{
    if (!inCell) {
        return true; // a stray end tag
    }
    inCell = false;
    if (cellValue.empty() && cellInlineText.empty()) {
        return true;
    }
    cell.type = cellType;
    cell.value = cellValue;
    cell.inlineText = cellInlineText;
    return sinkCell();
}

bool CSheetXmlScanner::sinkCell()
{
    return sink(cell) || fail();
}

CSheetXmlScanner::Start CSheetXmlScanner::startOf(bool isCell) const
{
    Start start;
    start.isCell = isCell;
    if (isCell) {
        start.column = previousColumn + 1;
    } else {
        start.row = currentRow + 1;
    }
    return start;
}

void CSheetXmlScanner::readAttribute(Start& start, const char* name, const char* nameEnd, const char* value,
                                     const char* valueEnd)
{
    if (!start.isCell) {
        if (nameIs(name, nameEnd, "r")) {
            start.good = start.good && parseNumber(value, valueEnd, maxRow, start.row) && start.row >= 1;
        }
    } else if (nameIs(name, nameEnd, "r")) {
        start.good = start.good && parseReference(value, valueEnd, start.column, start.row);
    } else if (nameIs(name, nameEnd, "t")) {
        start.type = value;
        start.typeEnd = valueEnd;
    } else if (nameIs(name, nameEnd, "s")) {
        start.good =
            start.good && (value == valueEnd || parseNumber(value, valueEnd, maxStyleIndex, start.style));
    }
}

// Nothing of a row or cell changes before its start tag has been read whole and found good; a bad one fails
// the scan. A good one moves the scan to its row, or to its cell's place.
bool CSheetXmlScanner::place(const Start& start)
{
    if (!start.isCell) {
        if (!start.good || start.row > maxRow) {
            return fail();
        }
        currentRow = start.row;
        previousColumn = 0;
        return true;
    }
    if (!start.good || start.column > maxColumn || currentRow == 0) {
        return fail();
    }
    cell.row = start.row > 0 ? start.row : currentRow;
    cell.column = start.column;
    cell.style = start.style;
    previousColumn = start.column;
    return true;
}

// Places a row or cell whose content, if any, follows tag by tag.
bool CSheetXmlScanner::commit(const Start& start, bool selfClosing)
{
    if (!place(start)) {
        return false;
    }
    if (start.isCell) {
        cellType.assign(start.type, start.typeEnd);
        cellValue.clear();
        cellInlineText.clear();
        inCell = !selfClosing;
    }
    return true;
}

} // namespace XP
