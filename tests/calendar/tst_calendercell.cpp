#include "CCalendarUi.h"
#include "CEventRecorder.h"

#include "calendar/CCalenderCellWidget.h"
#include "widgets/CCheckBox.h"
#include "widgets/CMessageBoxScript.h"
#include "widgets/CSimpleTextWidget.h"
#include "widgets/CSmallNormalButton.h"

#include "TestGuards.h"

#include <QtTest>

#include <memory>

using IMC::CCalenderCellWidget;
using tds::CCalendarUi;
using tds::CEventRecorder;

// Runs under a clock that starts at 2026-08-12 10:00 (Shanghai): that day is "today".
class TestCalenderCell : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        tds::failOnUnexpectedWarnings();
        QCOMPARE(QDate::currentDate(), QDate(2026, 8, 12));
    }

    void init()
    {
        XP::CMessageBoxScript::reset();
        XP::CMessageBoxScript::enable(true);
        owner = std::make_unique<CEventRecorder>();
        owner->resize(400, 300);
        owner->show();
    }

    void cleanup()
    {
        owner.reset();
        XP::CMessageBoxScript::reset();
    }

    void showsWhatTheDayAllows_data()
    {
        QTest::addColumn<int>("market");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<bool>("hasTradeDay");
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("seen");

        QTest::newRow("domestic trading day, both sessions")
            << 0 << true << true << 3 << "20 trade X day* night*";
        QTest::newRow("domestic trading day, night only")
            << 0 << true << true << 2 << "20 trade X day night*";
        QTest::newRow("domestic trading day, no session") << 0 << true << true << 0 << "20 trade X day night";
        QTest::newRow("HK connect has no night box") << 1 << true << true << 3 << "20 trade X day*";
        QTest::newRow("electronic has no night box") << 3 << true << true << 1 << "20 trade X day*";
        QTest::newRow("overseas has no night box") << 4 << true << true << 3 << "20 trade X day*";
        QTest::newRow("HK connect night flag only") << 1 << true << true << 2 << "20 trade X day";
        QTest::newRow("editable, no trading day") << 0 << true << false << 0 << "20 +";
        QTest::newRow("editable, no trading day, stray flags") << 1 << true << false << 3 << "20 +";
        QTest::newRow("not editable, trading day") << 0 << false << true << 3 << "20";
        QTest::newRow("not editable, no trading day") << 3 << false << false << 0 << "20";
    }
    void showsWhatTheDayAllows()
    {
        QFETCH(int, market);
        QFETCH(bool, editable);
        QFETCH(bool, hasTradeDay);
        QFETCH(int, flags);
        QFETCH(QString, seen);

        CCalenderCellWidget* cell = makeCell(market, 2026, 8, 20, editable, hasTradeDay, flags);
        QCOMPARE(CCalendarUi::describe(cell), seen);
        QCOMPARE(CCalendarUi::cellDate(cell), QStringLiteral("2026-08-20"));
        // The boxes hold the record's sessions even while hidden.
        QCOMPARE(CCalendarUi::checkBox(cell, QStringLiteral("日盘"))->isChecked(), (flags & 1) != 0);
        QCOMPARE(CCalendarUi::checkBox(cell, QStringLiteral("夜盘"))->isChecked(), (flags & 2) != 0);
        QCOMPARE(cell->size(), QSize(160, 100));
        QVERIFY(owner->events().isEmpty());
    }

    void colourKeysMarkTodayAndPastDays_data()
    {
        QTest::addColumn<int>("day");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<QString>("dayNumberKey");
        QTest::addColumn<QString>("tradeDayKey");

        const QString warn = QStringLiteral("clr_global_warn");
        const QString hint = QStringLiteral("clr_lineedit_empty_hint");
        QTest::newRow("today, editable") << 12 << true << warn << warn;
        QTest::newRow("today, not editable: today wins") << 12 << false << warn << warn;
        QTest::newRow("yesterday, not editable") << 11 << false << hint << QString();
        QTest::newRow("tomorrow, editable") << 13 << true << QString() << QString();
    }
    void colourKeysMarkTodayAndPastDays()
    {
        QFETCH(int, day);
        QFETCH(bool, editable);
        QFETCH(QString, dayNumberKey);
        QFETCH(QString, tradeDayKey);

        CCalenderCellWidget plain(ttservice::EZR_MarketDomestic, owner.get());
        const QString defaultKey = CCalendarUi::text(&plain, QStringLiteral("1"))->colorKey();
        QVERIFY(defaultKey != QStringLiteral("clr_global_warn"));

        CCalenderCellWidget* cell = makeCell(0, 2026, 8, day, editable, true, 3);
        XP::CSimpleTextWidget* dayNumber = CCalendarUi::text(cell, QString::number(day));
        XP::CSimpleTextWidget* tradeDay = CCalendarUi::text(cell, QStringLiteral("交易日 "));
        QCOMPARE(dayNumber->colorKey(), dayNumberKey.isEmpty() ? defaultKey : dayNumberKey);
        QCOMPARE(tradeDay->colorKey(), tradeDayKey.isEmpty() ? defaultKey : tradeDayKey);
        QCOMPARE(tradeDay->getText(), QStringLiteral("交易日 2026-08-%1").arg(day, 2, 10, QLatin1Char('0')));
    }

    void plusMakesATradingDayWithTheMarketsSessions_data()
    {
        QTest::addColumn<int>("market");
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("seen");
        QTest::newRow("domestic") << 0 << 3 << "21 trade X day* night*";
        QTest::newRow("HK connect") << 1 << 1 << "21 trade X day*";
        QTest::newRow("electronic") << 3 << 1 << "21 trade X day*";
        QTest::newRow("overseas") << 4 << 1 << "21 trade X day*";
    }
    void plusMakesATradingDayWithTheMarketsSessions()
    {
        QFETCH(int, market);
        QFETCH(int, flags);
        QFETCH(QString, seen);

        CCalenderCellWidget* cell = makeCell(market, 2026, 8, 21, true, false, 0);
        QVERIFY(CCalendarUi::clickButton(cell, QStringLiteral("+")));

        QCOMPARE(CCalendarUi::describe(cell), seen);
        QCOMPARE(XP::CMessageBoxScript::calls().size(), 0); // adding asks nothing
        expectEvents({{3027, 0, flags, QStringLiteral("2026-08-21")}});
    }

    void switchingDayOffAndCancellingKeepsItOn()
    {
        CCalenderCellWidget* cell = makeCell(0, 2026, 8, 14, true, true, 3);
        XP::CMessageBoxScript::pushAnswer(QMessageBox::Cancel);

        QVERIFY(CCalendarUi::clickCheckBox(cell, QStringLiteral("日盘")));

        QCOMPARE(CCalendarUi::describe(cell), QStringLiteral("14 trade X day* night*"));
        expectQuestion(cell, QStringLiteral("确认取消日盘? "));
        expectEvents({{3027, 0, 3, QStringLiteral("2026-08-14")}}); // the unchanged sessions
    }

    void switchingNightOffAndConfirmingLeavesTheDaySession()
    {
        CCalenderCellWidget* cell = makeCell(0, 2026, 8, 14, true, true, 3);
        XP::CMessageBoxScript::pushAnswer(QMessageBox::Ok);

        QVERIFY(CCalendarUi::clickCheckBox(cell, QStringLiteral("夜盘")));

        QCOMPARE(CCalendarUi::describe(cell), QStringLiteral("14 trade X day* night"));
        expectQuestion(cell, QStringLiteral("确认取消夜盘? "));
        expectEvents({{3027, 0, 1, QStringLiteral("2026-08-14")}});
    }

    void switchingTheLastSessionOffKeepsTheDayWithoutSessions_data()
    {
        QTest::addColumn<int>("market");
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("param");
        QTest::addColumn<QString>("seen");
        QTest::newRow("HK connect, day box") << 1 << 1 << "日盘" << 1 << "17 trade X day";
        QTest::newRow("overseas, day box") << 4 << 1 << "日盘" << 1 << "17 trade X day";
        QTest::newRow("domestic, day box") << 0 << 1 << "日盘" << 0 << "17 trade X day night";
        QTest::newRow("domestic, night box") << 0 << 2 << "夜盘" << 0 << "17 trade X day night";
    }
    void switchingTheLastSessionOffKeepsTheDayWithoutSessions()
    {
        QFETCH(int, market);
        QFETCH(int, flags);
        QFETCH(QString, box);
        QFETCH(int, param);
        QFETCH(QString, seen);

        CCalenderCellWidget* cell = makeCell(market, 2026, 8, 17, true, true, flags);
        XP::CMessageBoxScript::pushAnswer(QMessageBox::Ok);

        QVERIFY(CCalendarUi::clickCheckBox(cell, box));

        QCOMPARE(CCalendarUi::describe(cell), seen); // the boxes stay, so a session can come back
        expectEvents({{3028, 1, param, QStringLiteral("2026-08-17")}});

        owner->clear();
        QVERIFY(CCalendarUi::clickCheckBox(cell, box)); // switching on asks nothing
        QCOMPARE(XP::CMessageBoxScript::calls().size(), 1);
        expectEvents({{3027, 0, flags, QStringLiteral("2026-08-17")}});
    }

    void switchingASessionOnAsksNothing()
    {
        CCalenderCellWidget* cell = makeCell(0, 2026, 8, 18, true, true, 1);
        QVERIFY(CCalendarUi::clickCheckBox(cell, QStringLiteral("夜盘")));
        QCOMPARE(CCalendarUi::describe(cell), QStringLiteral("18 trade X day* night*"));
        QCOMPARE(XP::CMessageBoxScript::calls().size(), 0);
        expectEvents({{3027, 0, 3, QStringLiteral("2026-08-18")}});
    }

    void deleteConfirmedRemovesTheTradingDay()
    {
        CCalenderCellWidget* cell = makeCell(0, 2026, 8, 19, true, true, 3);
        XP::CMessageBoxScript::pushAnswer(QMessageBox::Ok);

        QVERIFY(CCalendarUi::clickButton(cell, QStringLiteral("X")));

        QCOMPARE(CCalendarUi::describe(cell), QStringLiteral("19 +"));
        QVERIFY(!CCalendarUi::checkBox(cell, QStringLiteral("日盘"))->isChecked());
        QVERIFY(!CCalendarUi::checkBox(cell, QStringLiteral("夜盘"))->isChecked());
        expectQuestion(cell, QStringLiteral("确认删除? "));
        expectEvents({{3028, 0, 0, QStringLiteral("2026-08-19")}});

        owner->clear();
        QVERIFY(CCalendarUi::clickButton(cell, QStringLiteral("+"))); // and it can be added again
        expectEvents({{3027, 0, 3, QStringLiteral("2026-08-19")}});
    }

    void deleteCancelledChangesNothing()
    {
        CCalenderCellWidget* cell = makeCell(1, 2026, 8, 19, true, true, 1);
        XP::CMessageBoxScript::pushAnswer(QMessageBox::Cancel);

        QVERIFY(CCalendarUi::clickButton(cell, QStringLiteral("X")));

        QCOMPARE(CCalendarUi::describe(cell), QStringLiteral("19 trade X day*"));
        expectQuestion(cell, QStringLiteral("确认删除? "));
        QVERIFY(owner->events().isEmpty());
    }

    // Events of the cell's own controls end at the cell; unknown ones change nothing.
    void consumesEveryEventOfItsControls()
    {
        CCalenderCellWidget* cell = makeCell(0, 2026, 8, 24, true, true, 3);
        XP::CSmallNormalButton stranger(99, false, 1, cell);
        QVERIFY(stranger.deliverEvent(5, 99, 0, QString(), nullptr));
        QVERIFY(stranger.deliverEvent(1234, 0, 0, QStringLiteral("x"), nullptr));
        QCOMPARE(CCalendarUi::describe(cell), QStringLiteral("24 trade X day* night*"));
        QVERIFY(owner->events().isEmpty());

        // A toggle from any other box only reports the sessions as they are.
        QVERIFY(stranger.deliverEvent(66, 7, 0, QString(), nullptr));
        QCOMPARE(XP::CMessageBoxScript::calls().size(), 0);
        expectEvents({{3027, 0, 3, QStringLiteral("2026-08-24")}});
    }

