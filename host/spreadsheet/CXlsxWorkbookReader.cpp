#include "spreadsheet/CXlsxWorkbookReader.h"

#include "spreadsheet/CCellTextFormatter.h"
#include "spreadsheet/CPackageRelationships.h"
#include "spreadsheet/CSharedStringsPart.h"
#include "spreadsheet/CSheetXmlScanner.h"
#include "spreadsheet/CStylesPart.h"
#include "spreadsheet/CWorkbookPart.h"
#include "spreadsheet/CZipPackage.h"

#include <QDate>

#include <charconv>

namespace XP {
namespace {

bool parsePart(CZipPackage& package, const QString& part, qint64 maxBytes, CXmlPartParser& parser)
{
    return package.readPart(part, maxBytes, [&parser](const char* data, int size) {
        return parser.feed(data, size, false);
    }) && parser.feed(nullptr, 0, true);
}

// Everything that turns a cell's stored value into its text.
struct CellContext
{
    const std::vector<std::string>& strings;
    const CStylesPart& styles;
    bool date1904;
};

std::string numberCellText(const CSheetXmlScanner::Cell& cell, const CellContext& context)
{
    const char* begin = cell.value.data();
    const char* end = begin + cell.value.size();
    // Most values are whole numbers (serial days, flags), which parse far faster as integers.
    qint64 whole = 0;
    const auto integer = std::from_chars(begin, end, whole);
    double value = static_cast<double>(whole);
    if (integer.ec != std::errc() || integer.ptr != end) {
        const auto result = std::from_chars(begin, end, value);
        if (result.ec != std::errc() || result.ptr != end) {
            return std::string(cell.value);
        }
    }
    if (context.styles.isDateStyle(cell.style)) {
        bool ok = false;
        std::string date = CCellTextFormatter::dateText(value, context.date1904, &ok);
        if (ok) {
            return date;
        }
    }
    return CCellTextFormatter::numberText(value);
}

// The cell's text in UTF-8; false when it refers to a shared string that does not exist.
bool cellText(const CSheetXmlScanner::Cell& cell, const CellContext& context, std::string& text)
{
    const std::string_view type = cell.type;
    if (type.empty() || type == "n") {
        text = numberCellText(cell, context);
        return true;
    }
    if (type == "s") {
        int index = -1;
        const auto result = std::from_chars(cell.value.data(), cell.value.data() + cell.value.size(), index);
        if (result.ec != std::errc() || index < 0 ||
            static_cast<std::size_t>(index) >= context.strings.size()) {
            return false;
        }
        text = context.strings[static_cast<std::size_t>(index)];
        return true;
    }
    if (type == "inlineStr") {
        text = CCellTextFormatter::decodeEscapes(std::string(cell.inlineText));
        return true;
    }
    if (type == "b") {
        text = CCellTextFormatter::booleanText(cell.value == "1" || cell.value == "true");
        return true;
    }
    if (type == "d") {
        const std::string_view day = cell.value.substr(0, 10);
        const QDate date =
            QDate::fromString(QString::fromUtf8(day.data(), static_cast<int>(day.size())), Qt::ISODate);
        text = date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")).toStdString()
                              : std::string(cell.value);
        return true;
    }
    // "str" (a formula's text result), "e" (an error such as #N/A) and unknown types: the text as stored.
    text = CCellTextFormatter::decodeEscapes(std::string(cell.value));
    return true;
}

QString workbookPartOf(CZipPackage& package)
{
    CPackageRelationships rootRelationships(QString{});
    if (parsePart(package, QStringLiteral("_rels/.rels"), CXlsxWorkbookReader::maxSmallPartSize,
                  rootRelationships)) {
        const QString part = rootRelationships.targetOfType(QStringLiteral("officeDocument"));
        if (!part.isEmpty()) {
            return part;
        }
    }
    return QStringLiteral("xl/workbook.xml");
}

bool scanSheet(CZipPackage& package, const QString& sheetPart, const CellContext& context,
               ISheetCellSink& cells)
{
    std::string text;
    CSheetXmlScanner scanner([&context, &cells, &text](const CSheetXmlScanner::Cell& cell) {
        return cellText(cell, context, text) && cells.setCell(cell.row, cell.column, text);
    });
    return package.readPart(sheetPart, CXlsxWorkbookReader::maxSheetPartSize,
                            [&scanner](const char* data, int size) { return scanner.feed(data, size); }) &&
           scanner.finish();
}

} // namespace

bool CXlsxWorkbookReader::read(const QString& path, ISheetCellSink& cells)
{
    CZipPackage package(path);
    if (!package.open()) {
        return false;
    }
    const QString workbookPart = workbookPartOf(package);
    CWorkbookPart workbook;
    if (!parsePart(package, workbookPart, maxSmallPartSize, workbook) ||
        workbook.firstSheetRelationshipId().isEmpty()) {
        return false;
    }
    CPackageRelationships relationships(workbookPart);
    const QString relationshipsPart = CPackageRelationships::relationshipsPartOf(workbookPart);
    if (!parsePart(package, relationshipsPart, maxSmallPartSize, relationships)) {
        return false;
    }
    const QString sheetPart = relationships.targetOfId(workbook.firstSheetRelationshipId());
    if (sheetPart.isEmpty()) {
        return false;
    }
    CStylesPart styles;
    const QString stylesPart = relationships.targetOfType(QStringLiteral("styles"));
    if (!stylesPart.isEmpty() && package.contains(stylesPart) &&
        !parsePart(package, stylesPart, maxSmallPartSize, styles)) {
        return false;
    }
    styles.resolve();
    CSharedStringsPart sharedStrings;
    const QString stringsPart = relationships.targetOfType(QStringLiteral("sharedStrings"));
    if (!stringsPart.isEmpty() && package.contains(stringsPart) &&
        !parsePart(package, stringsPart, maxStringsPartSize, sharedStrings)) {
        return false;
    }
    const CellContext context{sharedStrings.strings(), styles, workbook.usesDate1904()};
    return scanSheet(package, sheetPart, context, cells);
}

} // namespace XP
