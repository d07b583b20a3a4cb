#pragma once

#include "spreadsheet/ISheetCellSink.h"

#include <QByteArray>
#include <QString>

namespace XP {

// Reads the first tab (in workbook order) of a binary .xls workbook as the texts a person sees. BIFF8
// workbooks (Excel 97 and later) are read directly, which keeps every cell's format and so every date; older
// ones go to FreeXL. Encrypted workbooks are refused. Runs on untrusted files: see CWorkbookParser.
class CXlsWorkbookReader
{
public:
    static constexpr qint64 maxFileSize = 256LL * 1024 * 1024;

    enum class Outcome
    {
        Read,
        Unreadable,
        OlderFormat
    };

    // False when the workbook cannot be read; cells given before are then to be discarded.
    static bool read(const QString& path, ISheetCellSink& cells);

    // Reads a whole compound file from memory; OlderFormat (before any cell) when it holds a workbook
    // before BIFF8.
    static Outcome readBiff8(const QByteArray& file, ISheetCellSink& cells);
};

} // namespace XP
