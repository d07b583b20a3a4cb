#include "spreadsheet/COdbcExcelReader.h"

#include "spreadsheet/CSheetTable.h"
#include "spreadsheet/CWorkbookKind.h"
#include "spreadsheet/CXlsWorkbookReader.h"
#include "spreadsheet/CXlsxWorkbookReader.h"

namespace XP {

COdbcExcelReader::COdbcExcelReader(QObject* parent)
    : QObject(parent)
{}

bool COdbcExcelReader::open(const QString& path, QStringList& rows, bool)
{
    rows.clear();
    CSheetTable table;
    bool read = false;
    switch (CWorkbookKind::of(path)) {
    case CWorkbookKind::Kind::Xlsx:
        read = CXlsxWorkbookReader::read(path, table);
        break;
    case CWorkbookKind::Kind::Xls:
        read = CXlsWorkbookReader::read(path, table);
        break;
    case CWorkbookKind::Kind::Unknown:
        break;
    }
    return read && table.toLines(rows, QLatin1Char('\t'));
}

void COdbcExcelReader::close() {}

} // namespace XP
