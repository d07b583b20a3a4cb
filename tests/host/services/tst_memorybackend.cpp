// What the memory back end offers beyond the back-end contract: the seams page tests use to seed it,
// fail it and read what it received.
#include "TestGuards.h"

#include "records/CItsmPlatformInfo.h"
#include "records/CItsmTypedMarketTradeDate.h"
#include "services/CMemoryTradingDayBackend.h"

#include <QTest>

#include <boost/make_shared.hpp>

namespace {

typedef std::vector<boost::shared_ptr<ttservice::IData>> Records;

TradeDateMap makeDays(const std::string& date)
{
    auto day = boost::make_shared<ttservice::CItsmMarketTradeDateInfo>();
    day->date = date;
    day->sessionFlags = 1;
    return TradeDateMap{{date, day}};
}

ttservice::CItsmQueryDataReq makeQuery(const std::string& market, const std::string& platform = std::string())
{
    ttservice::CItsmQueryDataReq query;
    query.dataType = 12306;
    query.marketParam = market;
    query.platformParam = platform;
    return query;
}

ttservice::COperateDataReq makeOperation(int operation, const std::string& exchangeName,
                                         const std::string& date)
{
    auto typed = boost::make_shared<ttservice::CItsmTypedMarketTradeDate>();
    typed->marketType = exchangeName.empty() ? 0 : 4;
    typed->exchangeName = exchangeName;
    typed->tradeDates = makeDays(date);
    ttservice::COperateDataReq request;
    request.dataType = 12306;
    request.operation = operation;
    request.records.push_back(typed);
    request.platformParam = exchangeName.empty() ? "" : "WP";
    return request;
}

// Dates of every typed record answered, exchanges named.
QStringList answered(IMC::CMemoryTradingDayBackend& backend, const ttservice::CItsmQueryDataReq& query)
{
    Records records;
    if (!backend.query(query, records).isSuccess()) {
        return {"failed"};
    }
    QStringList days;
    for (const auto& record : records) {
        const auto typed = boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(record);
        for (const auto& entry : typed->tradeDates) {
            days << QString::fromStdString(typed->exchangeName + entry.first);
        }
    }
    return days;
}

} // namespace

class TestMemoryBackend : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void failNextFailsOnlyTheNextRequest_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("text");
        QTest::newRow("query") << "query"
                               << "数据库连接中断";
        QTest::newRow("operation without text") << "operation" << QString();
        QTest::newRow("reference query") << "reference"
                                         << "超时";
    }

    void failNextFailsOnlyTheNextRequest()
    {
        QFETCH(QString, request);
        QFETCH(QString, text);
        IMC::CMemoryTradingDayBackend backend;
        backend.setMarketDays(0, makeDays("2026-08-03"));
        auto send = [&backend, &request] {
            Records records;
            if (request == "query") {
                return backend.query(makeQuery("0"), records);
            }
            if (request == "operation") {
                return backend.operate(makeOperation(1, "", "2026-09-01"), "alice");
            }
            return backend.queryReference(12482, "", records);
        };
        backend.failNext(text.toStdString());
        const utils::TTError failed = send();
        QVERIFY(!failed.isSuccess());
        QCOMPARE(QString::fromStdString(failed.errorMsg()), text);
        QCOMPARE(answered(backend, makeQuery("0")), QStringList{"2026-08-03"});
        QVERIFY(send().isSuccess());
    }

    void receivedRequestsAreKeptApartInOrder()
    {
        IMC::CMemoryTradingDayBackend backend;
        Records records;
        backend.query(makeQuery("0"), records);
        backend.operate(makeOperation(1, "CME", "2026-08-03"), "alice");
        backend.query(makeQuery("3", "15"), records);
        backend.operate(makeOperation(3, "CME", "2026-08-03"), "bob");
        backend.queryReference(12262, "14", records);

        QStringList received;
        for (const auto& query : backend.receivedQueries()) {
            received << QString::fromStdString(query.marketParam + "/" + query.platformParam);
        }
        for (const auto& operation : backend.receivedOperations()) {
            received << QString::number(operation.request->operation) + " " +
                            QString::fromStdString(operation.operatorName);
        }
        for (const auto& reference : backend.receivedReferenceQueries()) {
            received << QString::number(reference.dataKind) + "/" +
                            QString::fromStdString(reference.queryParam);
        }
        QCOMPARE(received, (QStringList{"0/", "3/15", "1 alice", "3 bob", "12262/14"}));
        backend.clearReceived();
        QVERIFY(backend.receivedQueries().empty() && backend.receivedOperations().empty());
        QVERIFY(backend.receivedReferenceQueries().empty());
    }

    void seededDataIsAnswered()
    {
        IMC::CMemoryTradingDayBackend backend;
        backend.seedReferenceData();
        backend.setMarketDays(3, makeDays("2026-08-03"), "15");
        auto exchange = boost::make_shared<ttservice::CItsmTypedMarketTradeDate>();
        exchange->exchangeName = "LME";
        exchange->tradeDates = makeDays("2026-08-04");
        backend.setTypedRecords({exchange});
        auto track = boost::make_shared<ttservice::CItsmPlatformInfo>();
        track->platformId = 42;
        backend.setTracks("15", {track});
        backend.setInstruments({});
        track->platformId = 43;

        QCOMPARE(answered(backend, makeQuery("3", "15")), QStringList{"2026-08-03"});
        QCOMPARE(answered(backend, makeQuery("3", "14")), QStringList());
        QCOMPARE(answered(backend, makeQuery("4", "WP")), QStringList{"LME2026-08-04"});
        QCOMPARE(backend.marketDays(3, "15").count("2026-08-03"), std::size_t(1));
        Records rates, futures, instruments;
        QVERIFY(backend.queryReference(12262, "15", rates).isSuccess());
        QCOMPARE(rates.size(), std::size_t(1));
        QCOMPARE(boost::dynamic_pointer_cast<ttservice::CItsmPlatformInfo>(rates[0])->platformId, 42);
        QVERIFY(backend.queryReference(12262, "14", futures).isSuccess());
        QCOMPARE(futures.size(), std::size_t(4));
        QVERIFY(backend.queryReference(12482, "", instruments).isSuccess());
        QVERIFY(instruments.empty());
    }
};

QTEST_GUILESS_MAIN(TestMemoryBackend)
#include "tst_memorybackend.moc"
