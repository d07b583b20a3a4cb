// One store shared by several hosts: saves of the same market from two hosts at the same moment queue up
// and never mix, a save that fails halfway leaves nothing behind, hosts opening a new store together
// create it once, and databases that are not stores are refused untouched. Runs on a SQLite file, or on
// a database of the PostgreSQL server the tests are given (TDS_TEST_PG_ADDRESS).
#include "CBackendTestKit.h"
#include "CSqlTradingDayBackend.h"
#include "CStoreAddress.h"

#include "records/CItsmQueryDataReq.h"
#include "records/COperateDataReq.h"
#include "services/CItsmClient.h"

#include "TestGuards.h"

#include <boost/make_shared.hpp>

#include <QDate>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <mutex>

using Kit = tds::CBackendTestKit;
using IMC::CSqlTradingDayBackend;

namespace {

// count weekdays from first on, each with flags and, every fifth day, a description of its own.
TradeDateMap weekdays(const QDate& first, int count, int flags, const std::string& note)
{
    TradeDateMap days;
    for (QDate date = first; static_cast<int>(days.size()) < count; date = date.addDays(1)) {
        if (date.dayOfWeek() <= 5) {
            const std::string key = date.toString(Qt::ISODate).toStdString();
            auto day = Kit::makeDay(key, flags);
            if (days.size() % 5 == 0) {
                day->description = note + " " + key;
            }
            days[key] = day;
        }
    }
    return days;
}

boost::shared_ptr<ttservice::COperateDataReq> marketSave(int marketType, const TradeDateMap& days)
{
    auto request = boost::make_shared<ttservice::COperateDataReq>();
    request->dataType = IMC::ITradingDayBackend::DataKindTradeDates;
    request->operation = IMC::ITradingDayBackend::OperationSave;
    auto market = boost::make_shared<ttservice::CItsmTypedMarketTradeDate>();
    market->marketType = marketType;
    market->tradeDates = days;
    request->records.push_back(market);
    return request;
}

} // namespace

