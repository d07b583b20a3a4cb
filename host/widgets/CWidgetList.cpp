#include "widgets/CWidgetList.h"

#include "widgets/CUiResource.h"

#include <QEvent>
#include <QVarLengthArray>

#include <algorithm>

namespace XP {
namespace {

bool isExplicitlyHidden(const QWidget* widget)
{
    return widget->isHidden() && widget->testAttribute(Qt::WA_WState_ExplicitShowHide);
}

} // namespace

CWidgetList::CWidgetList(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent)
    , direction(orientation)
{
    // Nothing watches its parent's child events for this light widget; sparing them saves several event
    // dispatches each time it is polished, moved into a list or destroyed.
    setAttribute(Qt::WA_NoChildEventsForParent);
    if (auto* outer = qobject_cast<CWidgetList*>(parent)) {
        joinAsGroupOf(outer);
    }
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
    space.space = true;
    space.length = std::max(0, length);
    items.append(space);
    afterChange();
}

void CWidgetList::addStretchSpace(int factor)
{
    SItem space;
    space.space = true;
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
    SItem item;
    item.widget = widget;
    item.stretch = stretch;
    item.anchor = anchor;
    item.countInSizeHint = countInSizeHint;
    if (auto* group = qobject_cast<CWidgetList*>(widget)) {
        group->joinAsGroupOf(this);
    } else {
        const bool explicitlyHidden = isExplicitlyHidden(widget);
        moveIntoHost(widget);
        if (!explicitlyHidden && hiddenWithGroups()) {
            widget->hide();
            item.hiddenWithGroup = true;
        }
    }
    items.append(item);
    afterChange();
}

void CWidgetList::joinAsGroupOf(CWidgetList* outer)
{
    if (owner == outer) {
        return;
    }
    // Re-parenting may hide the list through setVisible, which must not count as hiding a group.
    owner = nullptr;
    if (parentWidget() != outer) {
        setParent(outer);
    }
    QWidget::setVisible(false);
    owner = outer;
    moveItemsToHost();
    if (!groupHidden && owner->hiddenWithGroups()) {
        showItemsWithGroup(false);
    }
}

void CWidgetList::moveItemsToHost()
{
    for (const SItem& item : items) {
        if (CWidgetList* group = groupIn(item)) {
            group->moveItemsToHost();
        } else if (item.widget) {
            moveIntoHost(item.widget);
        }
    }
}

void CWidgetList::moveIntoHost(QWidget* widget)
{
    const bool explicitlyHidden = isExplicitlyHidden(widget);
    CWidgetList* target = host();
    if (widget->parentWidget() != target) {
        widget->setParent(target);
    }
    if (!explicitlyHidden && !hiddenWithGroups() && target->isVisible()) {
        widget->show();
    }
}

void CWidgetList::setVisible(bool visible)
{
    if (!owner) {
        QWidget::setVisible(visible);
        return;
    }
    if (groupHidden == !visible) {
        return;
    }
    groupHidden = !visible;
    if (!owner->hiddenWithGroups()) {
        showItemsWithGroup(visible);
    }
    owner->afterChange();
}

void CWidgetList::showItemsWithGroup(bool visible)
{
    for (SItem& item : items) {
        if (CWidgetList* group = groupIn(item)) {
            if (!group->groupHidden) {
                group->showItemsWithGroup(visible);
            }
        } else if (item.widget) {
            if (!visible && !isExplicitlyHidden(item.widget)) {
                item.widget->hide();
                item.hiddenWithGroup = true;
            } else if (visible && item.hiddenWithGroup) {
                item.hiddenWithGroup = false;
                item.widget->show();
            }
        }
    }
}

bool CWidgetList::hiddenWithGroups() const
{
    return groupHidden || (owner && owner->hiddenWithGroups());
}

CWidgetList* CWidgetList::host()
{
    return owner ? owner->host() : this;
}

const CWidgetList* CWidgetList::host() const
{
    return owner ? owner->host() : this;
}

QPoint CWidgetList::originInHost() const
{
    return owner ? pos() + owner->originInHost() : QPoint();
}

CWidgetList* CWidgetList::groupIn(const SItem& item) const
{
    auto* list = qobject_cast<CWidgetList*>(item.widget.data());
    return list && list->owner == this ? list : nullptr;
}

void CWidgetList::afterChange()
{
    cachedHint = QSize();
    if (owner) {
        owner->afterChange();
        return;
    }
    updateGeometry();
    if (isVisible()) {
        relayout();
    }
}

void CWidgetList::forgetHints()
{
    cachedHint = QSize();
    for (const SItem& item : items) {
        if (CWidgetList* group = groupIn(item)) {
            group->forgetHints();
        }
    }
}

bool CWidgetList::takesRoom(const SItem& item) const
{
    if (item.space) {
        return item.stretch > 0 || item.length > 0;
    }
    if (!item.widget) {
        return false;
    }
    if (CWidgetList* group = groupIn(item)) {
        return !group->groupHidden;
    }
    // A list that became another list's group is hidden, like any widget gone elsewhere.
    return !item.widget->isHidden() && item.widget->parentWidget() == host();
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
        if (!item.space) {
            fixedTotal += afterWidget ? gap : 0;
        }
        afterWidget = !item.space;
        if (item.stretch == 0) {
            lengths[i] = item.space ? item.length : lengthAlong(item.widget);
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
        if (!item.space) {
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
        if (!item.space) {
            position += afterWidget ? gap : 0;
            place(item, position, lengths[i], area);
        }
        afterWidget = !item.space;
        position += lengths[i];
    }
}

void CWidgetList::place(const SItem& item, int along, int length, const QRect& area)
{
    QWidget* widget = item.widget;
    const int space = isHorizontal() ? area.height() : area.width();
    int across = lengthAcross(widget);
    if (item.anchor == eAnchorFill) {
        across = isHorizontal() ? std::clamp(space, widget->minimumHeight(), widget->maximumHeight())
                                : std::clamp(space, widget->minimumWidth(), widget->maximumWidth());
    }
    int offset = 0;
    if (item.anchor == eAnchorEnd) {
        offset = space - across;
    } else if (item.anchor != eAnchorStart) {
        offset = (space - across) / 2;
    }
    QRect target = isHorizontal() ? QRect(along, area.top() + offset, length, across)
                                  : QRect(area.left() + offset, along, across, length);
    if (CWidgetList* group = groupIn(item)) {
        if (group->geometry() != target) {
            group->setGeometry(target);
        }
        // Qt keeps a move and a resize for a hidden widget's first show and delivers them whenever the
        // window is rendered; a group is never shown and is placed here, so it has no use for them.
        group->setAttribute(Qt::WA_PendingMoveEvent, false);
        group->setAttribute(Qt::WA_PendingResizeEvent, false);
        group->relayout();
        return;
    }
    target.translate(originInHost());
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
        if (!item.space) {
            if (item.countInSizeHint) {
                along += (afterWidget ? gap : 0) + lengthAlong(item.widget);
                across = std::max(across, lengthAcross(item.widget));
            }
        } else if (item.stretch == 0) {
            along += item.length;
        }
        afterWidget = !item.space;
    }
    if (isHorizontal()) {
        return {along + margin.left() + margin.right(), across + margin.top() + margin.bottom()};
    }
    return {across + margin.left() + margin.right(), along + margin.top() + margin.bottom()};
}

bool CWidgetList::event(QEvent* event)
{
    if (CUiResource::takeStylePolish(this, event)) {
        return true;
    }
    if (event->type() == QEvent::LayoutRequest) {
        // A widget was shown, hidden or changed its hint: ours may change with it, and a parent list must
        // know.
        const QSize before = cachedHint;
        forgetHints();
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
    forgetHints();
    // Items shown or hidden while the list was hidden told nobody, so a list shown without a resize places
    // them again.
    if (!placedForShow) {
        relayout();
    }
    placedForShow = false;
}

} // namespace XP
