#include "widgets/CBaseWidget.h"
#include "widgets/CCheckBox.h"
#include "widgets/CGroupBox.h"
#include "widgets/CSimpleTextWidget.h"
#include "widgets/CSmallNormalButton.h"
#include "widgets/CStandardSimpleTable.h"
#include "widgets/CWidgetList.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QImage>

#include <benchmark/benchmark.h>

namespace {

using namespace XP;

// A day cell made the way the calendar makes one: a frame, four lists, two texts, two buttons, two boxes.
CBaseWidget* buildDayCell(QWidget* page, int day, bool tradeDay)
{
    auto* cell = new CBaseWidget(QStringLiteral("system_trading_day_cell"), false, page);
    auto* frame = new CGroupBox(cell);
    frame->setFixedSize(160, 100);
    auto* outer = new CWidgetList(Qt::Vertical, cell);
    outer->setMargin(0, 0, 0, 0);
    outer->setFixedSize(160, 100);
    outer->setSpacing(10);

    auto* topRow = new CWidgetList(Qt::Horizontal, cell);
    topRow->setMargin(0, 0, 0, 0);
    topRow->setFixedHeight(15);
    auto* dayNumber = new CSimpleTextWidget(false, 0, QString::number(day), cell);
    dayNumber->setFixedSize(15, 15);
    topRow->addStretchSpace(1);
    topRow->addFixedWidget(dayNumber, CWidgetList::eAnchorCenter, true);

    auto* lowerArea = new CWidgetList(Qt::Vertical, cell);
    lowerArea->setMargin(0, 0, 0, 0);
    lowerArea->setFixedHeight(70);
    auto* tradeRow = new CWidgetList(Qt::Horizontal, cell);
    tradeRow->setMargin(0, 0, 0, 0);
    tradeRow->setFixedHeight(15);
    auto* tradeText = new CSimpleTextWidget(
        false, 0, QStringLiteral("交易日 2026-08-%1").arg(day, 2, 10, QLatin1Char('0')), cell);
    tradeText->setFixedSize(130, 15);
    auto* deleteButton = new CSmallNormalButton(11, false, 1, cell);
    deleteButton->setText(QStringLiteral("X"));
    deleteButton->setFixedSize(10, 10);
    tradeRow->addFixedWidget(tradeText, CWidgetList::eAnchorCenter, true);
    tradeRow->addStretchSpace(1);
    tradeRow->addFixedWidget(deleteButton, CWidgetList::eAnchorCenter, true);
    auto* addButton = new CSmallNormalButton(12, false, 1, cell);
    addButton->setText(QStringLiteral("+"));
    addButton->setFixedSize(30, 20);
    auto* sessionRow = new CWidgetList(Qt::Horizontal, cell);
    sessionRow->setMargin(0, 0, 0, 0);
    sessionRow->setFixedHeight(15);
    auto* daySession = new CCheckBox(0, QString(), QStringLiteral("日盘"), cell);
    auto* nightSession = new CCheckBox(1, QString(), QStringLiteral("夜盘"), cell);
    sessionRow->addFixedWidget(daySession, CWidgetList::eAnchorCenter, true);
    sessionRow->addStretchSpace(1);
    sessionRow->addFixedWidget(nightSession, CWidgetList::eAnchorCenter, true);
    lowerArea->addFixedWidget(tradeRow, CWidgetList::eAnchorCenter, true);
    lowerArea->addFixedWidget(addButton, CWidgetList::eAnchorCenter, true);
    lowerArea->addFixedWidget(sessionRow, CWidgetList::eAnchorCenter, true);

    outer->addFixedWidget(topRow, CWidgetList::eAnchorFill, true);
    outer->addFixedWidget(lowerArea, CWidgetList::eAnchorFill, true);
    frame->setInnerStretchWidget(outer, 0, 0, 0, 0);
    cell->setInnerStretchWidget(frame, 0, 0, 0, 0);
    cell->setFixedSize(160, 100);

    tradeText->setVisible(tradeDay);
    deleteButton->setVisible(tradeDay);
    daySession->setVisible(tradeDay);
    nightSession->setVisible(tradeDay);
    daySession->setChecked(tradeDay);
    nightSession->setChecked(tradeDay);
    addButton->setVisible(!tradeDay);
    return cell;
}

void shapeMonthTable(CStandardSimpleTable* table)
{
    table->setFixedSize(1130, 664);
    table->setColumnCount(7);
    table->setRowCount(6);
    table->setItemHeight(100);
    table->setFlag(0);
    for (int column = 0; column < 7; ++column) {
        table->setColumnHeader(column, QStringLiteral("星期%1").arg(column));
        table->setColumnWidth(column, 153);
    }
}

void fillMonth(QWidget* page, CStandardSimpleTable* table, int month)
{
    for (int i = 0; i < 42; ++i) {
        const int day = i % 31 + 1;
        table->setItemWidget(i / 7, i % 7, buildDayCell(page, day, (day + month) % 3 != 0), eAlignCenter,
                             true);
    }
}

// One month change; kept out of line so that a profiler can count exactly these.
Q_NEVER_INLINE void changeFrameworkMonth(QWidget* page, CStandardSimpleTable* table, int month, QImage* image)
{
    fillMonth(page, table, month);
    QApplication::processEvents();
    page->render(image);
}

void BM_FrameworkCellMonth(benchmark::State& state)
{
    QWidget page;
    page.resize(1150, 800);
    auto* table = new CStandardSimpleTable(0, &page);
    shapeMonthTable(table);
    table->move(10, 40);
    page.show();
    QImage image(page.size(), QImage::Format_ARGB32_Premultiplied);
    changeFrameworkMonth(&page, table, 0, &image);
    int month = 1;
    for (auto _ : state) {
        changeFrameworkMonth(&page, table, month++, &image);
    }
}
BENCHMARK(BM_FrameworkCellMonth)->Unit(benchmark::kMillisecond);

Q_NEVER_INLINE void changeCalendarMonth(QCalendarWidget* calendar, QImage* image)
{
    calendar->showNextMonth();
    QApplication::processEvents();
    calendar->render(image);
}

void BM_QCalendarWidgetMonth(benchmark::State& state)
{
    QCalendarWidget calendar;
    calendar.resize(1130, 664);
    calendar.show();
    QImage image(calendar.size(), QImage::Format_ARGB32_Premultiplied);
    changeCalendarMonth(&calendar, &image);
    for (auto _ : state) {
        changeCalendarMonth(&calendar, &image);
    }
}
BENCHMARK(BM_QCalendarWidgetMonth)->Unit(benchmark::kMillisecond);

} // namespace
