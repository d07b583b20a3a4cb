#include "spreadsheet/CWorkbookParser.h"

#include "spreadsheet/CWorkbookKind.h"
#include "spreadsheet/CXlsWorkbookReader.h"
#include "spreadsheet/CXlsxWorkbookReader.h"

namespace XP {

bool CWorkbookParser::parse(const QString& path, ISheetCellSink& cells)
{
    switch (CWorkbookKind::of(path)) {
    case CWorkbookKind::Kind::Xlsx:
        return CXlsxWorkbookReader::read(path, cells);
    case CWorkbookKind::Kind::Xls:
        return CXlsWorkbookReader::read(path, cells);
    case CWorkbookKind::Kind::Unknown:
        break;
    }
    return false;
}

} // namespace XP
