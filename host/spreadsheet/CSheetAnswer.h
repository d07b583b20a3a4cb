#pragma once

#include "spreadsheet/CSheetTable.h"

#include <QByteArray>

namespace XP {

// What the sheet reader helper writes on its standard output: the magic "TDSHEET1", then one record per
// non-empty cell (row, column, text length as 32-bit little-endian numbers, then the text in UTF-8), and a
// closing record with row and column 0 and the number of cells. decode accepts exactly that: a truncated,
// padded or garbled answer, a cell outside the sheet's bounds or text that is not UTF-8 is refused.
class CSheetAnswer
{
public:
    static QByteArray encode(CSheetTable& table);
    // False (table emptied) when answer is not a complete, well-formed answer.
    static bool decode(const QByteArray& answer, CSheetTable& table);
};

} // namespace XP
