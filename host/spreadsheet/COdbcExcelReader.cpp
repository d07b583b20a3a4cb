#include "spreadsheet/COdbcExcelReader.h"

#include "spreadsheet/CSheetLines.h"
#include "spreadsheet/CSheetReaderProcess.h"
#include "spreadsheet/CSheetTable.h"
#include "spreadsheet/CWorkbookKind.h"

namespace XP {

COdbcExcelReader::COdbcExcelReader(QObject* parent)
    : QObject(parent)
{}

bool COdbcExcelReader::open(const QString& path, QStringList& rows, bool)
{
    rows.clear();
    // Only workbooks are handed to the sheet reader helper; anything else is refused here.
    if (CWorkbookKind::of(path) == CWorkbookKind::Kind::Unknown) {
        return false;
    }
    // Sheets nearly always list their cells in order, and then the lines are made as the cells arrive; the
    // others are read a second time into a table that sorts them.
    const QChar tab = QLatin1Char('\t');
    CSheetLines lines(tab);
    if (!CSheetReaderProcess::read(path, lines)) {
        return false;
    }
    if (lines.inOrder()) {
        return lines.takeLines(rows);
    }
    CSheetTable table;
    return CSheetReaderProcess::read(path, table) && table.toLines(rows, tab);
}

void COdbcExcelReader::close() {}

} // namespace XP
