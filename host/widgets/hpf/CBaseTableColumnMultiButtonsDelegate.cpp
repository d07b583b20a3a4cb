#include "widgets/hpf/CBaseTableColumnMultiButtonsDelegate.h"

#include "widgets/CEventDeliverer.h"
#include "widgets/hpf/CHpfItemModel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace XP {

namespace {
constexpr int buttonPadding = 10;
constexpr int buttonSpacing = 8;
constexpr int buttonMaxHeight = 24;
constexpr int cellInset = 6;

std::string rowKeyOf(const QModelIndex& index)
{
    return index.data(CHpfItemModel::rowKeyRole).toByteArray().toStdString();
}
} // namespace

CBaseTableColumnMultiButtonsDelegate::CBaseTableColumnMultiButtonsDelegate(int column,
                                                                           CEventDeliverer* deliverer,
                                                                           QObject* parent)
    : QStyledItemDelegate(parent)
    , buttonColumn(column)
    , deliverer(deliverer)
{}

void CBaseTableColumnMultiButtonsDelegate::setItemButtons(const std::string& rowKey,
                                                          QVector<ButtonData> buttons, bool refresh)
{
    items[rowKey].buttons = std::move(buttons);
    if (refresh) {
        repaint();
    }
}

void CBaseTableColumnMultiButtonsDelegate::setItemVisible(const std::string& rowKey, bool visible,
                                                          bool refresh)
{
    items[rowKey].visible = visible;
    if (refresh) {
        repaint();
    }
}

QVector<ButtonData> CBaseTableColumnMultiButtonsDelegate::itemButtons(const std::string& rowKey) const
{
    const auto it = items.find(rowKey);
    return it == items.end() ? QVector<ButtonData>() : it->second.buttons;
}

bool CBaseTableColumnMultiButtonsDelegate::isItemVisible(const std::string& rowKey) const
{
    const auto it = items.find(rowKey);
    return it != items.end() && it->second.visible;
}

QVector<QRect> CBaseTableColumnMultiButtonsDelegate::buttonRects(const QStyleOptionViewItem& option,
                                                                 const QModelIndex& index) const
{
    const SItem* item = shownItem(index);
    return item ? layoutButtons(option.rect, option.font, item->buttons) : QVector<QRect>();
}

void CBaseTableColumnMultiButtonsDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                                 const QModelIndex& index) const
{
    const SItem* item = shownItem(index);
    if (!item) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    cell.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);

    const QVector<QRect> rects = layoutButtons(option.rect, option.font, item->buttons);
    for (int i = 0; i < rects.size(); ++i) {
        const ButtonData& button = item->buttons[i];
        const bool pressed = pressedButton == i && pressedIndex == index;
        if (button.buttonType == ButtonData::eNormalButton) {
            QStyleOptionButton face;
            face.rect = rects[i];
            face.text = button.text;
            face.fontMetrics = option.fontMetrics;
            face.palette = option.palette;
            face.state = button.disabled ? QStyle::State_None : QStyle::State_Enabled;
            face.state |= pressed ? QStyle::State_Sunken : QStyle::State_Raised;
            style->drawControl(QStyle::CE_PushButton, &face, painter, widget);
        } else {
            painter->save();
            painter->setPen(option.palette.color(button.disabled ? QPalette::Disabled : QPalette::Active,
                                                 QPalette::Link));
            painter->drawText(rects[i], Qt::AlignCenter, button.text);
            painter->restore();
        }
    }
}

QSize CBaseTableColumnMultiButtonsDelegate::sizeHint(const QStyleOptionViewItem& option,
                                                     const QModelIndex& index) const
{
    const SItem* item = shownItem(index);
    if (!item) {
        return QStyledItemDelegate::sizeHint(option, index);
    }
    const QVector<QRect> rects =
        layoutButtons(QRect(0, 0, 0, buttonMaxHeight + cellInset), option.font, item->buttons);
    const int right = rects.isEmpty() ? 0 : rects.last().right() + 1;
    return QSize(right + cellInset, buttonMaxHeight + cellInset);
}

bool CBaseTableColumnMultiButtonsDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                                     const QStyleOptionViewItem& option,
                                                     const QModelIndex& index)
{
    const SItem* item = shownItem(index);
    const int button = item ? buttonAt(option, index, event->pos()) : -1;
    if (event->type() == QEvent::ToolTip && button >= 0) {
        const QString tip = item->buttons[button].properties.value(Qt::ToolTipRole);
        if (!tip.isEmpty()) {
            QToolTip::showText(event->globalPos(), tip, view);
            return true;
        }
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

bool CBaseTableColumnMultiButtonsDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                                       const QStyleOptionViewItem& option,
                                                       const QModelIndex& index)
{
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonRelease) {
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const int button = mouse->button() == Qt::LeftButton ? buttonAt(option, index, mouse->pos()) : -1;
    if (event->type() == QEvent::MouseButtonPress) {
        pressedIndex = button >= 0 ? QPersistentModelIndex(index) : QPersistentModelIndex();
        pressedButton = button;
        repaint();
        return button >= 0;
    }
    const bool clicked = button >= 0 && button == pressedButton && pressedIndex == index;
    pressedIndex = QPersistentModelIndex();
    pressedButton = -1;
    repaint();
    if (!clicked) {
        return false;
    }
    const int id = shownItem(index)->buttons[button].id;
    if (const auto* view = qobject_cast<const QAbstractItemView*>(option.widget)) {
        view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                           QItemSelectionModel::Rows);
    }
    if (deliverer) {
        deliverer->deliverEvent(eventType, 0, id, QString(), nullptr);
    }
    return true;
}

const CBaseTableColumnMultiButtonsDelegate::SItem*
CBaseTableColumnMultiButtonsDelegate::shownItem(const QModelIndex& index) const
{
    if (!index.isValid() || index.column() != buttonColumn) {
        return nullptr;
    }
    const auto it = items.find(rowKeyOf(index));
    return it != items.end() && it->second.visible && !it->second.buttons.isEmpty() ? &it->second : nullptr;
}

QVector<QRect> CBaseTableColumnMultiButtonsDelegate::layoutButtons(const QRect& cell, const QFont& font,
                                                                   const QVector<ButtonData>& buttons) const
{
    const QFontMetrics metrics(font);
    const int height = qMin(buttonMaxHeight, qMax(cell.height() - cellInset, metrics.height()));
    const int top = cell.top() + (cell.height() - height) / 2;
    QVector<QRect> rects;
    int left = cell.left() + cellInset;
    for (const ButtonData& button : buttons) {
        const int width = metrics.horizontalAdvance(button.text) + 2 * buttonPadding;
        rects.append(QRect(left, top, width, height));
        left += width + buttonSpacing;
    }
    return rects;
}

int CBaseTableColumnMultiButtonsDelegate::buttonAt(const QStyleOptionViewItem& option,
                                                   const QModelIndex& index, const QPoint& position) const
{
    const SItem* item = shownItem(index);
    if (!item) {
        return -1;
    }
    const QVector<QRect> rects = layoutButtons(option.rect, option.font, item->buttons);
    for (int i = 0; i < rects.size(); ++i) {
        if (rects[i].contains(position)) {
            return item->buttons[i].disabled ? -1 : i;
        }
    }
    return -1;
}

void CBaseTableColumnMultiButtonsDelegate::repaint()
{
    if (auto* view = qobject_cast<QAbstractItemView*>(parent())) {
        view->viewport()->update();
    }
}

} // namespace XP
