#include "data/CTradeDateRecords.h"
#include "data/TradingDayTypes.h"

#include "TestGuards.h"

#include <QtTest>

using IMC::CTradeDateRecords;

class TestTradeRecords : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void dateTextPadsMonthAndDay()
    {
        QCOMPARE(CTradeDateRecords::dateText(2026, 8, 1), QStringLiteral("2026-08-01"));
        QCOMPARE(CTradeDateRecords::dateText(2027, 11, 9), QStringLiteral("2027-11-09"));
    }

    void dayRecordCarriesTheDateInEveryField()
    {
        const auto day = CTradeDateRecords::makeDay("2026-08-01", 3);
        QCOMPARE(day->date, std::string("2026-08-01"));
        QCOMPARE(day->tradeDate, std::string("2026-08-01"));
        QCOMPARE(day->sessionFlags, 3);
        QVERIFY(day->valid);
        QCOMPARE(day->description, std::string("交易日 2026-08-01"));
    }

    void puttingADayReplacesItsRecordWithoutChangingTheOldOne()
    {
        TradeDateMap map;
        CTradeDateRecords::putDay(map, "2026-08-03", 1);
        CTradeDateRecords::putDay(map, "2026-08-04", 1);
        const auto shared = map.at("2026-08-03"); // as if still held by the last answer
        CTradeDateRecords::putDay(map, "2026-08-03", 3);
        QCOMPARE(map.size(), std::size_t(2));
        QCOMPARE(map.at("2026-08-03")->description, std::string("交易日 2026-08-03"));
        QCOMPARE(shared->sessionFlags, 1);

        bool found = false;
        QCOMPARE(CTradeDateRecords::sessionFlagsOf(map, "2026-08-03", &found), 3);
        QVERIFY(found);
        CTradeDateRecords::removeDay(map, "2026-08-03");
        QCOMPARE(CTradeDateRecords::sessionFlagsOf(map, "2026-08-03", &found), 0);
        QVERIFY(!found);
        QCOMPARE(map.size(), std::size_t(1));
    }

    void onlyTheDomesticMarketDefaultsToBothSessions()
    {
        QCOMPARE(IMC::TradingDay::defaultSessionFlags(0), 3);
        for (int market : {1, 2, 3, 4}) {
            QCOMPARE(IMC::TradingDay::defaultSessionFlags(market), 1);
        }
    }
};

QTEST_GUILESS_MAIN(TestTradeRecords)
#include "tst_traderecords.moc"
