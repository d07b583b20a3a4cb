#include "TestGuards.h"

#include "records/CItsmInstrumentDetail.h"
#include "records/CItsmPlatformInfo.h"
#include "records/CItsmTypedMarketTradeDate.h"
#include "services/CMemoryTradingDayBackend.h"

#include <QTest>

#include <boost/make_shared.hpp>

#include <set>

namespace {

typedef std::vector<boost::shared_ptr<ttservice::IData>> Records;

boost::shared_ptr<ttservice::CItsmMarketTradeDateInfo> makeDay(const std::string& date, int flags)
{
    auto day = boost::make_shared<ttservice::CItsmMarketTradeDateInfo>();
    day->date = date;
    day->sessionFlags = flags;
    day->valid = true;
    day->description = "交易日 " + date;
    day->tradeDate = date;
    return day;
}

TradeDateMap makeDays(std::initializer_list<std::string> dates, int flags = 3)
{
    TradeDateMap days;
    for (const std::string& date : dates) {
        days[date] = makeDay(date, flags);
    }
    return days;
}

ttservice::CItsmQueryDataReq makeQuery(const std::string& market, const std::string& platform = std::string())
{
    ttservice::CItsmQueryDataReq query;
    query.dataType = 12306;
    query.marketParam = market;
    query.platformParam = platform;
    return query;
}

boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate>
makeTyped(int marketType, const TradeDateMap& days, const std::string& exchangeName = std::string())
{
    auto typed = boost::make_shared<ttservice::CItsmTypedMarketTradeDate>();
    typed->marketType = marketType;
    typed->tradeDates = days;
    typed->exchangeName = exchangeName;
    if (!exchangeName.empty()) {
        typed->exchangeCode = exchangeName + "-code";
        typed->trackId = 2;
    }
    return typed;
}

ttservice::COperateDataReq makeOperation(int operation, const boost::shared_ptr<ttservice::IData>& record,
                                         const std::string& platform = std::string())
{
    ttservice::COperateDataReq request;
    request.dataType = 12306;
    request.operation = operation;
    request.records.push_back(record);
    request.platformParam = platform;
    return request;
}

std::set<std::string> datesOf(const TradeDateMap& days)
{
    std::set<std::string> dates;
    for (const auto& entry : days) {
        dates.insert(entry.first);
    }
    return dates;
}

boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate>
answeredMarket(IMC::CMemoryTradingDayBackend& backend, const std::string& market,
               const std::string& platform = std::string())
{
    Records records;
    const utils::TTError error = backend.query(makeQuery(market, platform), records);
    if (!error.isSuccess() || records.size() != 1) {
        return {};
    }
    return boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(records.front());
}

std::vector<std::string> exchangeNamesOf(const Records& records)
{
    std::vector<std::string> names;
    for (const auto& record : records) {
        names.push_back(
            boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(record)->exchangeName);
    }
    return names;
}

} // namespace

Q_DECLARE_METATYPE(ttservice::COperateDataReq)
Q_DECLARE_METATYPE(ttservice::CItsmQueryDataReq)

