// The XML parts of a workbook. The first byte picks the part's parser; the second says where the
// rest is split in two, so that pieces that end mid-tag are exercised as a streamed part is.
#include "spreadsheet/CPackageRelationships.h"
#include "spreadsheet/CSharedStringsPart.h"
#include "spreadsheet/CSheetXmlScanner.h"
#include "spreadsheet/CStylesPart.h"
#include "spreadsheet/CWorkbookPart.h"

#include <cstddef>
#include <cstdint>

namespace {

template<typename Parser> void feedInTwo(Parser& parser, const char* data, int size, int split)
{
    if (parser.feed(data, split, false)) {
        parser.feed(data + split, size - split, true);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t length)
{
    if (length < 2 || length > 1 << 20) {
        return 0;
    }
    const auto* data = reinterpret_cast<const char*>(bytes + 2);
    const int size = static_cast<int>(length - 2);
    const int split = size > 0 ? bytes[1] % (size + 1) : 0;
    switch (bytes[0] % 5) {
    case 0: {
        XP::CSheetXmlScanner scanner([](const XP::CSheetXmlScanner::Cell& cell) {
            return cell.row >= 1 && cell.column >= 1 && cell.row <= XP::CSheetXmlScanner::maxRow &&
                   cell.column <= XP::CSheetXmlScanner::maxColumn;
        });
        if (scanner.feed(data, split)) {
            scanner.feed(data + split, size - split);
        }
        scanner.finish();
        break;
    }
    case 1: {
        XP::CWorkbookPart workbook;
        feedInTwo(workbook, data, size, split);
        workbook.firstSheetRelationshipId();
        break;
    }
    case 2: {
        XP::CStylesPart styles;
        feedInTwo(styles, data, size, split);
        styles.resolve();
        styles.isDateStyle(split);
        break;
    }
    case 3: {
        XP::CSharedStringsPart strings;
        feedInTwo(strings, data, size, split);
        break;
    }
    default: {
        XP::CPackageRelationships relationships(QStringLiteral("xl/workbook.xml"));
        feedInTwo(relationships, data, size, split);
        relationships.targetOfType(QStringLiteral("styles"));
        break;
    }
    }
    return 0;
}
