#pragma once

#include <functional>
#include <string>
#include <string_view>

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

    // The texts are valid while the sink runs.
    struct Cell
    {
        int row = 0;
        int column = 0;
        int style = 0;
        std::string_view type;       // the cell's t attribute, empty for a number
        std::string_view value;      // the cached <v>, entities decoded
        std::string_view inlineText; // the joined <t> runs of an <is>, phonetic runs left out
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
    // What walking a tag's attributes in one pass found.
    enum class Walk
    {
        Closed,     // the tag's '>' came: close tells where, selfClosing whether it is "/>"
        Incomplete, // the piece ended inside the tag
        Unusual     // a form the one-pass walk leaves to the general way
    };

    // A <c> or <row> start tag while its attributes are read.
    struct Start
    {
        bool isCell = false;
        int row = 0;
        int column = 0;
        int style = 0;
        const char* type = nullptr;
        const char* typeEnd = nullptr;
        bool good = true;
    };

    bool completePending(const char*& begin, const char* end);
    const char* scan(const char* begin, const char* end);
    const char* wholeCell(const char* begin, const char* end);
    const char* tag(const char* begin, const char* end);
    template<typename Visit>
    static Walk walkAttributes(const char* begin, const char* end, const char*& close, bool& selfClosing,
                               Visit visit);
    bool handleTag(const char* begin, const char* end);
    Start startOf(bool isCell) const;
    static void readAttribute(Start& start, const char* name, const char* nameEnd, const char* value,
                              const char* valueEnd);
    bool place(const Start& start);
    bool commit(const Start& start, bool selfClosing);
    bool endCell();
    bool sinkCell();
    void appendText(const char* begin, const char* end);
    bool fail();

    CellSink sink;
    std::string pending; // the start of a construct that a later piece completes
    Cell cell;
    // A cell's texts as its tags come, when it is not read whole.
    std::string cellType;
    std::string cellValue;
    std::string cellInlineText;
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
