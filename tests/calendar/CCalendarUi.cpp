#include "CCalendarUi.h"

#include "calendar/CCalenderCellWidget.h"
#include "widgets/CCheckBox.h"
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
    const QList<T*> candidates = root ? root->findChildren<T*>() : QList<T*>();
    const auto found = std::find_if(candidates.begin(), candidates.end(), match);
    return found == candidates.end() ? nullptr : *found;
}

QString dateOf(const QWidget* cell)
{
    XP::CSimpleTextWidget* tradeDayText = CCalendarUi::text(cell, tradeDayPrefix);
    return tradeDayText ? tradeDayText->getText().mid(tradeDayPrefix.size()) : QString();
}

QList<IMC::CCalenderCellWidget*> cellsOf(const QWidget* page)
{
    XP::CStandardSimpleTable* table = CCalendarUi::dayTable(page);
    QList<IMC::CCalenderCellWidget*> cells;
    for (int position = 0; table && position < 42; ++position) {
        cells << qobject_cast<IMC::CCalenderCellWidget*>(table->itemWidget(position / 7, position % 7));
    }
    return cells;
}

} // namespace

XP::CSmallNormalButton* CCalendarUi::button(const QWidget* root, const QString& text)
{
    return findFirst<XP::CSmallNormalButton>(root,
                                             [&](XP::CSmallNormalButton* b) { return b->text() == text; });
}

XP::CCheckBox* CCalendarUi::checkBox(const QWidget* root, const QString& text)
{
    return findFirst<XP::CCheckBox>(root, [&](XP::CCheckBox* box) { return box->text() == text; });
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

IMC::CCalenderCellWidget* CCalendarUi::cell(const QWidget* page, const QString& date)
{
    const int position = shownDates(page).indexOf(date);
    return position < 0 ? nullptr : cellsOf(page).at(position);
}

QStringList CCalendarUi::shownDates(const QWidget* page)
{
    QStringList dates;
    for (IMC::CCalenderCellWidget* cell : cellsOf(page)) {
        dates << dateOf(cell);
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

QString CCalendarUi::describe(const IMC::CCalenderCellWidget* cell)
{
    XP::CSimpleTextWidget* tradeDayText = text(cell, tradeDayPrefix);
    XP::CSimpleTextWidget* dayNumber =
        findFirst<XP::CSimpleTextWidget>(cell, [&](XP::CSimpleTextWidget* t) { return t != tradeDayText; });
    QStringList seen;
    if (dayNumber && dayNumber->isVisibleTo(cell)) {
        seen << dayNumber->getText();
    }
    const QList<QPair<QWidget*, QString>> controls = {{tradeDayText, "trade"},
                                                      {button(cell, "X"), "X"},
                                                      {button(cell, "+"), "+"},
                                                      {checkBox(cell, "日盘"), "day"},
                                                      {checkBox(cell, "夜盘"), "night"}};
    for (const auto& control : controls) {
        if (control.first && control.first->isVisibleTo(cell)) {
            auto* box = qobject_cast<XP::CCheckBox*>(control.first);
            seen << control.second + (box && box->isChecked() ? "*" : "");
        }
    }
    return seen.join(QLatin1Char(' '));
}

} // namespace tds
