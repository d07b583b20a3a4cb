#include "../calendar/CCalendarUi.h"

#include "data/CTradeDateRecords.h"
#include "overseas/CTradingDayDialog.h"
#include "services/CItsmClientCenter.h"
#include "services/CUserManager.h"
#include "utils/CSingletonT.h"
#include "widgets/CSmallNormalButton.h"

#include "TestGuards.h"

#include <QtTest>

#include <memory>

using IMC::CTradingDayDialog;
using tds::CCalendarUi;

// Runs under a clock that starts at Friday 2027-01-15 10:00 (Shanghai): the base month is a January.
class TestTradingDayDialogJanuary : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        tds::failOnUnexpectedWarnings();
        QCOMPARE(QDate::currentDate(), QDate(2027, 1, 15));
        utils::CSingletonT<IMC::CUserManager>::instance()->resetForTests();
    }

    void init()
    {
        TradeDateMap days;
        IMC::CTradeDateRecords::putDay(days, "2026-12-31", 1);
        dialog.reset(new CTradingDayDialog(nullptr));
        dialog->setExchangeInfo(days, QStringLiteral("伦敦金属交易所"), QString(), 1);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }

    void cleanup() { dialog.reset(); }

    void januaryShowsTheEndOfDecemberBefore()
    {
        QCOMPARE(CCalendarUi::monthLabel(dialog.get()), QStringLiteral("2027年1月"));
        const QStringList dates = CCalendarUi::shownDates(dialog.get());
        QCOMPARE(dates.mid(0, 6), (QStringList{"2026-12-27", "2026-12-28", "2026-12-29", "2026-12-30",
                                               "2026-12-31", "2027-01-01"}));
        QVERIFY(!CCalendarUi::button(dialog.get(), QStringLiteral("今天"))->isEnabled());
    }

    void previousMonthIsDecemberOfTheYearBefore()
    {
        QVERIFY(CCalendarUi::clickButton(dialog.get(), QStringLiteral("<")));
        QCOMPARE(CCalendarUi::monthLabel(dialog.get()), QStringLiteral("2026年12月"));
        const QStringList dates = CCalendarUi::shownDates(dialog.get());
        QCOMPARE(dates.mid(0, 3), (QStringList{"2026-11-29", "2026-11-30", "2026-12-01"}));
        // The exchange's day in the past month shows, not editable.
        QCOMPARE(CCalendarUi::describe(CCalendarUi::cell(dialog.get(), "2026-12-31")), QStringLiteral("31"));
        QVERIFY(CCalendarUi::button(dialog.get(), QStringLiteral("今天"))->isEnabled());

        QVERIFY(CCalendarUi::clickButton(dialog.get(), QStringLiteral(">")));
        QCOMPARE(CCalendarUi::monthLabel(dialog.get()), QStringLiteral("2027年1月"));
        QVERIFY(!CCalendarUi::button(dialog.get(), QStringLiteral("今天"))->isEnabled());
    }

    void twelveStepsEitherWayMakeAYear_data()
    {
        QTest::addColumn<QString>("press");
        QTest::addColumn<QString>("label");
        QTest::newRow("twelve >") << ">"
                                  << "2028年1月";
        QTest::newRow("twelve <") << "<"
                                  << "2026年1月";
    }
    void twelveStepsEitherWayMakeAYear()
    {
        QFETCH(QString, press);
        QFETCH(QString, label);
        for (int i = 0; i < 12; ++i) {
            QVERIFY(CCalendarUi::clickButton(dialog.get(), press));
        }
        QCOMPARE(CCalendarUi::monthLabel(dialog.get()), label);
        QVERIFY(CCalendarUi::clickButton(dialog.get(), QStringLiteral("今天")));
        QCOMPARE(CCalendarUi::monthLabel(dialog.get()), QStringLiteral("2027年1月"));
    }

private:
    std::unique_ptr<CTradingDayDialog> dialog;
};

QTEST_MAIN(TestTradingDayDialogJanuary)
#include "tst_tradingdaydialog_jan.moc"
