#include "COverseasUi.h"

#include "widgets/CComboBox.h"
#include "widgets/CSafeLineEdit.h"
#include "widgets/hpf/CBaseTableColumnMultiButtonsDelegate.h"
#include "widgets/hpf/CHpfItemModel.h"
#include "widgets/hpf/CStandardHpfTable.h"
#include "widgets/hpf/IBaseHpfTableModel.h"

#include <QTableView>
#include <QTest>

namespace tds {

namespace {
constexpr int nameColumn = 0;
constexpr int buttonColumn = 1;
constexpr int trackColumn = 2;
} // namespace

XP::CStandardHpfTable* COverseasUi::table(const QWidget* page)
{
    return page ? page->findChild<XP::CStandardHpfTable*>() : nullptr;
}

QStringList COverseasUi::shownRows(const QWidget* page)
{
    QStringList rows;
    XP::CStandardHpfTable* exchanges = table(page);
    if (!exchanges) {
        return rows;
    }
    const QAbstractItemModel* items = exchanges->tableView()->model();
    for (int row = 0; row < items->rowCount(); ++row) {
        rows << items->index(row, nameColumn).data().toString() + QLatin1Char('|') +
                    items->index(row, trackColumn).data().toString();
    }
    return rows;
}

bool COverseasUi::clickRowButton(const QWidget* page, int shownRow, const QString& text)
{
    XP::CStandardHpfTable* exchanges = table(page);
    if (!exchanges) {
        return false;
    }
    QTableView* view = exchanges->tableView();
    auto* delegate =
        qobject_cast<XP::CBaseTableColumnMultiButtonsDelegate*>(view->itemDelegateForColumn(buttonColumn));
    const QModelIndex cell = view->model()->index(shownRow, buttonColumn);
    if (!delegate || !cell.isValid()) {
        return false;
    }
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

void COverseasUi::search(const QWidget* page, const QString& text)
{
    auto* edit = page->findChild<IMC::CSafeLineEdit*>();
    // Typed as an input method would hand it over; Enter is a real key press.
    edit->setText(text);
    QTest::keyClick(edit, Qt::Key_Return);
}

XP::CComboBox* COverseasUi::comboById(const QWidget* dialog, int id)
{
    for (XP::CComboBox* combo : dialog->findChildren<XP::CComboBox*>()) {
        if (combo->id() == id) {
            return combo;
        }
    }
    return nullptr;
}

QStringList COverseasUi::comboItems(const XP::CComboBox* combo)
{
    QStringList items;
    for (int i = 0; combo && i < combo->count(); ++i) {
        items << combo->itemText(i) + QLatin1Char('=') + combo->itemData(i).toString();
    }
    return items;
}

} // namespace tds
