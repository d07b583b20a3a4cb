#pragma once

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace XP {

// The used cells of one sheet, placed by row and column (both counted from 1). The used range runs
// from the first to the last row and column that hold a non-empty cell.
class CSheetTable
{
public:
    // Sheets larger than this many fields (used rows times used columns) are refused.
    static constexpr qint64 maxFields = 20000000;

    // Stores a cell; empty texts are not stored. A later cell at the same place replaces an earlier
    // one. False when the sheet grows beyond maxFields cells.
    bool setCell(int row, int column, const QString& text);

    bool isEmpty() const { return rows.empty(); }
    int firstRow() const { return minRow; }
    int lastRow() const { return maxRow; }
    int firstColumn() const { return minColumn; }
    int lastColumn() const { return maxColumn; }

    // One line per row of the used range, fields joined by separator, one field per used column.
    // False (lines left empty) when the used range holds more than maxFields fields.
    bool toLines(QStringList& lines, QChar separator);

    // The text of one cell, empty when it holds nothing.
    QString cellText(int row, int column);

    // Calls visit(row, column, text) for each stored cell, row by row, columns ascending.
    template<typename Visit> void forEachCell(Visit visit)
    {
        arrange();
        for (const Row& row : rows) {
            for (const Cell& cell : row.cells) {
                visit(row.number, cell.first, cell.second);
            }
        }
    }

private:
    using Cell = std::pair<int, QString>;
    struct Row
    {
        int number;
        std::vector<Cell> cells;
    };

    void arrange();
    QString joinRow(const Row& row, QChar separator) const;

    std::vector<Row> rows;
    qint64 cellCount = 0;
    bool arranged = true;
    int minRow = 0;
    int maxRow = 0;
    int minColumn = 0;
    int maxColumn = 0;
};

} // namespace XP
