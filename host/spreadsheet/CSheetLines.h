#pragma once

#include "spreadsheet/ISheetCellSink.h"

#include <QString>
#include <QStringList>

#include <string>
#include <string_view>
#include <vector>

namespace XP {

// Makes the lines of a sheet (see CSheetTable::toLines) while its cells arrive: each row's line as soon as
// the next row starts, without keeping the cells. That overlaps the work with the arrival of the cells, from
// the sheet reader helper say, and spares memory. It needs the cells in order, rows ascending and columns
// ascending within a row, as sheets nearly always list them. A row that reaches further left or right than
// the rows before widens the sheet: the lines made before are padded once, when they are handed over. Cells
// out of order end the making: inOrder() tells, and the caller lays the sheet out through a CSheetTable
// instead.
class CSheetLines : public ISheetCellSink
{
public:
    explicit CSheetLines(QChar separator);

    // False when the used range grows beyond CSheetTable::maxFields fields.
    using ISheetCellSink::setCell;
    bool setCell(int row, int column, std::string_view utf8) override;

    bool inOrder() const { return ordered; }

    // Hands over the lines; false (lines empty) when the cells came out of order.
    bool takeLines(QStringList& lines);

private:
    // The lines from firstLine on, up to the next span, were made for the columns first to last.
    struct Span
    {
        int firstLine;
        int firstColumn;
        int lastColumn;
    };

    bool fits(int row, int column) const;
    void startRow(int row, int column);
    void endRow();
    void widen(int first, int last);
    void padToWidest();
    void appendSeparators(int count);
    void stop();

    QChar separator;
    std::string separatorUtf8;
    QStringList made;
    std::string line; // the current row's line in UTF-8, up to lineColumn
    int firstRow = 0;
    int lineRow = 0;    // the current row; 0 before the first cell
    int lineColumn = 0; // the column of the current row's last cell; 0 before its first
    int firstColumn = 0;
    int lastColumn = 0;
    std::vector<Span> spans;
    bool ordered = true;
};

} // namespace XP
