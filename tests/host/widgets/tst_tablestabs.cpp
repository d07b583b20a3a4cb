#include "TestGuards.h"

#include "widgets/CBaseTabPage.h"
#include "widgets/CBaseWidget.h"
#include "widgets/CScrollArea.h"
#include "widgets/CStandardSimpleTable.h"
#include "widgets/CStandardTabControl.h"
#include "widgets/CUiResource.h"

#include <QImage>
#include <QPointer>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

using namespace XP;

namespace {

class CCountingPage : public CBaseWidget
{
public:
    explicit CCountingPage(QWidget* parent)
        : CBaseWidget(QStringLiteral("page"), false, parent)
    {}
    void onActive() override
    {
        CBaseWidget::onActive();
        ++activations;
    }
    void onDeactive() override
    {
        CBaseWidget::onDeactive();
        ++deactivations;
    }
    int activations = 0;
    int deactivations = 0;
};

// The month table as the calendar builds it.
void shapeMonthTable(CStandardSimpleTable& table)
{
    table.setFixedSize(1130, 664);
    table.setColumnCount(7);
    table.setRowCount(6);
    table.setItemHeight(100);
    table.setFlag(0);
    const QStringList days{QStringLiteral("星期天"), QStringLiteral("星期一"), QStringLiteral("星期二"),
                           QStringLiteral("星期三"), QStringLiteral("星期四"), QStringLiteral("星期五"),
                           QStringLiteral("星期六")};
    for (int column = 0; column < 7; ++column) {
        table.setColumnHeader(column, days[column]);
        table.setColumnWidth(column, 153);
    }
}

QWidget* cellWidget()
{
    auto* cell = new QWidget;
    cell->setFixedSize(160, 100);
    return cell;
}

} // namespace

