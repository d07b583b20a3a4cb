#pragma once

#include "spreadsheet/ISheetCellSink.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace XP {

// The used cells of one sheet, placed by row and column (both counted from 1). The used range runs
// from the first to the last row and column that hold a non-empty cell. Texts are kept in UTF-8, one
// after the other in a single buffer, so a sheet of a million cells costs no allocation per cell.
class CSheetTable : public ISheetCellSink
{
public:
    // Sheets larger than this many fields (used rows times used columns) are refused.
    static constexpr qint64 maxFields = 20000000;

    // Stores a cell; empty texts are not stored. A later cell at the same place replaces an earlier
    // one. False when the sheet grows beyond maxFields cells or its texts beyond 4 GiB.
    using ISheetCellSink::setCell;
    bool setCell(int row, int column, std::string_view utf8) override;

    bool isEmpty() const { return cells.empty(); }
    int firstRow() const { return minRow; }
    int lastRow() const { return maxRow; }
    int firstColumn() const { return minColumn; }
    int lastColumn() const { return maxColumn; }

    // One line per row of the used range, fields joined by separator, one field per used column.
    // False (lines left empty) when the used range holds more than maxFields fields.
    bool toLines(QStringList& lines, QChar separator);

    // The text of one cell, empty when it holds nothing.
    QString cellText(int row, int column);

    // Calls visit(row, column, utf8) for each stored cell, row by row, columns ascending.
    template<typename Visit> void forEachCell(Visit visit)
    {
        arrange();
        for (const Cell& cell : cells) {
            visit(cell.row, cell.column, textOf(cell));
        }
    }

private:
    struct Cell
    {
        int row;
        int column;
        std::uint32_t offset;
        std::uint32_t size;
    };

    std::string_view textOf(const Cell& cell) const
    {
        return std::string_view(texts).substr(cell.offset, cell.size);
    }
    void arrange();

    std::vector<Cell> cells;
    std::string texts;
    bool arranged = true;
    int minRow = 0;
    int maxRow = 0;
    int minColumn = 0;
    int maxColumn = 0;
};

} // namespace XP
