// A store whose server cannot be reached answers every request with a clear failure, never a crash or a
// hang, and serves again as soon as the server is back, without a new store object. The server is the
// throw-away PostgreSQL server the test is given (scripts/pgcluster run sets TDS_TEST_PG_ADDRESS,
// TDS_TEST_PG_CLUSTER and TDS_PGCLUSTER); the test stops and starts it between requests.
#include "CBackendTestKit.h"
#include "CSqlTradingDayBackend.h"
#include "CStoreAddress.h"
#include "CStoreException.h"

#include "records/CItsmQueryDataReq.h"
#include "records/COperateDataReq.h"
#include "services/CItsmClient.h"

#include "CTestServer.h"
#include "TestGuards.h"

#include <boost/make_shared.hpp>

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

#include <memory>
#include <mutex>

using Kit = tds::CBackendTestKit;
using IMC::CSqlTradingDayBackend;

class TestStoreReconnect : public QObject
{
    Q_OBJECT

private:
    QString address;

    void verifyUnreachable(const utils::TTError& error)
    {
        QVERIFY(!error.isSuccess());
        QCOMPARE(error.code(), static_cast<int>(IMC::CStoreException::NoConnection));
        const QString text = QString::fromStdString(error.errorMsg());
        const QString expected = QStringLiteral("交易日数据库无法连接: %1: ")
                                     .arg(IMC::CStoreAddress::parse(address).displayText());
        QVERIFY2(text.startsWith(expected) && text.size() > expected.size(), qPrintable(text));
    }

private slots:
    void initTestCase()
    {
        // Qt's complaint when a statement cannot be released on a connection the server broke off.
        tds::failOnUnexpectedWarnings({QStringLiteral("Unable to free statement")});
        if (Kit::postgreSqlServer().isEmpty()) {
            QSKIP("no PostgreSQL server given: run through scripts/pgcluster run DIR");
        }
        QVERIFY2(tds::CTestServer::isGiven(),
                 "the server's cluster is not given: run through scripts/pgcluster run DIR");
    }

    void init()
    {
        address = Kit::freshPostgreSqlDatabase(QStringLiteral("tds_store_reconnect"));
        QVERIFY(!address.isEmpty());
    }

    void cleanup()
    {
        // A failed test may have left the server stopped.
        QVERIFY(tds::CTestServer::start());
    }

    void everyRequestFailsClearlyWhileTheServerIsDownAndWorksOnceItIsBack()
    {
        CSqlTradingDayBackend store(address);
        QVERIFY(Kit::save(store, 0, "", Kit::makeDays({"2026-08-03", "2026-08-04"}, 3)).isSuccess());
        QVERIFY(tds::CTestServer::stop());

        Kit::Records records;
        verifyUnreachable(Kit::query(store, "0", "", records));
        verifyUnreachable(Kit::save(store, 0, "", Kit::makeDays({"2026-09-01"}, 1)));
        verifyUnreachable(store.queryReference(IMC::ITradingDayBackend::DataKindTracks, "14", records));
        QSet<int> rights;
        verifyUnreachable(store.rightsOf("alice", rights));
        // Asked again while still down: the same answer.
        verifyUnreachable(Kit::query(store, "0", "", records));
        QVERIFY(records.empty());

        QVERIFY(tds::CTestServer::start());
        QCOMPARE(Kit::describe(Kit::marketDays(store, "0")), QStringList({"2026-08-03=3", "2026-08-04=3"}));
        QVERIFY(Kit::save(store, 0, "", Kit::makeDays({"2026-09-01"}, 1)).isSuccess());
        QCOMPARE(Kit::describe(Kit::marketDays(store, "0")), QStringList({"2026-09-01=1"}));
    }

    void aServerRestartedBetweenTwoRequestsIsNotNoticed()
    {
        CSqlTradingDayBackend store(address);
        QVERIFY(Kit::save(store, 1, "", Kit::makeDays({"2026-08-03"}, 1)).isSuccess());
        QVERIFY(tds::CTestServer::stop());
        QVERIFY(tds::CTestServer::start());
        // The connection from before is gone on the server's side; the store opens a new one at once.
        QCOMPARE(Kit::describe(Kit::marketDays(store, "1")), QStringList({"2026-08-03=1"}));
        QVERIFY(tds::CTestServer::stop());
        QVERIFY(tds::CTestServer::start());
        QVERIFY(Kit::save(store, 1, "", Kit::makeDays({"2026-08-04"}, 1)).isSuccess());
        QCOMPARE(Kit::describe(Kit::marketDays(store, "1")), QStringList({"2026-08-04=1"}));
    }

    void aStoreOpenedWhileTheServerIsDownWorksOnceItIsUp()
    {
        QVERIFY(tds::CTestServer::stop());
        CSqlTradingDayBackend store(address);
        verifyUnreachable(store.open());
        QVERIFY(tds::CTestServer::start());
        QVERIFY(store.open().isSuccess());
        QVERIFY(Kit::marketDays(store, "0").empty());
    }

