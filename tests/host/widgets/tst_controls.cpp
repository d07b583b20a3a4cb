#include "CModalDriver.h"
#include "TestGuards.h"

#include "widgets/CBaseTabPage.h"
#include "widgets/CBaseWidget.h"
#include "widgets/CCheckBox.h"
#include "widgets/CMessageBox.h"
#include "widgets/CMessageBoxScript.h"
#include "widgets/CSimpleTextWidget.h"
#include "widgets/CSmallNormalButton.h"
#include "widgets/CStandardSimpleTable.h"
#include "widgets/CStandardTabControl.h"
#include "widgets/CUiResource.h"
#include "widgets/CWidgetList.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QSet>
#include <QtTest>

using namespace XP;

namespace {

// Writes down the widgets the application style is asked to polish.
class CPolishRecordingStyle : public QProxyStyle
{
public:
    void polish(QWidget* widget) override
    {
        polished.append(widget);
        QProxyStyle::polish(widget);
    }
    using QProxyStyle::polish;
    QList<QWidget*> polished;
};

// A page that writes "name+" into the log when activated and "name-" when deactivated.
class CLoggingPage : public CBaseWidget
{
public:
    CLoggingPage(const QString& name, QStringList& log)
        : CBaseWidget(name, false, nullptr)
        , log(log)
    {}
    void onActive() override { log << objectName() + QLatin1Char('+'); }
    void onDeactive() override { log << objectName() + QLatin1Char('-'); }
    QStringList& log;
};

QColor theme(const char* key)
{
    return CUiResource::instance()->getColor(QString::fromLatin1(key));
}

// The month table as the calendar shapes it: 6 rows of 7 columns 153 wide, rows 100 high, under a header.
void shapeMonthTable(CStandardSimpleTable& table)
{
    table.setColumnCount(7);
    table.setRowCount(6);
    table.setItemHeight(100);
    for (int column = 0; column < 7; ++column) {
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

class TestControls : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }
    void cleanup() { CMessageBoxScript::reset(); }

    void themeKnowsEveryColourThePanelUses()
    {
        QSet<QRgb> colours;
        for (const char* key : {"clr_default", "clr_table_background", "clr_table_background2",
                                "clr_lineedit_empty_hint", "clr_global_warn"}) {
            QVERIFY2(theme(key) != theme("clr_no_such_key"), key);
            colours.insert(theme(key).rgb());
        }
        QCOMPARE(colours.size(), 5);
    }

    void themeDrawnWidgetsAreNotPolishedByTheStyle()
    {
        CPolishRecordingStyle style;
        CBaseWidget base(QStringLiteral("base"), false, nullptr);
        auto* edit = new QLineEdit(&base);
        const QList<QWidget*> themed{&base, new CWidgetList(Qt::Vertical, &base),
                                     new CSimpleTextWidget(false, 0, QStringLiteral("交易日 "), &base),
                                     new CSmallNormalButton(11, false, 1, &base),
                                     new CCheckBox(0, QString(), QStringLiteral("日盘"), &base)};
        for (QWidget* w : themed + QList<QWidget*>{edit}) {
            w->setStyle(&style);
        }
        base.show();

        // A Qt control still gets its style; the theme's own widgets are polished without it.
        QVERIFY(style.polished.contains(edit));
        for (QWidget* w : themed) {
            QVERIFY(!style.polished.contains(w));
            QVERIFY(w->testAttribute(Qt::WA_WState_Polished));
        }
    }

    void itemWidgetShowsAtItsCell_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<bool>("fixed");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("centred fixed cell")
            << 1 << 2 << int(eAlignCenter) << true << QRect(303, 130, 160, 100);
        QTest::newRow("filling free widget")
            << 4 << 6 << int(eAlignFill) << false << QRect(918, 430, 153, 100);
    }

    void itemWidgetShowsAtItsCell()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(int, alignment);
        QFETCH(bool, fixed);
        QFETCH(QRect, expected);
        CStandardSimpleTable table(0, nullptr);
        shapeMonthTable(table);
        table.show();
        QWidget* widget = fixed ? cellWidget() : new QWidget;

        table.setItemWidget(row, column, widget, alignment, true);

