#include "widgets/CStandardSimpleTable.h"

#include "widgets/CFramePainter.h"
#include "widgets/CUiResource.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace XP {

namespace {
constexpr int defaultColumnWidth = 100;
constexpr int headerFontSize = 0;
} // namespace

CStandardSimpleTable::CStandardSimpleTable(int id, QWidget* parent)
    : CBaseNormalTable(parent)
    , tableId(id)
{
    // paintEvent covers the whole rectangle with the table's background, so whatever lies behind the
    // table need not be painted first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CStandardSimpleTable::setRowCount(int rowCount)
{
    rows = std::max(0, rowCount);
    resizeItemGrid();
    update();
}

void CStandardSimpleTable::setColumnCount(int columns)
{
    columns = std::max(0, columns);
    columnWidths.resize(columns);
    for (int& width : columnWidths) {
        width = width > 0 ? width : defaultColumnWidth;
    }
    headers.resize(columns);
    resizeItemGrid();
    update();
}

void CStandardSimpleTable::setColumnHeader(int column, const QString& text)
{
    if (column >= 0 && column < headers.size()) {
        headers[column] = text;
        update();
    }
}

QString CStandardSimpleTable::columnHeader(int column) const
{
    return column >= 0 && column < headers.size() ? headers[column] : QString();
}

void CStandardSimpleTable::setColumnWidth(int column, int width)
{
    if (column >= 0 && column < columnWidths.size()) {
        columnWidths[column] = std::max(0, width);
        updateUi();
    }
}

int CStandardSimpleTable::columnWidth(int column) const
{
    return column >= 0 && column < columnWidths.size() ? columnWidths[column] : 0;
}

void CStandardSimpleTable::setItemHeight(int height)
{
    rowHeight = std::max(1, height);
    updateUi();
}

void CStandardSimpleTable::setFlag(int flag)
{
    flags = flag;
    updateUi();
}

int CStandardSimpleTable::headerStrip() const
{
    return (flags & eNoHeader) ? 0 : headerHeight;
}

int CStandardSimpleTable::columnLeft(int column) const
{
    int left = 0;
    for (int i = 0; i < column && i < columnWidths.size(); ++i) {
        left += columnWidths[i];
    }
    return left;
}

QRect CStandardSimpleTable::itemRect(int row, int column) const
{
    if (row < 0 || row >= rows || column < 0 || column >= columnWidths.size()) {
        return {};
    }
    return {columnLeft(column), headerStrip() + row * rowHeight, columnWidths[column], rowHeight};
}

QPoint CStandardSimpleTable::cellAt(const QPoint& position) const
{
    const int y = position.y() - headerStrip();
    if (y < 0 || y >= rows * rowHeight || position.x() < 0) {
        return {-1, -1};
    }
    int left = 0;
    for (int column = 0; column < columnWidths.size(); ++column) {
        if (position.x() < left + columnWidths[column]) {
            return {column, y / rowHeight};
        }
        left += columnWidths[column];
    }
    return {-1, -1};
}

void CStandardSimpleTable::updateUi()
{
    placeItemWidgets();
    updateGeometry();
    update();
}

QSize CStandardSimpleTable::sizeHint() const
{
    return {columnLeft(columnWidths.size()), headerStrip() + rows * rowHeight};
}

void CStandardSimpleTable::paintEvent(QPaintEvent* event)
{
    CUiResource* theme = CUiResource::instance();
    QPainter painter(this);
    const int gridWidth = columnLeft(columnWidths.size());
    const int top = headerStrip();
    const QColor background = theme->getColor(QStringLiteral("clr_table_background"));
    const QColor alternate = theme->getColor(QStringLiteral("clr_table_background2"));
    // Each pixel is filled once: the alternate rows are left out of the background and filled after.
    QRegion plain(event->rect());
    for (int row = 1; row < rows; row += 2) {
        plain -= QRect(0, top + row * rowHeight, gridWidth, rowHeight);
    }
    for (const QRect& part : plain) {
        painter.fillRect(part, background);
    }
    for (int row = 1; row < rows; row += 2) {
        const QRect band = QRect(0, top + row * rowHeight, gridWidth, rowHeight) & event->rect();
        if (!band.isEmpty()) {
            painter.fillRect(band, alternate);
        }
    }
    if (top > 0) {
        painter.fillRect(0, 0, std::max(gridWidth, width()), top,
                         theme->getColor(QStringLiteral("clr_table_header")));
        const QColor textColor = theme->getColor(QStringLiteral("clr_default"));
        for (int column = 0; column < headers.size(); ++column) {
            const QSizeF size = theme->textSize(headers[column], headerFontSize);
            const qreal x = columnLeft(column) + (columnWidths[column] - size.width()) / 2;
            theme->drawText(&painter, QPointF(x, (top - size.height()) / 2), headers[column], headerFontSize,
                            false, textColor);
        }
    }
    if (!(flags & eNoGridLines)) {
        const QColor grid = theme->getColor(QStringLiteral("clr_table_grid"));
        const int gridHeight = rows * rowHeight + 1;
        for (int row = 0; row <= rows; ++row) {
            CFramePainter::drawHorizontalLine(&painter, 0, top + row * rowHeight, gridWidth + 1, grid);
        }
        for (int column = 0, x = 0; column <= columnWidths.size(); ++column) {
            CFramePainter::drawVerticalLine(&painter, x, top, gridHeight, grid);
            x += column < columnWidths.size() ? columnWidths[column] : 0;
        }
    }
}

} // namespace XP
