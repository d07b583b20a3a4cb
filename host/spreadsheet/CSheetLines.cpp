#include "spreadsheet/CSheetLines.h"

#include "spreadsheet/CSheetTable.h"

#include <algorithm>
#include <utility>

namespace XP {

CSheetLines::CSheetLines(QChar separator)
    : separator(separator)
    , separatorUtf8(QString(separator).toStdString())
{}

bool CSheetLines::setCell(int row, int column, std::string_view utf8)
{
    if (utf8.empty() || !ordered) {
        return true;
    }
    if (lineRow != 0 && (row < lineRow || (row == lineRow && column <= lineColumn))) {
        stop();
        return true;
    }
    if (!fits(row, column)) {
        return false;
    }
    if (lineRow == 0) {
        firstRow = row;
        widen(column, column);
        startRow(row, column);
    } else if (row > lineRow) {
        endRow();
        startRow(row, column);
    }
    appendSeparators(column - (lineColumn == 0 ? firstColumn : lineColumn));
    line.append(utf8);
    lineColumn = column;
    return true;
}

// Whether the used range with a cell at row and column stays within CSheetTable::maxFields fields; asked
// before any line is made for it.
bool CSheetLines::fits(int row, int column) const
{
    const int top = lineRow == 0 ? row : firstRow;
    const int left = lineRow == 0 ? column : std::min(firstColumn, column);
    const int right = lineRow == 0 ? column : std::max({lastColumn, lineColumn, column});
    return static_cast<qint64>(right - left + 1) * (row - top + 1) <= CSheetTable::maxFields;
}

bool CSheetLines::takeLines(QStringList& lines)
{
    if (!ordered) {
        lines.clear();
        return false;
    }
    if (lineRow != 0) {
        endRow();
        lineRow = 0;
    }
    padToWidest();
    lines = std::move(made);
    made.clear();
    return true;
}

// Rows left out before this one get empty lines; a row reaching further left than those before widens the
// sheet.
void CSheetLines::startRow(int row, int column)
{
    if (lineRow != 0 && row > lineRow + 1) {
        const QString emptyLine(lastColumn - firstColumn, separator);
        for (int gap = lineRow + 1; gap < row; ++gap) {
            made.append(emptyLine);
        }
    }
    if (column < firstColumn) {
        widen(column, lastColumn);
    }
    lineRow = row;
    lineColumn = 0;
}

// A row reaching further right than those before widens the sheet.
void CSheetLines::endRow()
{
    if (lineColumn > lastColumn) {
        widen(firstColumn, lineColumn);
    }
    appendSeparators(lastColumn - lineColumn);
    made.append(QString::fromUtf8(line.data(), static_cast<int>(line.size())));
    line.clear();
}

// The lines made from now on are made for the columns first to last.
void CSheetLines::widen(int first, int last)
{
    if (!spans.empty() && spans.back().firstLine == made.size()) {
        spans.pop_back();
    }
    spans.push_back(Span{made.size(), first, last});
    firstColumn = first;
    lastColumn = last;
}

// Each line made before the sheet reached its widest gets the separators of the columns it lacks, once.
void CSheetLines::padToWidest()
{
    for (std::size_t span = 0; span < spans.size(); ++span) {
        const QString left(spans[span].firstColumn - firstColumn, separator);
        const QString right(lastColumn - spans[span].lastColumn, separator);
        if (left.isEmpty() && right.isEmpty()) {
            continue;
        }
        const int end = span + 1 < spans.size() ? spans[span + 1].firstLine : made.size();
        for (int line = spans[span].firstLine; line < end; ++line) {
            made[line] = left + made[line] + right;
        }
    }
    spans.clear();
}

void CSheetLines::appendSeparators(int count)
{
    for (int i = 0; i < count; ++i) {
        line += separatorUtf8;
    }
}

void CSheetLines::stop()
{
    ordered = false;
    made = QStringList();
    line = std::string();
    spans.clear();
}

} // namespace XP
