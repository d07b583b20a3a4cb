#include "widgets/CBaseNormalTable.h"

#include <QChildEvent>

#include <algorithm>

namespace XP {

CBaseNormalTable::CBaseNormalTable(QWidget* parent)
    : CEventWidgetT<QWidget>(parent)
{}

CBaseNormalTable::~CBaseNormalTable() = default;

int CBaseNormalTable::indexOf(int row, int column) const
{
    if (row < 0 || column < 0 || column >= gridColumns || row * gridColumns + column >= items.size()) {
        return -1;
    }
    return row * gridColumns + column;
}

void CBaseNormalTable::setItemWidget(int row, int column, QWidget* widget, int alignment, bool show)
{
    const int index = indexOf(row, column);
    if (index < 0) {
        return;
    }
    QWidget* before = items[index].widget;
    items[index] = SItem{widget, alignment};
    if (before && before != widget) {
        discard(before);
    }
    if (!widget) {
        return;
    }
    if (widget->parentWidget() != this) {
        widget->setParent(this);
    }
    placeItem(row, column);
    if (show) {
        widget->show();
    } else {
        widget->hide();
    }
}

// The table repaints the item's whole cell anyway. With updates off, the widgets inside the item skip
// marking their own areas dirty one by one as they are destroyed.
void CBaseNormalTable::discard(QWidget* widget)
{
    widget->setUpdatesEnabled(false);
    delete widget;
}

QWidget* CBaseNormalTable::itemWidget(int row, int column) const
{
    const int index = indexOf(row, column);
    return index < 0 ? nullptr : items[index].widget;
}

void CBaseNormalTable::resizeItemGrid()
{
    const int rows = std::max(0, rowCount());
    const int columns = std::max(0, columnCount());
    QVector<SItem> resized(rows * columns);
    QVector<QWidget*> dropped;
    for (int i = 0; i < items.size(); ++i) {
        const int row = i / gridColumns;
        const int column = i % gridColumns;
        if (row < rows && column < columns) {
            resized[row * columns + column] = items[i];
        } else if (items[i].widget) {
            dropped.append(items[i].widget);
        }
    }
    items.swap(resized);
    gridColumns = columns;
    for (QWidget* widget : dropped) {
        discard(widget);
    }
    placeItemWidgets();
}

void CBaseNormalTable::placeItemWidgets()
{
    for (int i = 0; i < items.size(); ++i) {
        if (items[i].widget) {
            placeItem(i / gridColumns, i % gridColumns);
        }
    }
}

void CBaseNormalTable::placeItem(int row, int column)
{
    const SItem& item = items[indexOf(row, column)];
    QWidget* widget = item.widget;
    const QRect cell = itemRect(row, column);
    const QSize least = widget->minimumSize();
    const QSize most = widget->maximumSize();
    QSize own = widget->sizeHint().expandedTo(least).boundedTo(most);
    if (least.width() == most.width()) {
        own.setWidth(least.width());
    }
    if (least.height() == most.height()) {
        own.setHeight(least.height());
    }
    QRect target(cell.topLeft(), cell.size().expandedTo(least).boundedTo(most));
    if (item.alignment & eAlignHCenter) {
        target.setWidth(own.width());
        target.moveLeft(cell.left() + (cell.width() - own.width()) / 2);
    }
    if (item.alignment & eAlignVCenter) {
        target.setHeight(own.height());
        target.moveTop(cell.top() + (cell.height() - own.height()) / 2);
    }
    if (widget->geometry() != target) {
        widget->setGeometry(target);
    }
}

bool CBaseNormalTable::event(QEvent* event)
{
    // An item widget deleted or moved elsewhere by someone else leaves its cell empty.
    if (event->type() == QEvent::ChildRemoved) {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        for (SItem& item : items) {
            if (item.widget == child) {
                item = SItem{};
            }
        }
    }
    return QWidget::event(event);
}

} // namespace XP