class TestTablesTabs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void tableKeepsItsShape()
    {
        CStandardSimpleTable table(0, nullptr);
        shapeMonthTable(table);
        QCOMPARE(table.rowCount(), 6);
        QCOMPARE(table.columnCount(), 7);
        QCOMPARE(table.columnHeader(0), QStringLiteral("星期天"));
        QCOMPARE(table.columnHeader(6), QStringLiteral("星期六"));
        QVERIFY(table.columnHeader(7).isEmpty());
        QCOMPARE(table.columnWidth(3), 153);
        QCOMPARE(table.itemHeight(), 100);
        QCOMPARE(table.itemRect(1, 2), QRect(306, 130, 153, 100));
        QCOMPARE(table.cellAt(QPoint(310, 135)), QPoint(2, 1));
        QCOMPARE(table.cellAt(QPoint(310, 10)), QPoint(-1, -1));
        QCOMPARE(table.sizeHint(), QSize(1071, 630));
    }

    void itemWidgetShowsAtItsCell_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<bool>("fixed");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("centred fixed cell") << 0x3000 << true << QRect(303, 130, 160, 100);
        QTest::newRow("filling free widget") << 0 << false << QRect(306, 130, 153, 100);
        QTest::newRow("fill keeps fixed size") << 0 << true << QRect(306, 130, 160, 100);
    }

    void itemWidgetShowsAtItsCell()
    {
        QFETCH(int, alignment);
        QFETCH(bool, fixed);
        QFETCH(QRect, expected);
        CStandardSimpleTable table(0, nullptr);
        shapeMonthTable(table);
        table.show();
        QWidget* widget = fixed ? cellWidget() : new QWidget;

        table.setItemWidget(1, 2, widget, alignment, true);

        QCOMPARE(table.itemWidget(1, 2), widget);
        QCOMPARE(table.itemAlignment(1, 2), alignment);
        QCOMPARE(widget->parentWidget(), &table);
        QCOMPARE(widget->geometry(), expected);
        QVERIFY(widget->isVisible());
    }

    void replacingDestroysThePreviousWidgetAtOnce()
    {
        CStandardSimpleTable table(0, nullptr);
        shapeMonthTable(table);
        QPointer<QWidget> before = cellWidget();
        table.setItemWidget(0, 0, before, eAlignCenter, true);
        QWidget* after = cellWidget();

        table.setItemWidget(0, 0, after, eAlignCenter, true);

        QVERIFY(before.isNull());
        QCOMPARE(table.itemWidget(0, 0), after);
    }

    void cellsEmptyWhenTheirWidgetGoes()
    {
        CStandardSimpleTable table(0, nullptr);
        shapeMonthTable(table);
        QWidget* deleted = cellWidget();
        QWidget* moved = cellWidget();
        table.setItemWidget(2, 3, deleted, eAlignCenter, true);
        table.setItemWidget(2, 4, moved, eAlignCenter, true);
        QWidget elsewhere;

        delete deleted;
        moved->setParent(&elsewhere);

        QVERIFY(!table.itemWidget(2, 3));
        QVERIFY(!table.itemWidget(2, 4));
    }

    void outOfRangeCellsAreRefused()
    {
        CStandardSimpleTable table(0, nullptr);
        shapeMonthTable(table);
        QWidget keeper;
        auto* widget = new QWidget(&keeper);
        table.setItemWidget(6, 0, widget, eAlignCenter, true);
        table.setItemWidget(0, -1, widget, eAlignCenter, true);
        QCOMPARE(widget->parentWidget(), &keeper);
        QVERIFY(!table.itemWidget(6, 0));
    }

    void shrinkingDestroysWidgetsOutsideAndResizingMovesTheRest()
    {
        CStandardSimpleTable table(0, nullptr);
        shapeMonthTable(table);
        QPointer<QWidget> lastRow = cellWidget();
        QWidget* kept = cellWidget();
        table.setItemWidget(5, 6, lastRow, eAlignCenter, true);
        table.setItemWidget(1, 1, kept, eAlignCenter, true);

        table.setRowCount(5);
        table.setColumnWidth(0, 200);

        QVERIFY(lastRow.isNull());
        QCOMPARE(table.itemWidget(1, 1), kept);
        QCOMPARE(kept->pos(), QPoint(200 + (153 - 160) / 2, 130));
    }

    void tablePaintsHeaderAndAlternateRows()
    {
        CStandardSimpleTable table(0, nullptr);
        shapeMonthTable(table);
        QImage image(table.size(), QImage::Format_RGB32);
        table.render(&image);
        CUiResource* theme = CUiResource::instance();
        QCOMPARE(QColor(image.pixel(3, 3)), theme->getColor(QStringLiteral("clr_table_header")));
        QCOMPARE(QColor(image.pixel(5, 40)), theme->getColor(QStringLiteral("clr_table_background")));
        QCOMPARE(QColor(image.pixel(5, 140)), theme->getColor(QStringLiteral("clr_table_background2")));
        QCOMPARE(QColor(image.pixel(153, 50)), theme->getColor(QStringLiteral("clr_table_grid")));

        table.setFlag(CStandardSimpleTable::eNoHeader | CStandardSimpleTable::eNoGridLines);
        table.render(&image);
        QCOMPARE(QColor(image.pixel(3, 3)), theme->getColor(QStringLiteral("clr_table_background")));
        QCOMPARE(QColor(image.pixel(153, 50)), theme->getColor(QStringLiteral("clr_table_background")));
    }

    void firstTabIsShownButNotActivated()
    {
        CStandardTabControl tabs(nullptr);
        auto* first = new CCountingPage(nullptr);
        auto* second = new CCountingPage(nullptr);
        CBaseTabPage* firstTab = tabs.addTabWidget(QStringLiteral("境内市场交易日"), first, nullptr);
        CBaseTabPage* secondTab = tabs.addTabWidget(QStringLiteral("电子盘交易日"), second, nullptr);
        tabs.resize(600, 400);
        tabs.show();

        QCOMPARE(tabs.tabCount(), 2);
        QCOMPARE(tabs.getTabPage(0), firstTab);
        QCOMPARE(tabs.getTabPage(1), secondTab);
        QVERIFY(!tabs.getTabPage(2));
        QCOMPARE(secondTab->page(), second);
        QCOMPARE(secondTab->title(), QStringLiteral("电子盘交易日"));
        QCOMPARE(tabs.tabTitle(0), QStringLiteral("境内市场交易日"));
        QCOMPARE(tabs.currentIndex(), 0);
        QVERIFY(first->isVisible());
        QVERIFY(!second->isVisible());
        QCOMPARE(first->activations, 0);
        QVERIFY(!first->isActive());
        QCOMPARE(first->geometry(),
                 QRect(0, CStandardTabControl::tabBarHeight, 600, 400 - CStandardTabControl::tabBarHeight));
    }

    void activationCallsOnActiveAndOnDeactive()
    {
        CStandardTabControl tabs(nullptr);
        auto* first = new CCountingPage(nullptr);
        auto* second = new CCountingPage(nullptr);
        tabs.addTabWidget(QStringLiteral("境内市场交易日"), first, nullptr);
        tabs.addTabWidget(QStringLiteral("港股通交易日"), second, nullptr);
        tabs.resize(600, 400);
        tabs.show();
        QSignalSpy changes(&tabs, &CStandardTabControl::sigCurrentChanged);

        tabs.activateTab(0);
        QCOMPARE(first->activations, 1);
        QVERIFY(first->isActive());
        QCOMPARE(changes.count(), 0);

        tabs.activateTab(1);
        QCOMPARE(second->activations, 1);
        QCOMPARE(first->deactivations, 1);
        QVERIFY(!first->isActive());
        QVERIFY(second->isActive());
        QVERIFY(second->isVisible());
        QVERIFY(!first->isVisible());
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes.takeFirst().at(0).toInt(), 1);

        tabs.activateTab(5);
        QCOMPARE(tabs.currentIndex(), 1);
    }

    void clickingATabHeaderActivatesIt()
    {
        CStandardTabControl tabs(nullptr);
        auto* first = new CCountingPage(nullptr);
        auto* second = new CCountingPage(nullptr);
        tabs.addTabWidget(QStringLiteral("境内市场交易日"), first, nullptr);
        tabs.addTabWidget(QStringLiteral("境外交易日 "), second, nullptr);
        tabs.resize(600, 400);
        tabs.show();
        QVERIFY(tabs.tabRect(1).left() >= tabs.tabRect(0).right());

        QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(1).center());

        QCOMPARE(tabs.currentIndex(), 1);
        QCOMPARE(second->activations, 1);
        QTest::mouseClick(&tabs, Qt::LeftButton, {}, QPoint(590, 200));
        QCOMPARE(tabs.currentIndex(), 1);
    }

    void scrollAreaScrollsAPageLargerThanItself()
    {
        CScrollArea area(nullptr);
        auto* tabs = new CStandardTabControl(nullptr);
        auto* page = new CCountingPage(nullptr);
        page->setFixedSize(1150, 800);
        tabs->addTabWidget(QStringLiteral("境内市场交易日"), page, nullptr);
        tabs->setMinimumSize(page->size());
        area.setWidget(tabs);
        area.resize(600, 400);
        area.show();
        QVERIFY(area.verticalScrollBar()->maximum() > 0);
        QVERIFY(area.horizontalScrollBar()->maximum() > 0);

        area.resize(1400, 1000);
        QTRY_COMPARE(tabs->width(), 1400);
    }
};

QTEST_MAIN(TestTablesTabs)
#include "tst_tablestabs.moc"
