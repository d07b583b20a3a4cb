#include "spreadsheet/CSheetTable.h"

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
        if (ahead.on && arranged && last.row < row) {
            makeLinesAheadUpTo(row);
        }
    }
    cells.push_back(
        Cell{row, column, static_cast<std::uint32_t>(texts.size()), static_cast<std::uint32_t>(utf8.size())});
    texts.append(utf8);
    minRow = std::min(minRow, row);
    maxRow = std::max(maxRow, row);
    minColumn = std::min(minColumn, column);
    maxColumn = std::max(maxColumn, column);
    const bool guessHolds = arranged && (ahead.nextRow == 0 || (minColumn == ahead.format.firstColumn &&
                                                                maxColumn == ahead.format.lastColumn));
    if (ahead.on && !guessHolds) {
        ahead = LinesAhead();
    }
    return true;
}

void CSheetTable::clear()
{
    const bool linesAhead = ahead.on;
    const QChar separator = ahead.format.separator;
    *this = CSheetTable();
    if (linesAhead) {
        makeLinesAhead(separator);
    }
}

void CSheetTable::makeLinesAhead(QChar separator)
{
    ahead = LinesAhead();
    ahead.on = true;
    ahead.format.separator = separator;
}

// A cell of a later row came: the rows before it are complete. Their columns, those seen so far, are taken
// to be the sheet's; setCell drops the lines when a later cell proves that wrong.
void CSheetTable::makeLinesAheadUpTo(int row)
{
    if (ahead.nextRow == 0) {
        ahead.format = lineFormat(ahead.format.separator);
        ahead.nextRow = minRow;
    }
    if (static_cast<qint64>(maxColumn - minColumn + 1) * (row - minRow) > maxFields) {
        ahead = LinesAhead(); // toLines refuses such a sheet
        return;
    }
    ahead.cellsDone = appendLines(ahead.lines, ahead.cellsDone, cells.size(), ahead.nextRow, ahead.format);
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
    if (ahead.on && ahead.nextRow != 0 && ahead.format.separator == separator) {
        lines = std::move(ahead.lines);
        appendLines(lines, ahead.cellsDone, cells.size(), ahead.nextRow, ahead.format);
        ahead = LinesAhead();
        return true;
    }
    arrange();
    lines.reserve(static_cast<int>(height));
    int nextRow = minRow;
    appendLines(lines, 0, cells.size(), nextRow, lineFormat(separator));
    return true;
}

CSheetTable::LineFormat CSheetTable::lineFormat(QChar separator) const
{
    return LineFormat{separator, QString(separator).toStdString(), QString(maxColumn - minColumn, separator),
                      minColumn, maxColumn};
}

std::size_t CSheetTable::appendLines(QStringList& lines, std::size_t cell, std::size_t end, int& nextRow,
                                     const LineFormat& format)
{
    while (cell < end) {
        const int row = cells[cell].row;
        for (; nextRow < row; ++nextRow) {
            lines.append(format.emptyLine);
        }
        line.clear();
        int column = format.firstColumn;
        for (; cell < end && cells[cell].row == row; ++cell) {
            for (; column < cells[cell].column; ++column) {
                line += format.separatorUtf8;
            }
            line += textOf(cells[cell]);
        }
        for (; column < format.lastColumn; ++column) {
            line += format.separatorUtf8;
        }
        lines.append(QString::fromUtf8(line.data(), static_cast<int>(line.size())));
        ++nextRow;
    }
    return cell;
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
