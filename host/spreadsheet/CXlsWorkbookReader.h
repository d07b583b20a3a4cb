#pragma once

#include "spreadsheet/CSheetTable.h"

#include <QByteArray>
#include <QString>

namespace XP {

// Reads the first tab (in workbook order) of a binary .xls workbook into a sheet table of the texts a
// person sees. BIFF8 workbooks (Excel 97 and later) are read directly, which keeps every cell's format
// and so every date; older ones go to FreeXL. Encrypted workbooks are refused. Runs on untrusted files:
// see CWorkbookParser.
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

    static bool read(const QString& path, CSheetTable& table);

    // Reads a whole compound file from memory; OlderFormat when it holds a workbook before BIFF8.
    static Outcome readBiff8(const QByteArray& file, CSheetTable& table);
};

} // namespace XP
