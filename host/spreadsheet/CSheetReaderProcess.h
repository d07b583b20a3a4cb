#pragma once

#include "spreadsheet/ISheetCellSink.h"

#include <QString>

namespace XP {

// Reads a workbook's first sheet out of the calling process: starts the sheet reader helper
// (tradingday-sheet-reader) with QProcess, never a fork of this process, and takes its answer (CSheetAnswer)
// from the helper's standard output. The helper limits its own CPU time and address space; here a wall-clock
// deadline and a bound on the answer's size apply. A crash, hang, exhausted limit or malformed answer of the
// helper makes the workbook unreadable and leaves this process as it was.
//
// The helper is found in libexec/panelsystemtradingday beside the lib folder this library was loaded from,
// or where the environment variable TDS_SHEET_READER says.
class CSheetReaderProcess
{
public:
    struct Limits
    {
        int cpuSeconds;
        qint64 addressSpaceBytes;
        int deadlineMs;
        qint64 maxAnswerBytes;
    };

    // Hands the cells on as the answer arrives; false when the helper failed in any way, and then the cells
    // handed on are to be thrown away.
    static bool read(const QString& path, ISheetCellSink& cells);

    static QString helperPath();
    static Limits limits();
    // Test seam: tests that make the helper hang or grow set shorter limits.
    static void setLimits(const Limits& limits);
};

} // namespace XP