class TestSharedStore : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString address;

    bool onPostgreSql() const { return !Kit::postgreSqlServer().isEmpty(); }

    // Runs statements on the store through a connection of the test's own; the first failure's text.
    QString execute(const QStringList& statements)
    {
        QString failure;
        {
            QSqlDatabase db = Kit::connectDirectly(address, QStringLiteral("inspector"));
            for (const QString& statement : statements) {
                QSqlQuery query(db);
                if (failure.isEmpty() && !query.exec(statement)) {
                    failure = query.lastError().databaseText();
                }
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("inspector"));
        return failure;
    }

    QVariant scalar(const QString& sql)
    {
        QVariant result;
        {
            QSqlDatabase db = Kit::connectDirectly(address, QStringLiteral("inspector"));
            QSqlQuery query(db);
            if (query.exec(sql) && query.next()) {
                result = query.value(0);
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("inspector"));
        return result;
    }

    // Makes every insert of day key into market_day fail inside the database.
    QString injectFault(const QString& key)
    {
        if (onPostgreSql()) {
            return execute(
                {QStringLiteral("CREATE FUNCTION injected_fault() RETURNS trigger LANGUAGE plpgsql AS "
                                "$$BEGIN IF NEW.day_key = '%1' THEN RAISE EXCEPTION 'injected fault'; "
                                "END IF; RETURN NEW; END$$")
                     .arg(key),
                 QStringLiteral("CREATE TRIGGER injected_fault BEFORE INSERT ON market_day FOR EACH ROW "
                                "EXECUTE FUNCTION injected_fault()")});
        }
        return execute({QStringLiteral("CREATE TRIGGER injected_fault BEFORE INSERT ON market_day WHEN "
                                       "NEW.day_key = '%1' BEGIN SELECT RAISE(ABORT, 'injected fault'); END")
                            .arg(key)});
    }

    static std::vector<IMC::CStoreRevision> revisionsOf(CSqlTradingDayBackend& store, int marketType)
    {
        std::vector<IMC::CStoreRevision> revisions;
        const utils::TTError error = store.revisions(marketType, "", "", revisions);
        if (!error.isSuccess()) {
            QTest::qFail(error.errorMsg().c_str(), __FILE__, __LINE__);
        }
        return revisions;
    }

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        address = Kit::freshStore(dir->path(), QStringLiteral("tds_shared_store"));
        QVERIFY(!address.isEmpty());
    }

    void cleanup() { dir.reset(); }

    void twoHostsSavingOneMarketAtOnceNeverMixTheirMaps()
    {
        const TradeDateMap first = weekdays(QDate(2020, 1, 1), 400, 1, "甲");
        const TradeDateMap second = weekdays(QDate(2020, 3, 2), 250, 3, "乙");
        const QStringList firstText = Kit::describe(first);
        const QStringList secondText = Kit::describe(second);
        IMC::CItsmClient hostA("甲", std::make_shared<CSqlTradingDayBackend>(address));
        IMC::CItsmClient hostB("乙", std::make_shared<CSqlTradingDayBackend>(address));
        CSqlTradingDayBackend observer(address);
        std::mutex mutex;
        QStringList failures;
        auto collect = [&](const utils::TTError& error, bson::BSONObj) {
            std::lock_guard<std::mutex> lock(mutex);
            if (!error.isSuccess()) {
                failures << QString::fromStdString(error.errorMsg());
            }
        };

        const int rounds = 12;
        for (int round = 1; round <= rounds; ++round) {
            hostA.operateData_async(marketSave(0, first), collect, "甲");
            hostB.operateData_async(marketSave(0, second), collect, "乙");
            QVERIFY(hostA.waitUntilIdle(60000));
            QVERIFY(hostB.waitUntilIdle(60000));
            {
                std::lock_guard<std::mutex> lock(mutex);
                QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
            }
            const QStringList current = Kit::describe(Kit::marketDays(observer, "0"));
            QVERIFY2(current == firstText || current == secondText,
                     qPrintable(QStringLiteral("round %1: a mix of %2 days").arg(round).arg(current.size())));

            // Both saves are kept: the later one is what the market holds, the earlier one is the revision
            // before it.
            const auto revisions = revisionsOf(observer, 0);
            QCOMPARE(static_cast<int>(revisions.size()), 2 * round);
            const IMC::CStoreRevision& latest = revisions.back();
            const IMC::CStoreRevision& earlier = revisions.at(revisions.size() - 2);
            QCOMPARE(latest.dayCount, current.size());
            QCOMPARE(latest.operatorName, std::string(current == firstText ? "甲" : "乙"));
            QCOMPARE(earlier.operatorName, std::string(current == firstText ? "乙" : "甲"));
            QCOMPARE(earlier.dayCount, current == firstText ? secondText.size() : firstText.size());
        }

        // The map that lost the last round is intact in its revision and can be made current again.
        const IMC::CStoreRevision earlier = revisionsOf(observer, 0).at(2 * rounds - 2);
        IMC::CStoreRevision restored;
        QVERIFY(observer.restoreRevision(earlier.id, "丙", restored).isSuccess());
        const QStringList current = Kit::describe(Kit::marketDays(observer, "0"));
        QCOMPARE(current, earlier.operatorName == "甲" ? firstText : secondText);
    }

    void aSaveFailingHalfwayLeavesNothingBehind()
    {
        CSqlTradingDayBackend store(address);
        QVERIFY(Kit::save(store, 0, "", Kit::makeDays({"2026-08-03", "2026-08-04"}, 3)).isSuccess());
        const QString injected = injectFault(QStringLiteral("2026-08-20"));
        QVERIFY2(injected.isEmpty(), qPrintable(injected));

        // Earlier days of the failing save are already written when the fault strikes.
        const utils::TTError failed =
            Kit::save(store, 0, "", Kit::makeDays({"2026-08-10", "2026-08-20", "2026-08-30"}, 1));
        QVERIFY(!failed.isSuccess());
        const QString text = QString::fromStdString(failed.errorMsg());
        QVERIFY2(text.contains(QStringLiteral("交易日数据库操作失败")) &&
                     text.contains(QStringLiteral("injected fault")),
                 qPrintable(text));
        QCOMPARE(Kit::describe(Kit::marketDays(store, "0")), QStringList({"2026-08-03=3", "2026-08-04=3"}));
        QCOMPARE(revisionsOf(store, 0).size(), std::size_t(1));

        // The same connection goes on working: other markets save, and the market once the fault is gone.
        QVERIFY(Kit::save(store, 1, "", Kit::makeDays({"2026-08-21"}, 1)).isSuccess());
        QVERIFY(execute({QStringLiteral("DROP TRIGGER injected_fault") +
                         (onPostgreSql() ? QStringLiteral(" ON market_day") : QString())})
                    .isEmpty());
        QVERIFY(Kit::save(store, 0, "", Kit::makeDays({"2026-08-10", "2026-08-20"}, 1)).isSuccess());
        QCOMPARE(Kit::describe(Kit::marketDays(store, "0")), QStringList({"2026-08-10=1", "2026-08-20=1"}));
    }

    void hostsOpeningANewStoreTogetherCreateItOnce()
    {
        std::vector<std::unique_ptr<IMC::CItsmClient>> hosts;
        std::mutex mutex;
        QStringList failures;
        int answers = 0;
        for (int i = 0; i < 4; ++i) {
            hosts.push_back(std::make_unique<IMC::CItsmClient>(
                std::to_string(i), std::make_shared<CSqlTradingDayBackend>(address)));
        }
        for (const auto& host : hosts) {
            host->queryReference_async(
                IMC::ITradingDayBackend::DataKindInstruments, "",
                [&](const utils::TTError& error, const IMC::CItsmClient::Records& records) {
                    std::lock_guard<std::mutex> lock(mutex);
                    ++answers;
                    if (!error.isSuccess() || records.empty()) {
                        failures << QString::fromStdString(error.errorMsg());
                    }
                });
        }
        for (const auto& host : hosts) {
            QVERIFY(host->waitUntilIdle(60000));
        }
        QCOMPARE(answers, 4);
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
        // Seeded once: every instrument is there once.
        QVERIFY(scalar(QStringLiteral("SELECT count(*) FROM instrument")).toInt() > 10);
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) - count(DISTINCT instrument_code) FROM instrument"))
                     .toInt(),
                 0);
    }

    void databasesThatAreNotStoresAreRefusedUntouched_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("expectedText");
        QTest::newRow("other program's tables") << "foreign"
                                                << "不是交易日数据库";
        QTest::newRow("newer store") << "newer"
                                     << "比本程序支持的版本";
    }
    void databasesThatAreNotStoresAreRefusedUntouched()
    {
        QFETCH(QString, content);
        QFETCH(QString, expectedText);
        if (content == QLatin1String("foreign")) {
            QVERIFY(execute({QStringLiteral("CREATE TABLE customers (id INTEGER PRIMARY KEY, name TEXT)")})
                        .isEmpty());
        } else {
            QVERIFY(CSqlTradingDayBackend(address).open().isSuccess());
            QVERIFY(execute({onPostgreSql() ? QStringLiteral("UPDATE store_identity SET schema_version = 99")
                                            : QStringLiteral("PRAGMA user_version = 99")})
                        .isEmpty());
        }
        const int tables = [&] {
            QSqlDatabase db = Kit::connectDirectly(address, QStringLiteral("counter"));
            const int count = db.tables().size();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(QStringLiteral("counter"));
            return count;
        }();

        CSqlTradingDayBackend store(address);
        const utils::TTError error = store.open();
        QVERIFY(!error.isSuccess());
        const QString text = QString::fromStdString(error.errorMsg());
        QVERIFY2(text.contains(QStringLiteral("无法打开交易日数据库")) &&
                     text.contains(IMC::CStoreAddress::parse(address).displayText()) &&
                     text.contains(expectedText),
                 qPrintable(text));
        QVERIFY(!Kit::save(store, 0, "", Kit::makeDays({"2026-08-03"}, 1)).isSuccess());
        QSqlDatabase db = Kit::connectDirectly(address, QStringLiteral("counter"));
        QCOMPARE(db.tables().size(), tables);
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("counter"));
    }
};

QTEST_GUILESS_MAIN(TestSharedStore)
#include "tst_sharedstore.moc"
