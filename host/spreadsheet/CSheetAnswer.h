#pragma once

#include "spreadsheet/CSheetTable.h"

#include <QByteArray>

#include <cstddef>

namespace XP {

// What the sheet reader helper writes on its standard output: the magic "TDSHEET1", then one record per
// non-empty cell (row, column, text length as 32-bit little-endian numbers, then the text in UTF-8), and a
// closing record with row and column 0 and the number of cells. CSheetAnswerWriter writes it as the cells
// come, CSheetAnswerReader reads it as it arrives and accepts exactly that: a truncated, padded or garbled
// answer, a cell outside the sheet's bounds or text that is not UTF-8 is refused.
class CSheetAnswer
{
public:
    static constexpr char magic[] = "TDSHEET1";
    static constexpr std::size_t magicSize = sizeof magic - 1;
    static constexpr std::size_t recordHeaderSize = 12;
    // Rows and columns beyond what any spreadsheet application writes.
    static constexpr quint32 maxRow = 1048576;
    static constexpr quint32 maxColumn = 16384;
    // Far more than the 32,767 characters a cell holds.
    static constexpr quint32 maxCellBytes = 4 * 1024 * 1024;

    // The whole answer for a table, and the table back from a whole answer (false, table emptied, when
    // the answer is not complete and well-formed).
    static QByteArray encode(CSheetTable& table);
    static bool decode(const QByteArray& answer, CSheetTable& table);
};

} // namespace XP
