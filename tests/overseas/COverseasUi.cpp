#include "COverseasUi.h"

#include "widgets/hpf/CBaseTableColumnMultiButtonsDelegate.h"
#include "widgets/hpf/CHpfItemModel.h"

#include <QTableView>
#include <QtTest>

namespace tds {

bool COverseasUi::clickRowButton(const QWidget* page, int shownRow, const QString& text)
{
    QTableView* view = page->findChild<QTableView*>();
    auto* delegate = qobject_cast<XP::CBaseTableColumnMultiButtonsDelegate*>(view->itemDelegateForColumn(1));
    const QModelIndex cell = view->model()->index(shownRow, 1);
    const QVector<XP::ButtonData> buttons =
        delegate->itemButtons(cell.data(XP::CHpfItemModel::rowKeyRole).toByteArray().toStdString());
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.font = view->font();
    option.rect = view->visualRect(cell);
    const QVector<QRect> rects = delegate->buttonRects(option, cell);
    for (int i = 0; i < rects.size() && i < buttons.size(); ++i) {
        if (buttons[i].text == text) {
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rects[i].center());
            return true;
        }
    }
    return false;
}

} // namespace tds
