#pragma once

#include "widgets/hpf/ButtonData.h"

#include <QStyledItemDelegate>
#include <QVector>

#include <map>
#include <string>

namespace XP {

class CEventDeliverer;

// Paints a row of buttons in one column of a CStandardHpfTable, per row as set under the row's key. A click
// on a button (press and release on the same enabled button) selects its row and delivers
// (228, 0, button id, "", null) through the deliverer, normally the table, which hands it to its owner.
class CBaseTableColumnMultiButtonsDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    static constexpr int eventType = 228;

    CBaseTableColumnMultiButtonsDelegate(int column, CEventDeliverer* deliverer, QObject* parent = nullptr);

    int column() const { return buttonColumn; }

    // The buttons of the row with that key, left to right; a row's buttons start visible. refresh: repaint
    // the table now.
    void setItemButtons(const std::string& rowKey, QVector<ButtonData> buttons, bool refresh);
    void setItemVisible(const std::string& rowKey, bool visible, bool refresh);
    QVector<ButtonData> itemButtons(const std::string& rowKey) const;
    bool isItemVisible(const std::string& rowKey) const;

    // Where the buttons of the row at index are painted, in view coordinates; empty when it shows none.
    QVector<QRect> buttonRects(const QStyleOptionViewItem& option, const QModelIndex& index) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    struct SItem
    {
        QVector<ButtonData> buttons;
        bool visible = true;
    };

    const SItem* shownItem(const QModelIndex& index) const;
    QVector<QRect> layoutButtons(const QRect& cell, const QFont& font,
                                 const QVector<ButtonData>& buttons) const;
    int buttonAt(const QStyleOptionViewItem& option, const QModelIndex& index, const QPoint& position) const;
    void repaint();

    int buttonColumn;
    CEventDeliverer* deliverer;
    std::map<std::string, SItem> items;
    // The button under a press that has not been released yet.
    QPersistentModelIndex pressedIndex;
    int pressedButton = -1;
};

} // namespace XP