    void aSaveCutOffMidwayIsReportedNotRepeated()
    {
        CSqlTradingDayBackend observer(address);
        QVERIFY(Kit::save(observer, 0, "", Kit::makeDays({"2026-08-03"}, 3)).isSuccess());
        IMC::CItsmClient client("主系统", std::make_shared<CSqlTradingDayBackend>(address));
        QSqlDatabase admin = Kit::connectDirectly(address, QStringLiteral("admin"));
        QSqlDatabase watcher = Kit::connectDirectly(address, QStringLiteral("watcher"));
        QSqlQuery lock(admin);
        // The save gets as far as its first change of the table and waits there.
        QVERIFY(lock.exec(QStringLiteral("BEGIN")));
        QVERIFY(lock.exec(QStringLiteral("LOCK TABLE market_day IN ACCESS EXCLUSIVE MODE")));

        std::mutex mutex;
        std::vector<utils::TTError> results;
        auto request = boost::make_shared<ttservice::COperateDataReq>();
        request->dataType = IMC::ITradingDayBackend::DataKindTradeDates;
        request->operation = IMC::ITradingDayBackend::OperationSave;
        auto market = boost::make_shared<ttservice::CItsmTypedMarketTradeDate>();
        market->marketType = 0;
        market->tradeDates = Kit::makeDays({"2026-09-01"}, 1);
        request->records.push_back(market);
        client.operateData_async(
            request,
            [&](const utils::TTError& error, bson::BSONObj) {
                std::lock_guard<std::mutex> lock(mutex);
                results.push_back(error);
            },
            "测试员");
        const QString waitingSaves = QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE "
                                                    "application_name = 'tradingday' AND wait_event_type = "
                                                    "'Lock' AND datname = current_database()");
        // Read outside the locking transaction, whose view of the server's activity stays as it first saw it.
        auto waiting = [&] {
            QSqlQuery count(watcher);
            return count.exec(waitingSaves) && count.next() ? count.value(0).toInt() : -1;
        };
        QTRY_COMPARE_WITH_TIMEOUT(waiting(), 1, 30000);

        // The server ends the save's connection while it waits, as a server shutting down would.
        QSqlQuery terminate(watcher);
        QVERIFY(terminate.exec(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE "
                                              "application_name = 'tradingday' AND "
                                              "wait_event_type = 'Lock' AND datname = current_database()")));
        terminate.finish();
        QVERIFY(client.waitUntilIdle(60000));
        QVERIFY(lock.exec(QStringLiteral("ROLLBACK")));
        lock.finish();
        admin = QSqlDatabase();
        watcher = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("admin"));
        QSqlDatabase::removeDatabase(QStringLiteral("watcher"));

        {
            std::lock_guard<std::mutex> lock(mutex);
            QCOMPARE(results.size(), std::size_t(1));
            verifyUnreachable(results.front());
        }
        // Not run a second time behind the operator's back: the market and its revisions are as before.
        QCOMPARE(Kit::describe(Kit::marketDays(observer, "0")), QStringList({"2026-08-03=3"}));
        std::vector<IMC::CStoreRevision> revisions;
        QVERIFY(observer.revisions(0, "", "", revisions).isSuccess());
        QCOMPARE(revisions.size(), std::size_t(1));
        // The client's next request runs on a new connection.
        std::vector<boost::shared_ptr<ttservice::IData>> answer;
        utils::TTError queried;
        auto query = boost::make_shared<ttservice::CItsmQueryDataReq>();
        query->dataType = IMC::ITradingDayBackend::DataKindTradeDates;
        query->marketParam = "0";
        client.queryData_async(
            query,
            [&](const utils::TTError& error, const IMC::CItsmClient::Records& records, int, bson::BSONObj) {
                std::lock_guard<std::mutex> lock(mutex);
                queried = error;
                answer = records;
            },
            0);
        QVERIFY(client.waitUntilIdle(60000));
        std::lock_guard<std::mutex> guard(mutex);
        QVERIFY2(queried.isSuccess(), queried.errorMsg().c_str());
        QCOMPARE(answer.size(), std::size_t(1));
    }

    void theHostsWorkerAnswersEachRequestWhileTheServerIsDown()
    {
        IMC::CItsmClient client("主系统", std::make_shared<CSqlTradingDayBackend>(address));
        std::mutex mutex;
        std::vector<utils::TTError> results;
        auto ask = [&] {
            auto request = boost::make_shared<ttservice::CItsmQueryDataReq>();
            request->dataType = IMC::ITradingDayBackend::DataKindTradeDates;
            request->marketParam = "0";
            client.queryData_async(
                request,
                [&](const utils::TTError& error, const IMC::CItsmClient::Records&, int, bson::BSONObj) {
                    std::lock_guard<std::mutex> lock(mutex);
                    results.push_back(error);
                },
                0);
            return client.waitUntilIdle(60000);
        };
        QVERIFY(ask());
        QVERIFY(tds::CTestServer::stop());
        QVERIFY(ask());
        QVERIFY(ask());
        QVERIFY(tds::CTestServer::start());
        QVERIFY(ask());

        std::lock_guard<std::mutex> lock(mutex);
        QCOMPARE(results.size(), std::size_t(4));
        QVERIFY(results[0].isSuccess());
        verifyUnreachable(results[1]);
        verifyUnreachable(results[2]);
        QVERIFY2(results[3].isSuccess(), results[3].errorMsg().c_str());
    }
};

QTEST_GUILESS_MAIN(TestStoreReconnect)
#include "tst_storereconnect.moc"
