#include "spreadsheet/CSheetTable.h"

#include <algorithm>

namespace XP {
namespace {

bool columnBefore(const std::pair<int, QString>& a, const std::pair<int, QString>& b)
{
    return a.first < b.first;
}

} // namespace

bool CSheetTable::setCell(int row, int column, const QString& text)
{
    if (text.isEmpty()) {
        return true;
    }
    if (++cellCount > maxFields) {
        return false;
    }
    if (rows.empty()) {
        minRow = maxRow = row;
        minColumn = maxColumn = column;
    }
    if (rows.empty() || rows.back().number != row) {
        arranged = arranged && (rows.empty() || rows.back().number < row);
        rows.push_back(Row{row, {}});
    }
    std::vector<Cell>& cells = rows.back().cells;
    arranged = arranged && (cells.empty() || cells.back().first < column);
    cells.emplace_back(column, text);
    minRow = std::min(minRow, row);
    maxRow = std::max(maxRow, row);
    minColumn = std::min(minColumn, column);
    maxColumn = std::max(maxColumn, column);
    return true;
}

// Sorts rows and cells into place when the file did not list them in order; of two cells at the same
// place the one that came later stays.
void CSheetTable::arrange()
{
    if (arranged) {
        return;
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row& a, const Row& b) { return a.number < b.number; });
    std::vector<Row> merged;
    for (Row& row : rows) {
        if (!merged.empty() && merged.back().number == row.number) {
            auto& cells = merged.back().cells;
            cells.insert(cells.end(), std::make_move_iterator(row.cells.begin()),
                         std::make_move_iterator(row.cells.end()));
        } else {
            merged.push_back(std::move(row));
        }
    }
    for (Row& row : merged) {
        std::stable_sort(row.cells.begin(), row.cells.end(), columnBefore);
        std::vector<Cell> unique;
        for (Cell& cell : row.cells) {
            if (!unique.empty() && unique.back().first == cell.first) {
                unique.back() = std::move(cell);
            } else {
                unique.push_back(std::move(cell));
            }
        }
        row.cells = std::move(unique);
    }
    rows = std::move(merged);
    arranged = true;
}

QString CSheetTable::joinRow(const Row& row, QChar separator) const
{
    QString line;
    int column = minColumn;
    for (const Cell& cell : row.cells) {
        for (; column < cell.first; ++column) {
            line.append(separator);
        }
        line.append(cell.second);
    }
    for (; column < maxColumn; ++column) {
        line.append(separator);
    }
    return line;
}

bool CSheetTable::toLines(QStringList& lines, QChar separator)
{
    lines.clear();
    if (rows.empty()) {
        return true;
    }
    const qint64 width = maxColumn - minColumn + 1;
    const qint64 height = maxRow - minRow + 1;
    if (width * height > maxFields) {
        return false;
    }
    arrange();
    const QString emptyLine(static_cast<int>(width - 1), separator);
    lines.reserve(static_cast<int>(height));
    int next = minRow;
    for (const Row& row : rows) {
        for (; next < row.number; ++next) {
            lines.append(emptyLine);
        }
        lines.append(joinRow(row, separator));
        next = row.number + 1;
    }
    return true;
}

QString CSheetTable::cellText(int row, int column)
{
    arrange();
    const auto found = std::lower_bound(rows.begin(), rows.end(), row, [](const Row& candidate, int number) {
        return candidate.number < number;
    });
    if (found == rows.end() || found->number != row) {
        return QString();
    }
    const auto cell =
        std::lower_bound(found->cells.begin(), found->cells.end(), Cell(column, QString()), columnBefore);
    return cell != found->cells.end() && cell->first == column ? cell->second : QString();
}

} // namespace XP
