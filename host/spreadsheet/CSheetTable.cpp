#include "spreadsheet/CSheetTable.h"

#include "spreadsheet/CSheetLines.h"

#include <algorithm>
#include <limits>

namespace XP {
namespace {

constexpr std::size_t maxTextBytes = std::numeric_limits<std::uint32_t>::max();

} // namespace

bool CSheetTable::setCell(int row, int column, std::string_view utf8)
{
    if (utf8.empty()) {
        return true;
    }
    if (static_cast<qint64>(cells.size()) >= maxFields || texts.size() + utf8.size() > maxTextBytes) {
        return false;
    }
    if (cells.empty()) {
        minRow = maxRow = row;
        minColumn = maxColumn = column;
    } else {
        const Cell& last = cells.back();
        arranged = arranged && (last.row < row || (last.row == row && last.column < column));
    }
    cells.push_back(
        Cell{row, column, static_cast<std::uint32_t>(texts.size()), static_cast<std::uint32_t>(utf8.size())});
    texts.append(utf8);
    minRow = std::min(minRow, row);
    maxRow = std::max(maxRow, row);
    minColumn = std::min(minColumn, column);
    maxColumn = std::max(maxColumn, column);
    return true;
}

// Sorts the cells into place when the file did not list them in order; of two cells at the same
// place the one that came later stays.
void CSheetTable::arrange()
{
    if (arranged) {
        return;
    }
    std::stable_sort(cells.begin(), cells.end(), [](const Cell& a, const Cell& b) {
        return a.row < b.row || (a.row == b.row && a.column < b.column);
    });
    std::vector<Cell> unique;
    unique.reserve(cells.size());
    for (const Cell& cell : cells) {
        if (!unique.empty() && unique.back().row == cell.row && unique.back().column == cell.column) {
            unique.back() = cell;
        } else {
            unique.push_back(cell);
        }
    }
    cells = std::move(unique);
    arranged = true;
}

bool CSheetTable::toLines(QStringList& lines, QChar separator)
{
    lines.clear();
    if (cells.empty()) {
        return true;
    }
    const qint64 width = maxColumn - minColumn + 1;
    const qint64 height = maxRow - minRow + 1;
    if (width * height > maxFields) {
        return false;
    }
    // Once arranged, the cells come in the order CSheetLines takes them, and the range checked above keeps it
    // from refusing any.
    arrange();
    CSheetLines made(separator);
    for (const Cell& cell : cells) {
        made.setCell(cell.row, cell.column, textOf(cell));
    }
    return made.takeLines(lines);
}

QString CSheetTable::cellText(int row, int column)
{
    arrange();
    const auto found = std::lower_bound(cells.cbegin(), cells.cend(), std::make_pair(row, column),
                                        [](const Cell& cell, const std::pair<int, int>& place) {
                                            return std::make_pair(cell.row, cell.column) < place;
                                        });
    if (found == cells.cend() || found->row != row || found->column != column) {
        return QString();
    }
    const std::string_view text = textOf(*found);
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

} // namespace XP
