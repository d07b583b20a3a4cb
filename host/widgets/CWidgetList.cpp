#include "widgets/CWidgetList.h"

#include <QEvent>
#include <QVarLengthArray>

#include <algorithm>

namespace XP {

CWidgetList::CWidgetList(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent)
    , direction(orientation)
{
    // Nothing watches its parent's child events for this light widget; sparing them saves several event
    // dispatches each time it is polished, moved into a list or destroyed.
    setAttribute(Qt::WA_NoChildEventsForParent);
}

void CWidgetList::addFixedWidget(QWidget* widget, int anchor, bool countInSizeHint)
{
    addWidget(widget, 0, anchor, countInSizeHint);
}

void CWidgetList::addStretchWidget(QWidget* widget, int stretch, int anchor, bool countInSizeHint)
{
    addWidget(widget, std::max(1, stretch), anchor, countInSizeHint);
}

void CWidgetList::addFixedSpace(int length)
{
    SItem space;
    space.length = std::max(0, length);
    items.append(space);
    afterChange();
}

void CWidgetList::addStretchSpace(int factor)
{
    SItem space;
    space.stretch = std::max(1, factor);
    items.append(space);
    afterChange();
}

void CWidgetList::setMargin(int left, int top, int right, int bottom)
{
    margin = QMargins(left, top, right, bottom);
    afterChange();
}

void CWidgetList::setSpacing(int spacing)
{
    gap = std::max(0, spacing);
    afterChange();
}

void CWidgetList::addWidget(QWidget* widget, int stretch, int anchor, bool countInSizeHint)
{
    if (!widget) {
        return;
    }
    const bool explicitlyHidden = widget->isHidden() && widget->testAttribute(Qt::WA_WState_ExplicitShowHide);
    if (widget->parentWidget() != this) {
        widget->setParent(this);
    }
    if (!explicitlyHidden && isVisible()) {
        widget->show();
    }
    SItem item;
    item.widget = widget;
    item.stretch = stretch;
    item.anchor = anchor;
    item.countInSizeHint = countInSizeHint;
    items.append(item);
    afterChange();
}

void CWidgetList::afterChange()
{
    cachedHint = QSize();
    updateGeometry();
    if (isVisible()) {
        relayout();
    }
}

bool CWidgetList::takesRoom(const SItem& item) const
{
    if (item.widget.isNull()) {
        return item.stretch > 0 || item.length > 0;
    }
    return !item.widget->isHidden() && item.widget->parentWidget() == this;
}

int CWidgetList::lengthAlong(const QWidget* widget) const
{
    if (isHorizontal()) {
        if (widget->minimumWidth() == widget->maximumWidth()) {
            return widget->minimumWidth();
        }
        return std::clamp(widget->sizeHint().width(), widget->minimumWidth(), widget->maximumWidth());
    }
    if (widget->minimumHeight() == widget->maximumHeight()) {
        return widget->minimumHeight();
    }
    return std::clamp(widget->sizeHint().height(), widget->minimumHeight(), widget->maximumHeight());
}

int CWidgetList::lengthAcross(const QWidget* widget) const
{
    if (isHorizontal()) {
        if (widget->minimumHeight() == widget->maximumHeight()) {
            return widget->minimumHeight();
        }
        return std::clamp(widget->sizeHint().height(), widget->minimumHeight(), widget->maximumHeight());
    }
    if (widget->minimumWidth() == widget->maximumWidth()) {
        return widget->minimumWidth();
    }
    return std::clamp(widget->sizeHint().width(), widget->minimumWidth(), widget->maximumWidth());
}

void CWidgetList::relayout()
{
    const QRect area = rect().marginsRemoved(margin);
    const int available = isHorizontal() ? area.width() : area.height();

    QVarLengthArray<int, 16> lengths(items.size());
    int fixedTotal = 0;
    int stretchTotal = 0;
    bool afterWidget = false;
    for (int i = 0; i < items.size(); ++i) {
        const SItem& item = items[i];
        lengths[i] = 0;
        if (!takesRoom(item)) {
            continue;
        }
        if (item.widget) {
            fixedTotal += afterWidget ? gap : 0;
        }
        afterWidget = !item.widget.isNull();
        if (item.stretch == 0) {
            lengths[i] = item.widget ? lengthAlong(item.widget) : item.length;
            fixedTotal += lengths[i];
        } else {
            stretchTotal += item.stretch;
        }
    }

    // Stretch items share the rest by their factors; cumulative rounding hands out every pixel.
    const int rest = std::max(0, available - fixedTotal);
    int stretchSeen = 0;
    int given = 0;
    for (int i = 0; i < items.size(); ++i) {
        const SItem& item = items[i];
        if (item.stretch == 0 || !takesRoom(item)) {
            continue;
        }
        stretchSeen += item.stretch;
        const int end = rest * stretchSeen / stretchTotal;
        lengths[i] = end - given;
        given = end;
        if (item.widget) {
            const QSize least = item.widget->minimumSize();
            const QSize most = item.widget->maximumSize();
            lengths[i] = isHorizontal() ? std::clamp(lengths[i], least.width(), most.width())
                                        : std::clamp(lengths[i], least.height(), most.height());
        }
    }

    int position = isHorizontal() ? area.left() : area.top();
    afterWidget = false;
    for (int i = 0; i < items.size(); ++i) {
        const SItem& item = items[i];
        if (!takesRoom(item)) {
            continue;
        }
        if (item.widget) {
            position += afterWidget ? gap : 0;
            placeAcross(item.widget, item.anchor, position, lengths[i], area);
        }
        afterWidget = !item.widget.isNull();
        position += lengths[i];
    }
}

void CWidgetList::placeAcross(QWidget* widget, int anchor, int along, int length, const QRect& area)
{
    const int space = isHorizontal() ? area.height() : area.width();
    int across = lengthAcross(widget);
    if (anchor == eAnchorFill) {
        across = isHorizontal() ? std::clamp(space, widget->minimumHeight(), widget->maximumHeight())
                                : std::clamp(space, widget->minimumWidth(), widget->maximumWidth());
    }
    int offset = 0;
    if (anchor == eAnchorEnd) {
        offset = space - across;
    } else if (anchor != eAnchorStart) {
        offset = (space - across) / 2;
    }
    const QRect target = isHorizontal() ? QRect(along, area.top() + offset, length, across)
                                        : QRect(area.left() + offset, along, across, length);
    if (widget->geometry() != target) {
        widget->setGeometry(target);
    }
}

QSize CWidgetList::sizeHint() const
{
    if (!cachedHint.isValid()) {
        cachedHint = computeSizeHint();
    }
    return cachedHint;
}

QSize CWidgetList::computeSizeHint() const
{
    int along = 0;
    int across = 0;
    bool afterWidget = false;
    for (const SItem& item : items) {
        if (!takesRoom(item)) {
            continue;
        }
        if (item.widget) {
            if (item.countInSizeHint) {
                along += (afterWidget ? gap : 0) + lengthAlong(item.widget);
                across = std::max(across, lengthAcross(item.widget));
            }
        } else if (item.stretch == 0) {
            along += item.length;
        }
        afterWidget = !item.widget.isNull();
    }
    if (isHorizontal()) {
        return {along + margin.left() + margin.right(), across + margin.top() + margin.bottom()};
    }
    return {across + margin.left() + margin.right(), along + margin.top() + margin.bottom()};
}

bool CWidgetList::event(QEvent* event)
{
    if (event->type() == QEvent::LayoutRequest) {
        // A child was shown, hidden or changed its hint: ours may change with it, and a parent list must
        // know.
        const QSize before = cachedHint;
        cachedHint = QSize();
        if (sizeHint() != before) {
            updateGeometry();
        }
        relayout();
    }
    return QWidget::event(event);
}

void CWidgetList::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    relayout();
    // A hidden list gets the resize it missed just before it is shown.
    placedForShow = !isVisible();
}

void CWidgetList::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    cachedHint = QSize();
    // Items shown or hidden while the list was hidden told nobody, so a list shown without a resize places
    // them again.
    if (!placedForShow) {
        relayout();
    }
    placedForShow = false;
}

} // namespace XP