private:
    struct SExpected
    {
        int type;
        int id;
        int param;
        QString text;
    };

    CCalenderCellWidget* makeCell(int market, int year, int month, int day, bool editable, bool hasTradeDay,
                                  int flags)
    {
        auto* cell = new CCalenderCellWidget(static_cast<ttservice::EZRMarketType>(market), owner.get());
        cell->setBasicInfo(year, month, day, editable, hasTradeDay, flags);
        cell->show();
        return cell;
    }

    void expectEvents(const QList<SExpected>& expected)
    {
        const QList<CEventRecorder::SEvent>& events = owner->events();
        QCOMPARE(events.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            QCOMPARE(events.at(i).type, expected.at(i).type);
            QCOMPARE(events.at(i).id, expected.at(i).id);
            QCOMPARE(events.at(i).param, expected.at(i).param);
            QCOMPARE(events.at(i).text, expected.at(i).text);
            QVERIFY(!events.at(i).hasData);
        }
    }

    void expectQuestion(QWidget* cell, const QString& text)
    {
        const QList<XP::CMessageBoxCall> calls = XP::CMessageBoxScript::calls();
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls.first().kind, QStringLiteral("question"));
        QCOMPARE(calls.first().parent.data(), cell);
        QCOMPARE(calls.first().title, QStringLiteral("操作提示"));
        QCOMPARE(calls.first().text, text);
        QCOMPARE(calls.first().buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(calls.first().defaultButton, QMessageBox::NoButton);
    }

    std::unique_ptr<CEventRecorder> owner;
};

QTEST_MAIN(TestCalenderCell)
#include "tst_calendercell.moc"
