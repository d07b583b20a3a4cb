#pragma once

#include "spreadsheet/ISheetCellSink.h"

#include <QString>

namespace XP {

// Reads the first sheet of a workbook with whichever parser its content calls for: the .xlsx reader, the
// BIFF8 reader, or FreeXL for older .xls. These parsers run on untrusted files, so only the sheet reader
// helper (tradingday-sheet-reader, started by CSheetReaderProcess) and the fuzz targets call this.
class CWorkbookParser
{
public:
    // False when no parser can read the workbook; cells given before are then to be discarded.
    static bool parse(const QString& path, ISheetCellSink& cells);
};

} // namespace XP
