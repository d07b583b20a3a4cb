#pragma once

#include "spreadsheet/ISheetCellSink.h"

#include <QString>

namespace XP {

// Reads the first tab (in workbook order) of an Office Open XML workbook, transitional or strict,
// as the texts a person sees, cell by cell as the sheet lists them.
class CXlsxWorkbookReader
{
public:
    // Inflated-size limits per part; a part whose header or content exceeds them makes the file unreadable.
    static constexpr qint64 maxSmallPartSize = 16LL * 1024 * 1024;
    static constexpr qint64 maxStringsPartSize = 256LL * 1024 * 1024;
    static constexpr qint64 maxSheetPartSize = 1024LL * 1024 * 1024;

    // False when the file is no workbook this reader can read; cells given before are then to be discarded.
    static bool read(const QString& path, ISheetCellSink& cells);
};

} // namespace XP