        QCOMPARE(table.itemWidget(row, column), widget);
        QCOMPARE(widget->geometry(), expected);
        QVERIFY(widget->isVisible());
    }

    void replacedAndCutOffItemWidgetsAreDestroyed()
    {
        CStandardSimpleTable table(0, nullptr);
        shapeMonthTable(table);
        QPointer<QWidget> replaced = cellWidget();
        QPointer<QWidget> lastRow = cellWidget();
        QWidget* kept = cellWidget();
        QWidget* after = cellWidget();
        table.setItemWidget(0, 0, replaced, eAlignCenter, true);
        table.setItemWidget(5, 6, lastRow, eAlignCenter, true);
        table.setItemWidget(1, 1, kept, eAlignCenter, true);
        table.setItemWidget(6, 0, after, eAlignCenter, true);
        QVERIFY(!after->parentWidget()); // no such row

        table.setItemWidget(0, 0, after, eAlignCenter, true);
        table.setRowCount(5);
        table.setColumnWidth(0, 200);

        QVERIFY(replaced.isNull() && lastRow.isNull());
        QCOMPARE(table.itemWidget(0, 0), after);
        QCOMPARE(kept->pos(), QPoint(200 + (153 - 160) / 2, 130));
        delete kept;
        QVERIFY(!table.itemWidget(1, 1));
    }

    void activatingATabCallsOnActiveAndOnDeactive()
    {
        QStringList log;
        CStandardTabControl tabs(nullptr);
        auto* first = new CLoggingPage(QStringLiteral("first"), log);
        auto* second = new CLoggingPage(QStringLiteral("second"), log);
        tabs.addTabWidget(QStringLiteral("境内市场交易日"), first, nullptr);
        tabs.addTabWidget(QStringLiteral("境外交易日 "), second, nullptr);
        tabs.resize(600, 400);
        tabs.show();
        QCOMPARE(tabs.getTabPage(1)->page(), second);
        QVERIFY(first->isVisible() && !second->isVisible() && log.isEmpty()); // shown, not activated

        tabs.activateTab(0);
        tabs.activateTab(1);
        tabs.activateTab(5);
        QVERIFY(!first->isVisible() && second->isVisible());
        QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(0).center());

        QCOMPARE(log, (QStringList{"first+", "first-", "second+", "second-", "first+"}));
        QVERIFY(first->isVisible() && !second->isVisible());
    }

    void scriptAnswersInOrderThenByDefault_data()
    {
        QTest::addColumn<QList<int>>("pushed");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("defaultButton");
        QTest::addColumn<QList<int>>("answers");
        const int okCancel = QMessageBox::Ok | QMessageBox::Cancel;
        QTest::newRow("pushed answers in order")
            << QList<int>{QMessageBox::Cancel, QMessageBox::No} << okCancel << int(QMessageBox::Ok)
            << QList<int>{QMessageBox::Cancel, QMessageBox::No};
        QTest::newRow("default button") << QList<int>{} << okCancel << int(QMessageBox::Cancel)
                                        << QList<int>{QMessageBox::Cancel, QMessageBox::Ok};
    }

    void scriptAnswersInOrderThenByDefault()
    {
        QFETCH(QList<int>, pushed);
        QFETCH(int, buttons);
        QFETCH(int, defaultButton);
        QFETCH(QList<int>, answers);
        CMessageBoxScript::enable(true);
        for (int answer : pushed) {
            CMessageBoxScript::pushAnswer(QMessageBox::StandardButton(answer));
        }

        const QList<int> given{
            CMessageBox::question(nullptr, QStringLiteral("操作提示"), QStringLiteral("确认删除? "),
                                  QMessageBox::StandardButtons(buttons),
                                  QMessageBox::StandardButton(defaultButton)),
            CMessageBox::information(nullptr, QStringLiteral("提示"), QStringLiteral("未选择文件"))};

        QCOMPARE(given, answers);
        QCOMPARE(CMessageBoxScript::calls().size(), 2);
    }

    void realBoxIsModalAndAnswersThePressedButton()
    {
        tds::TopLevelWidgetGuard guard;
        QWidget parent;
        QString shown;
        tds::CModalDriver driver;
        driver.arm([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            shown = box->windowTitle() + QLatin1Char('|') + box->text();
            QTest::mouseClick(box->button(QMessageBox::Cancel), Qt::LeftButton);
        });

        const auto pressed =
            CMessageBox::question(&parent, QStringLiteral("操作提示"), QStringLiteral("确认取消日盘? "),
                                  QMessageBox::Ok | QMessageBox::Cancel);

        QCOMPARE(pressed, QMessageBox::Cancel);
        QCOMPARE(shown, QStringLiteral("操作提示|确认取消日盘? "));
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
