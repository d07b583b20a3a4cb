#pragma once

#include <QPointer>
#include <QVector>
#include <QWidget>

namespace XP {

// Places widgets one after another along an orientation, without a QLayout. Fixed widgets keep their fixed
// (or size-hint) length; stretch widgets and stretch spaces share what is left by their factors. Hidden
// widgets take no room. Spacing goes between two neighbouring widgets, not next to spaces.
//
// A list built inside another list, or added to one, is a group of it, the way a nested layout is: it
// takes its room in the outer list and places its own widgets there, but those widgets are children of
// the outermost list (the host), and the group itself is never shown and draws nothing. Nested rows of a
// form thus cost nothing to show or paint. Hiding a group hides its widgets and gives its room away;
// showing it brings them back. Deleting a group leaves its widgets to the host, as deleting a nested
// layout does.
class CWidgetList : public QWidget
{
    Q_OBJECT
public:
    // Placement across the list.
    enum EAnchor
    {
        eAnchorStart = 0,  // top or left
        eAnchorCenter = 1, // centred at its own size
        eAnchorEnd = 2,    // bottom or right
        eAnchorFill = 3,   // the whole width or height of the list
    };

    CWidgetList(Qt::Orientation orientation, QWidget* parent);

    Qt::Orientation orientation() const { return direction; }

    // countInSizeHint: whether the widget adds to the list's size hint.
    void addFixedWidget(QWidget* widget, int anchor = eAnchorCenter, bool countInSizeHint = true);
    void addStretchWidget(QWidget* widget, int stretch = 1, int anchor = eAnchorCenter,
                          bool countInSizeHint = true);
    void addFixedSpace(int length);
    void addStretchSpace(int factor = 1);
    void setMargin(int left, int top, int right, int bottom);
    void setSpacing(int spacing);
    int spacing() const { return gap; }
    QMargins margins() const { return margin; }
    int count() const { return items.size(); }

    // The list this one is a group of; null for a host list.
    CWidgetList* outerList() const { return owner; }

    // Places every widget again; runs by itself on resize, show and when a child is shown or hidden.
    void relayout();

    QSize sizeHint() const override;
    void setVisible(bool visible) override;

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct SItem
    {
        QPointer<QWidget> widget; // null for a space, or once the widget is gone
        bool space = false;
        int length = 0;  // fixed space length
        int stretch = 0; // stretch factor; 0 for fixed items
        int anchor = eAnchorCenter;
        bool countInSizeHint = true;
        bool hiddenWithGroup = false; // hidden because this group was hidden
    };

    void addWidget(QWidget* widget, int stretch, int anchor, bool countInSizeHint);
    void joinAsGroupOf(CWidgetList* outer);
    void moveItemsToHost();
    void moveIntoHost(QWidget* widget);
    void showItemsWithGroup(bool visible);
    bool hiddenWithGroups() const;
    CWidgetList* host();
    const CWidgetList* host() const;
    QPoint originInHost() const;
    CWidgetList* groupIn(const SItem& item) const;
    bool takesRoom(const SItem& item) const;
    int lengthAlong(const QWidget* widget) const;
    int lengthAcross(const QWidget* widget) const;
    void place(const SItem& item, int along, int length, const QRect& area);
    void afterChange();
    void forgetHints();
    QSize computeSizeHint() const;
    bool isHorizontal() const { return direction == Qt::Horizontal; }

    Qt::Orientation direction;
    QVector<SItem> items;
    QMargins margin;
    int gap = 0;
    CWidgetList* owner = nullptr;
    bool groupHidden = false;
    // Lists nest, and a parent asks for the hint on each of its layouts; it changes only with the items.
    mutable QSize cachedHint;
    bool placedForShow = false;
};

} // namespace XP