class TestMemoryBackend : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void marketWithoutDaysAnswersAnEmptyMap_data()
    {
        QTest::addColumn<QString>("market");
        QTest::addColumn<QString>("platform");
        QTest::addColumn<int>("marketType");
        QTest::newRow("domestic") << "0"
                                  << "" << 0;
        QTest::newRow("hk connect") << "1"
                                    << "" << 1;
        QTest::newRow("reserved") << "2"
                                  << "" << 2;
        QTest::newRow("futures platform") << "3"
                                          << "14" << 3;
        QTest::newRow("rates platform") << "3"
                                        << "15" << 3;
    }

    void marketWithoutDaysAnswersAnEmptyMap()
    {
        QFETCH(QString, market);
        QFETCH(QString, platform);
        QFETCH(int, marketType);
        IMC::CMemoryTradingDayBackend backend;
        auto typed = answeredMarket(backend, market.toStdString(), platform.toStdString());
        QVERIFY(typed);
        QCOMPARE(typed->marketType, marketType);
        QVERIFY(typed->tradeDates.empty());
    }

    void savingReplacesTheWholeSet()
    {
        IMC::CMemoryTradingDayBackend backend;
        backend.setMarketDays(0, makeDays({"2026-08-03", "2026-08-04"}));
        const auto request = makeOperation(1, makeTyped(0, makeDays({"2026-09-01"}, 1)));
        QVERIFY(backend.operate(request, "alice").isSuccess());

        auto typed = answeredMarket(backend, "0");
        QVERIFY(typed);
        QCOMPARE(datesOf(typed->tradeDates), std::set<std::string>{"2026-09-01"});
        QCOMPARE(typed->tradeDates.at("2026-09-01")->sessionFlags, 1);
        QCOMPARE(typed->tradeDates.at("2026-09-01")->description, std::string("交易日 2026-09-01"));
    }

    void savingAnEmptyMapClearsTheMarket()
    {
        IMC::CMemoryTradingDayBackend backend;
        backend.setMarketDays(1, makeDays({"2026-08-03"}));
        QVERIFY(backend.operate(makeOperation(1, makeTyped(1, {})), "alice").isSuccess());
        QVERIFY(backend.marketDays(1).empty());
    }

    void marketsAndPlatformsAreKeptApart()
    {
        IMC::CMemoryTradingDayBackend backend;
        QVERIFY(
            backend.operate(makeOperation(1, makeTyped(3, makeDays({"2026-08-03"})), "14"), "a").isSuccess());
        QVERIFY(
            backend.operate(makeOperation(1, makeTyped(3, makeDays({"2026-08-04"})), "15"), "a").isSuccess());
        QVERIFY(backend.operate(makeOperation(1, makeTyped(0, makeDays({"2026-08-05"}))), "a").isSuccess());

        QCOMPARE(datesOf(answeredMarket(backend, "3", "14")->tradeDates),
                 std::set<std::string>{"2026-08-03"});
        QCOMPARE(datesOf(answeredMarket(backend, "3", "15")->tradeDates),
                 std::set<std::string>{"2026-08-04"});
        QCOMPARE(datesOf(answeredMarket(backend, "0")->tradeDates), std::set<std::string>{"2026-08-05"});
        QVERIFY(answeredMarket(backend, "1")->tradeDates.empty());
    }

    void answersShareNothingWithTheStore()
    {
        IMC::CMemoryTradingDayBackend backend;
        backend.setMarketDays(0, makeDays({"2026-08-03"}));
        auto first = answeredMarket(backend, "0");
        first->tradeDates.at("2026-08-03")->sessionFlags = 0;
        first->tradeDates.clear();
        QCOMPARE(answeredMarket(backend, "0")->tradeDates.at("2026-08-03")->sessionFlags, 3);
    }

    void overseasExchangesAreCreatedReplacedAndDeleted()
    {
        IMC::CMemoryTradingDayBackend backend;
        QVERIFY(backend.operate(makeOperation(1, makeTyped(4, {}, "CME"), "WP"), "a").isSuccess());
        QVERIFY(backend.operate(makeOperation(1, makeTyped(4, {}, "LME"), "WP"), "a").isSuccess());
        auto replaced = makeTyped(4, makeDays({"2026-08-03"}), "CME");
        replaced->trackId = 5;
        QVERIFY(backend.operate(makeOperation(1, replaced, "WP"), "a").isSuccess());

        Records records;
        QVERIFY(backend.query(makeQuery("4", "WP"), records).isSuccess());
        QCOMPARE(exchangeNamesOf(records), (std::vector<std::string>{"CME", "LME"}));
        auto cme = boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(records.front());
        QCOMPARE(cme->trackId, 5);
        QCOMPARE(datesOf(cme->tradeDates), std::set<std::string>{"2026-08-03"});

        QVERIFY(backend.operate(makeOperation(3, makeTyped(4, {}, "CME"), "WP"), "a").isSuccess());
        records.clear();
        QVERIFY(backend.query(makeQuery("4", "WP"), records).isSuccess());
        QCOMPARE(exchangeNamesOf(records), std::vector<std::string>{"LME"});
        QCOMPARE(backend.typedRecords().size(), std::size_t(1));
    }

    void badOperationsFailClearlyAndChangeNothing_data()
    {
        QTest::addColumn<ttservice::COperateDataReq>("request");
        QTest::addColumn<QString>("text");

        const auto domestic = makeTyped(0, makeDays({"2026-10-01"}));
        auto wrongKind = makeOperation(1, domestic);
        wrongKind.dataType = 12262;
        QTest::newRow("data kind") << wrongKind << "不支持的数据类型: 12262";
        QTest::newRow("operation") << makeOperation(2, domestic) << "不支持的操作类型: 2";
        auto noRecord = makeOperation(1, domestic);
        noRecord.records.clear();
        QTest::newRow("no record") << noRecord << "操作请求中没有记录";
        auto twoRecords = makeOperation(1, domestic);
        twoRecords.records.push_back(domestic);
        QTest::newRow("two records") << twoRecords << "操作请求只能包含一条记录";
        QTest::newRow("wrong record type")
            << makeOperation(1, boost::make_shared<ttservice::CItsmPlatformInfo>())
            << "操作请求中的记录不是市场交易日记录";
        QTest::newRow("null record") << makeOperation(1, nullptr) << "操作请求中的记录不是市场交易日记录";
        auto nullDay = makeTyped(0, makeDays({"2026-10-01"}));
        nullDay->tradeDates["2026-10-02"].reset();
        QTest::newRow("null day") << makeOperation(1, nullDay) << "交易日 2026-10-02 的记录为空";
        QTest::newRow("unknown market") << makeOperation(1, makeTyped(9, {})) << "不支持的市场类型: 9";
        QTest::newRow("electronic without platform")
            << makeOperation(1, makeTyped(3, {})) << "电子盘市场需要平台参数 14 或 15, 收到: ";
        QTest::newRow("delete on a calendar market") << makeOperation(3, domestic) << "只能删除境外交易所";
        QTest::newRow("delete unknown exchange")
            << makeOperation(3, makeTyped(4, {}, "SGX"), "WP") << "交易所 SGX 不存在";
        QTest::newRow("exchange without name")
            << makeOperation(1, makeTyped(4, {}), "WP") << "交易所名称不能为空";
        QTest::newRow("exchange without WP")
            << makeOperation(1, makeTyped(4, {}, "SGX"), "14") << "境外市场的平台参数应为 WP, 收到: 14";
    }

    void badOperationsFailClearlyAndChangeNothing()
    {
        QFETCH(ttservice::COperateDataReq, request);
        QFETCH(QString, text);
        IMC::CMemoryTradingDayBackend backend;
        backend.setMarketDays(0, makeDays({"2026-08-03"}));
        backend.setTypedRecords({makeTyped(4, {}, "CME")});

        const utils::TTError error = backend.operate(request, "alice");
        QVERIFY(!error.isSuccess());
        QCOMPARE(QString::fromStdString(error.errorMsg()), text);
        QCOMPARE(datesOf(backend.marketDays(0)), std::set<std::string>{"2026-08-03"});
        QCOMPARE(backend.typedRecords().size(), std::size_t(1));
        QCOMPARE(backend.receivedOperations().size(), std::size_t(1));
    }

    void badQueriesFailClearly_data()
    {
        QTest::addColumn<ttservice::CItsmQueryDataReq>("request");
        QTest::addColumn<QString>("text");
        auto wrongKind = makeQuery("0");
        wrongKind.dataType = 12482;
        QTest::newRow("data kind") << wrongKind << "不支持的数据类型: 12482";
        QTest::newRow("unknown market") << makeQuery("5") << "不支持的市场类型: 5";
        QTest::newRow("market not a number") << makeQuery("domestic") << "不支持的市场类型: domestic";
        QTest::newRow("empty market") << makeQuery("") << "不支持的市场类型: ";
        QTest::newRow("electronic platform")
            << makeQuery("3", "16") << "电子盘市场需要平台参数 14 或 15, 收到: 16";
        QTest::newRow("overseas platform") << makeQuery("4") << "境外市场的平台参数应为 WP, 收到: ";
    }

    void badQueriesFailClearly()
    {
        QFETCH(ttservice::CItsmQueryDataReq, request);
        QFETCH(QString, text);
        IMC::CMemoryTradingDayBackend backend;
        Records records;
        const utils::TTError error = backend.query(request, records);
        QVERIFY(!error.isSuccess());
        QCOMPARE(QString::fromStdString(error.errorMsg()), text);
        QVERIFY(records.empty());
    }

    void failNextFailsOnlyTheNextRequest_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("with text") << "数据库连接中断";
        QTest::newRow("without text") << "";
    }

    void failNextFailsOnlyTheNextRequest()
    {
        QFETCH(QString, text);
        IMC::CMemoryTradingDayBackend backend;
        backend.failNext(text.toStdString());
        const utils::TTError failed =
            backend.operate(makeOperation(1, makeTyped(0, makeDays({"2026-08-03"}))), "a");
        QVERIFY(!failed.isSuccess());
        QCOMPARE(QString::fromStdString(failed.errorMsg()), text);
        QVERIFY(backend.marketDays(0).empty());
        QVERIFY(answeredMarket(backend, "0"));
    }

    void referenceDataIsSeeded()
    {
        IMC::CMemoryTradingDayBackend backend;
        backend.seedReferenceData();

        std::set<int> trackIds;
        for (const std::string kind : {"14", "15"}) {
            Records tracks;
            QVERIFY(backend.queryReference(12262, kind, tracks).isSuccess());
            QVERIFY(tracks.size() >= 2);
            for (const auto& record : tracks) {
                auto track = boost::dynamic_pointer_cast<ttservice::CItsmPlatformInfo>(record);
                QVERIFY(track);
                QVERIFY(!track->platformName.empty());
                QVERIFY(trackIds.insert(track->platformId).second);
            }
        }

        Records instruments;
        QVERIFY(backend.queryReference(12482, "", instruments).isSuccess());
        std::map<std::string, std::string> exchanges;
        for (const auto& record : instruments) {
            auto instrument = boost::dynamic_pointer_cast<ttservice::CItsmInstrumentDetail>(record);
            QVERIFY(instrument && instrument->detail);
            exchanges[instrument->detail->exchangeCode] = instrument->detail->exchangeName;
        }
        QCOMPARE(exchanges.size(), std::size_t(10));
        QVERIFY(instruments.size() > exchanges.size());
        QCOMPARE(exchanges.at("COMEX"), std::string("纽约商品交易所"));
        QCOMPARE(exchanges.at("Eurex"), std::string("欧洲期货交易所"));
    }

    void referenceDataCanBeReplaced()
    {
        IMC::CMemoryTradingDayBackend backend;
        backend.seedReferenceData();
        auto track = boost::make_shared<ttservice::CItsmPlatformInfo>();
        track->platformId = 42;
        track->platformName = "新赛道";
        backend.setTracks("15", {track});
        backend.setInstruments({});
        track->platformName = "changed after handing in";

        Records tracks;
        QVERIFY(backend.queryReference(12262, "15", tracks).isSuccess());
        QCOMPARE(tracks.size(), std::size_t(1));
        auto answered = boost::dynamic_pointer_cast<ttservice::CItsmPlatformInfo>(tracks.front());
        QCOMPARE(answered->platformId, 42);
        QCOMPARE(answered->platformName, std::string("新赛道"));
        Records futuresTracks;
        QVERIFY(backend.queryReference(12262, "14", futuresTracks).isSuccess());
        QVERIFY(!futuresTracks.empty());
        Records instruments;
        QVERIFY(backend.queryReference(12482, "", instruments).isSuccess());
        QVERIFY(instruments.empty());
    }

    void badReferenceQueriesFailClearly_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("param");
        QTest::addColumn<QString>("text");
        QTest::newRow("track kind") << 12262 << "16"
                                    << "不支持的赛道平台类型: 16";
        QTest::newRow("track kind missing") << 12262 << ""
                                            << "不支持的赛道平台类型: ";
        QTest::newRow("data kind") << 12306 << "14"
                                   << "不支持的数据类型: 12306";
    }

    void badReferenceQueriesFailClearly()
    {
        QFETCH(int, kind);
        QFETCH(QString, param);
        QFETCH(QString, text);
        IMC::CMemoryTradingDayBackend backend;
        backend.seedReferenceData();
        Records records;
        const utils::TTError error = backend.queryReference(kind, param.toStdString(), records);
        QVERIFY(!error.isSuccess());
        QCOMPARE(QString::fromStdString(error.errorMsg()), text);
        QVERIFY(records.empty());
    }

    void receivedRequestsAreKeptInOrder()
    {
        IMC::CMemoryTradingDayBackend backend;
        Records records;
        backend.query(makeQuery("0"), records);
        backend.operate(makeOperation(1, makeTyped(0, makeDays({"2026-08-03"}))), "alice");
        backend.query(makeQuery("3", "15"), records);
        backend.operate(makeOperation(3, makeTyped(4, {}, "CME"), "WP"), "bob");
        backend.queryReference(12262, "14", records);

        const auto queries = backend.receivedQueries();
        QCOMPARE(queries.size(), std::size_t(2));
        QVERIFY(queries[0].isEqual(makeQuery("0")));
        QVERIFY(queries[1].isEqual(makeQuery("3", "15")));
        const auto operations = backend.receivedOperations();
        QCOMPARE(operations.size(), std::size_t(2));
        QCOMPARE(operations[0].operatorName, std::string("alice"));
        QCOMPARE(operations[0].request->operation, 1);
        QCOMPARE(operations[1].operatorName, std::string("bob"));
        QCOMPARE(operations[1].request->operation, 3);
        const auto references = backend.receivedReferenceQueries();
        QCOMPARE(references.size(), std::size_t(1));
        QCOMPARE(references[0].dataKind, 12262);
        QCOMPARE(references[0].queryParam, std::string("14"));

        backend.clearReceived();
        QVERIFY(backend.receivedQueries().empty());
        QVERIFY(backend.receivedOperations().empty());
        QVERIFY(backend.receivedReferenceQueries().empty());
    }
};

QTEST_GUILESS_MAIN(TestMemoryBackend)
#include "tst_memorybackend.moc"
