#pragma once

#include "spreadsheet/ISheetCellSink.h"

#include <QString>

namespace XP {

// Reads the first sheet of an .xls workbook with FreeXL, for workbooks older than BIFF8. FreeXL is a small C
// parser that is not safe on hostile files: like every workbook parser it runs only inside the sheet reader
// helper, whose crash or hang only makes the file unreadable.
class CFreeXlWorkbookReader
{
public:
    // False when FreeXL cannot read the workbook; cells given before are then to be discarded.
    static bool read(const QString& path, ISheetCellSink& cells);
};

} // namespace XP
