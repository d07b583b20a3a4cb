#include "data/CTradeDateRecords.h"
#include "data/CTradeDateRequests.h"
#include "data/TradingDayTypes.h"

#include "TestGuards.h"

#include <boost/pointer_cast.hpp>

#include <QtTest>

using IMC::CTradeDateRecords;
using IMC::CTradeDateRequests;

class TestTradeRecords : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void dayRecordCarriesDateInEveryField()
    {
        const auto day = CTradeDateRecords::makeDay("2026-08-01", 3);
        QCOMPARE(day->date, std::string("2026-08-01"));
        QCOMPARE(day->tradeDate, std::string("2026-08-01"));
        QCOMPARE(day->sessionFlags, 3);
        QVERIFY(day->valid);
        QCOMPARE(day->description, std::string("交易日 2026-08-01"));
        QCOMPARE(CTradeDateRecords::dateText(2026, 8, 1), QStringLiteral("2026-08-01"));
        QCOMPARE(CTradeDateRecords::dateText(812, 12, 31), QStringLiteral("812-12-31"));
    }

    void puttingADayReplacesWithoutTouchingTheOldRecord()
    {
        TradeDateMap map;
        CTradeDateRecords::putDay(map, "2026-08-03", 1);
        const auto shared = map.at("2026-08-03"); // as if still held by the last answer
        CTradeDateRecords::putDay(map, "2026-08-03", 3);
        QCOMPARE(map.size(), std::size_t(1));
        QCOMPARE(map.at("2026-08-03")->sessionFlags, 3);
        QCOMPARE(shared->sessionFlags, 1);

        bool found = true;
        CTradeDateRecords::removeDay(map, "2026-08-03");
        QCOMPARE(CTradeDateRecords::sessionFlagsOf(map, "2026-08-03", &found), 0);
        QVERIFY(!found);
    }

    void requestsCarryKindMarketAndPlatform()
    {
        const auto domestic = CTradeDateRequests::makeQuery(0, "");
        QCOMPARE(domestic->dataType, 12306);
        QCOMPARE(domestic->marketParam, std::string("0"));
        QCOMPARE(domestic->platformParam, std::string());
        const auto overseas = CTradeDateRequests::makeQuery(4, IMC::TradingDay::OverseasPlatformParam);
        QCOMPARE(overseas->marketParam, std::string("4"));
        QCOMPARE(overseas->platformParam, std::string("WP"));

        // Saving an empty map still sends exactly one typed record.
        const auto record = CTradeDateRequests::makeTypedRecord(3, TradeDateMap());
        const auto save = CTradeDateRequests::makeOperation(1, record, "15");
        QCOMPARE(save->dataType, 12306);
        QCOMPARE(save->operation, 1);
        QCOMPARE(save->platformParam, std::string("15"));
        QCOMPARE(save->records.size(), std::size_t(1));
        const auto typed =
            boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(save->records.front());
        QVERIFY(typed);
        QCOMPARE(typed->marketType, 3);
        QVERIFY(typed->tradeDates.empty());
    }

    void defaultSessionsOnlyDomesticHasNight()
    {
        QCOMPARE(IMC::TradingDay::defaultSessionFlags(0), 3);
        for (int market : {1, 2, 3, 4}) {
            QCOMPARE(IMC::TradingDay::defaultSessionFlags(market), 1);
        }
    }
};

QTEST_GUILESS_MAIN(TestTradeRecords)
#include "tst_traderecords.moc"
