#include "CCalendarUi.h"

#include "calendar/CCalenderCellWidget.h"
#include "calendar/CMonthGrid.h"
#include "widgets/CCheckBox.h"
#include "widgets/CComboBox.h"
#include "widgets/CSimpleTextWidget.h"
#include "widgets/CSmallNormalButton.h"
#include "widgets/CStandardSimpleTable.h"

#include <QRegularExpression>
#include <QTest>

namespace tds {
namespace {

const QString tradeDayPrefix = QStringLiteral("交易日 ");

template<class T, class Match> T* findFirst(const QWidget* root, Match match)
{
    if (!root) {
        return nullptr;
    }
    for (T* candidate : root->findChildren<T*>()) {
        if (match(candidate)) {
            return candidate;
        }
    }
    return nullptr;
}

} // namespace

XP::CSmallNormalButton* CCalendarUi::button(const QWidget* root, const QString& text)
{
    return findFirst<XP::CSmallNormalButton>(root,
                                             [&](XP::CSmallNormalButton* b) { return b->text() == text; });
}

XP::CSmallNormalButton* CCalendarUi::buttonById(const QWidget* root, int id)
{
    return findFirst<XP::CSmallNormalButton>(root, [&](XP::CSmallNormalButton* b) { return b->id() == id; });
}

XP::CCheckBox* CCalendarUi::checkBox(const QWidget* root, const QString& text)
{
    return findFirst<XP::CCheckBox>(root, [&](XP::CCheckBox* box) { return box->text() == text; });
}

XP::CComboBox* CCalendarUi::comboBox(const QWidget* root)
{
    return findFirst<XP::CComboBox>(root, [](XP::CComboBox*) { return true; });
}

XP::CSimpleTextWidget* CCalendarUi::text(const QWidget* root, const QString& prefix)
{
    return findFirst<XP::CSimpleTextWidget>(
        root, [&](XP::CSimpleTextWidget* t) { return t->getText().startsWith(prefix); });
}

bool CCalendarUi::click(QWidget* control)
{
    if (!control || !control->isVisible()) {
        return false;
    }
    QTest::mouseClick(control, Qt::LeftButton);
    return true;
}

bool CCalendarUi::clickButton(const QWidget* root, const QString& text)
{
    return click(button(root, text));
}

bool CCalendarUi::clickCheckBox(const QWidget* root, const QString& text)
{
    return click(checkBox(root, text));
}

XP::CStandardSimpleTable* CCalendarUi::dayTable(const QWidget* page)
{
    return page ? page->findChild<XP::CStandardSimpleTable*>() : nullptr;
}

IMC::CCalenderCellWidget* CCalendarUi::cellAt(const QWidget* page, int row, int column)
{
    XP::CStandardSimpleTable* table = dayTable(page);
    return table ? qobject_cast<IMC::CCalenderCellWidget*>(table->itemWidget(row, column)) : nullptr;
}

IMC::CCalenderCellWidget* CCalendarUi::cell(const QWidget* page, const QString& date)
{
    for (int row = 0; row < IMC::CMonthGrid::rowCount; ++row) {
        for (int column = 0; column < IMC::CMonthGrid::columnCount; ++column) {
            IMC::CCalenderCellWidget* candidate = cellAt(page, row, column);
            if (candidate && cellDate(candidate) == date) {
                return candidate;
            }
        }
    }
    return nullptr;
}

QStringList CCalendarUi::shownDates(const QWidget* page)
{
    QStringList dates;
    for (int row = 0; row < IMC::CMonthGrid::rowCount; ++row) {
        for (int column = 0; column < IMC::CMonthGrid::columnCount; ++column) {
            dates << cellDate(cellAt(page, row, column));
        }
    }
    return dates;
}

QString CCalendarUi::monthLabel(const QWidget* page)
{
    static const QRegularExpression monthText(QStringLiteral("^\\d+年\\d+月$"));
    XP::CSimpleTextWidget* label = findFirst<XP::CSimpleTextWidget>(
        page, [](XP::CSimpleTextWidget* t) { return monthText.match(t->getText()).hasMatch(); });
    return label ? label->getText() : QString();
}

QString CCalendarUi::cellDate(const IMC::CCalenderCellWidget* cell)
{
    XP::CSimpleTextWidget* tradeDayText = text(cell, tradeDayPrefix);
    return tradeDayText ? tradeDayText->getText().mid(tradeDayPrefix.size()) : QString();
}

QString CCalendarUi::describe(const IMC::CCalenderCellWidget* cell)
{
    QStringList seen;
    XP::CSimpleTextWidget* tradeDayText = text(cell, tradeDayPrefix);
    XP::CSimpleTextWidget* dayNumber =
        findFirst<XP::CSimpleTextWidget>(cell, [&](XP::CSimpleTextWidget* t) { return t != tradeDayText; });
    if (dayNumber && isShown(dayNumber, cell)) {
        seen << dayNumber->getText();
    }
    if (isShown(tradeDayText, cell)) {
        seen << QStringLiteral("trade");
    }
    for (const QString& label : {QStringLiteral("X"), QStringLiteral("+")}) {
        if (isShown(button(cell, label), cell)) {
            seen << label;
        }
    }
    const QList<QPair<QString, QString>> boxes = {{QStringLiteral("日盘"), QStringLiteral("day")},
                                                  {QStringLiteral("夜盘"), QStringLiteral("night")}};
    for (const auto& box : boxes) {
        XP::CCheckBox* control = checkBox(cell, box.first);
        if (isShown(control, cell)) {
            seen << box.second + (control->isChecked() ? QStringLiteral("*") : QString());
        }
    }
    return seen.join(QLatin1Char(' '));
}

bool CCalendarUi::isShown(const QWidget* control, const QWidget* root)
{
    return control && control->isVisibleTo(root);
}

} // namespace tds
