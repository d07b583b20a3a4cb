#include "spreadsheet/COdbcExcelReader.h"

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
    CSheetTable table;
    table.makeLinesAhead(QLatin1Char('\t'));
    // Only workbooks are handed to the sheet reader helper; anything else is refused here.
    const bool read =
        CWorkbookKind::of(path) != CWorkbookKind::Kind::Unknown && CSheetReaderProcess::read(path, table);
    return read && table.toLines(rows, QLatin1Char('\t'));
}

void COdbcExcelReader::close() {}

} // namespace XP
