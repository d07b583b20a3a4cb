#pragma once

#include <functional>
#include <string>

namespace XP {

// A small streaming scanner for the one large part of a workbook, the worksheet. It knows only what a
// worksheet's <sheetData> holds (rows, cells, values, inline strings) and ignores namespace prefixes;
// comments and processing instructions are skipped, documents with a DTD are refused. Much faster
// than a general XML parser on this part, and its memory stays bounded whatever the part's size.
class CSheetXmlScanner
{
public:
    static constexpr int maxRow = 1048576;
    static constexpr int maxColumn = 16384;

    struct Cell
    {
        int row = 0;
        int column = 0;
        int style = 0;
        std::string type;       // the cell's t attribute, empty for a number
        std::string value;      // the cached <v>, entities decoded
        std::string inlineText; // the joined <t> runs of an <is>, phonetic runs left out
    };

    // Receives each cell that has a value or inline text; returning false stops the scan (a failure).
    using CellSink = std::function<bool(const Cell&)>;

    explicit CSheetXmlScanner(CellSink sink);

    // Feed the part piece by piece. False once the part is found to be bad.
    bool feed(const char* data, int size);

    // True when the whole <sheetData> was seen and nothing was bad.
    bool finish() const { return !failed && done; }

private:
    enum class TextTarget
    {
        None,
        Value,
        InlineText
    };

    std::size_t scan();
    bool handleTag(const char* begin, const char* end);
    bool startCell(const char* attributes, const char* end);
    bool startRow(const char* attributes, const char* end);
    void appendText(const char* begin, const char* end);
    bool fail();

    CellSink sink;
    std::string buffer;
    Cell cell;
    TextTarget target = TextTarget::None;
    int currentRow = 0;
    int previousColumn = 0;
    int phoneticDepth = 0;
    bool inSheetData = false;
    bool inCell = false;
    bool inInlineString = false;
    bool done = false;
    bool failed = false;
};

} // namespace XP
