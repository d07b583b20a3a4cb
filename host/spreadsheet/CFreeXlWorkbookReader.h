#pragma once

#include "spreadsheet/CSheetTable.h"

#include <QByteArray>
#include <QString>

namespace XP {

// Reads the first sheet of an .xls workbook with FreeXL, for workbooks older than BIFF8. FreeXL is a
// small C parser that is not safe on hostile files, so readIsolated runs it in a child process limited
// in memory and time: a crash or hang there only makes the file unreadable.
class CFreeXlWorkbookReader
{
public:
    static constexpr int timeLimitSeconds = 10;
    static constexpr unsigned long long memoryLimitBytes = 1024ULL * 1024 * 1024;

    static bool readIsolated(const QString& path, CSheetTable& table);

    // Reads in the calling process; the cells come back serialized (see readIsolated).
    static bool readInProcess(const QString& path, QByteArray& cells);

    static bool deserialize(const QByteArray& cells, CSheetTable& table);
};

} // namespace XP
