// What only the SQLite store does: keep data across restarts, refuse foreign files, roll back failed
// saves, keep revisions and serve the client's worker thread.
#include "CBackendTestKit.h"
#include "CSqlTradingDayBackend.h"
#include "CStoreSchema.h"

#include "records/CItsmPlatformInfo.h"
#include "records/CItsmQueryDataReq.h"
#include "services/CItsmClient.h"

#include "TestGuards.h"

#include <boost/make_shared.hpp>

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <mutex>

using Kit = tds::CBackendTestKit;
using IMC::CSqlTradingDayBackend;

class TestSqlStore : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString path;

    // Runs statements on the file through a connection of the test's own, as another program would.
    static QVariant inspect(const QString& file, const QString& sql, QString* error = nullptr)
    {
        QVariant result;
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("inspector"));
            db.setDatabaseName(file);
            if (db.open()) {
                QSqlQuery query(db);
                if (query.exec(sql)) {
                    if (query.next()) {
                        result = query.value(0);
                    }
                } else if (error) {
                    *error = query.lastError().databaseText();
                }
            } else if (error) {
                *error = db.lastError().databaseText();
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("inspector"));
        return result;
    }

    static QByteArray contentsOf(const QString& file)
    {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

    static void writeFile(const QString& file, const QByteArray& bytes)
    {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }

    static int revisionCount(const QString& file)
    {
        return inspect(file, QStringLiteral("SELECT count(*) FROM revision")).toInt();
    }

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        path = dir->filePath(QStringLiteral("days.db"));
    }

    void cleanup() { dir.reset(); }

    void dataSurviveReopening()
    {
        {
            CSqlTradingDayBackend store(path);
            QVERIFY(Kit::save(store, 0, "", Kit::makeDays({"2026-08-03", "2026-08-04"}, 3)).isSuccess());
            QVERIFY(Kit::save(store, 3, "15", Kit::makeDays({"2026-08-05"}, 1)).isSuccess());
            QVERIFY(Kit::operate(store, 1,
                                 Kit::makeExchange("香港交易所", "HKEX", 2, Kit::makeDays({"2026-08-06"}, 1)),
                                 "WP")
                        .isSuccess());
        }
        CSqlTradingDayBackend reopened(path);
        QCOMPARE(Kit::describe(Kit::marketDays(reopened, "0")),
                 QStringList({"2026-08-03=3", "2026-08-04=3"}));
        QCOMPARE(Kit::describe(Kit::marketDays(reopened, "3", "15")), QStringList({"2026-08-05=1"}));
        QVERIFY(Kit::marketDays(reopened, "3", "14").empty());
        const auto exchanges = Kit::exchanges(reopened);
        QCOMPARE(exchanges.size(), std::size_t(1));
        QCOMPARE(exchanges[0]->exchangeCode, std::string("HKEX"));
        QCOMPARE(exchanges[0]->trackId, 2);
        QCOMPARE(Kit::describe(exchanges[0]->tradeDates), QStringList({"2026-08-06=1"}));
        std::vector<IMC::CStoreRevision> revisions;
        QVERIFY(reopened.revisions(0, "", "", revisions).isSuccess());
        QCOMPARE(revisions.size(), std::size_t(1));
    }

    void newFileIsCreatedInWalModeWithReferenceData_data()
    {
        QTest::addColumn<bool>("existsEmpty");
        QTest::newRow("missing file") << false;
        QTest::newRow("empty file") << true;
    }
    void newFileIsCreatedInWalModeWithReferenceData()
    {
        QFETCH(bool, existsEmpty);
        if (existsEmpty) {
            writeFile(path, QByteArray());
        }
        CSqlTradingDayBackend store(path);
        QVERIFY(store.open().isSuccess());
        QCOMPARE(inspect(path, QStringLiteral("PRAGMA user_version")).toInt(),
                 IMC::CStoreSchema::currentVersion);
        QCOMPARE(inspect(path, QStringLiteral("PRAGMA application_id")).toInt(),
                 IMC::CStoreSchema::applicationId);
        QCOMPARE(inspect(path, QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
        QVERIFY(Kit::marketDays(store, "0").empty());
        Kit::Records tracks;
        QVERIFY(store.queryReference(12262, "14", tracks).isSuccess());
        QVERIFY(!tracks.empty());
        QCOMPARE(revisionCount(path), 0);
    }

    void seedingHappensOnlyOnce()
    {
        {
            CSqlTradingDayBackend(path).open();
        }
        const int instruments = inspect(path, QStringLiteral("SELECT count(*) FROM instrument")).toInt();
        QVERIFY(instruments > 10);
        CSqlTradingDayBackend again(path);
        QVERIFY(again.open().isSuccess());
        QCOMPARE(inspect(path, QStringLiteral("SELECT count(*) FROM instrument")).toInt(), instruments);
    }

    void filesThatAreNotStoresAreRefusedUntouched_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("expectedText");
        QTest::newRow("text file") << "text"
                                   << "不是交易日数据库";
        QTest::newRow("other program's database") << "foreign"
                                                  << "其他程序的 SQLite 数据库";
        QTest::newRow("newer store") << "newer"
                                     << "比本程序支持的版本";
    }
    void filesThatAreNotStoresAreRefusedUntouched()
    {
        QFETCH(QString, content);
        QFETCH(QString, expectedText);
        if (content == QLatin1String("text")) {
            writeFile(path, QByteArray("日期,是否交易日\n2026-08-03,1\n").repeated(200));
        } else if (content == QLatin1String("foreign")) {
            inspect(path, QStringLiteral("CREATE TABLE customers (id INTEGER PRIMARY KEY, name TEXT)"));
        } else {
            {
                CSqlTradingDayBackend(path).open();
            }
            inspect(path, QStringLiteral("PRAGMA journal_mode = DELETE"));
            inspect(path, QStringLiteral("PRAGMA user_version = 99"));
        }
        const QByteArray before = contentsOf(path);

        CSqlTradingDayBackend store(path);
        const utils::TTError error = store.open();
        QVERIFY(!error.isSuccess());
        const QString text = QString::fromStdString(error.errorMsg());
        QVERIFY2(text.contains(QStringLiteral("无法打开交易日数据库")) && text.contains(path),
                 qPrintable(text));
        QVERIFY2(text.contains(expectedText), qPrintable(text));
        Kit::Records records;
        QVERIFY(!Kit::query(store, "0", "", records).isSuccess());
        QVERIFY(!Kit::save(store, 0, "", Kit::makeDays({"2026-08-03"}, 1)).isSuccess());
        QVERIFY(records.empty());
        QCOMPARE(contentsOf(path), before);
        QVERIFY(!QFile::exists(path + QStringLiteral("-wal")));
    }

    void unreachableOrBadAddressesFailClearly_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("expectedText");
        QTest::newRow("missing folder") << "%1/missing/days.db"
                                        << "无法打开交易日数据库";
        QTest::newRow("folder instead of file") << "%1"
                                                << "无法打开交易日数据库";
        QTest::newRow("empty") << ""
                               << "数据库地址为空";
        QTest::newRow("other scheme") << "mysql://db.example/days"
                                      << "不支持的数据库地址";
        QTest::newRow("scheme without path") << "sqlite://"
                                             << "没有文件路径";
        QTest::newRow("memory") << ":memory:"
                                << "不能是内存数据库";
    }
    void unreachableOrBadAddressesFailClearly()
    {
        QFETCH(QString, address);
        QFETCH(QString, expectedText);
        CSqlTradingDayBackend store(address.contains(QLatin1String("%1")) ? address.arg(dir->path())
                                                                          : address);
        Kit::Records records;
        const utils::TTError error = Kit::query(store, "0", "", records);
        QVERIFY(!error.isSuccess());
        QVERIFY2(QString::fromStdString(error.errorMsg()).contains(expectedText), error.errorMsg().c_str());
        QVERIFY(!store.queryReference(12482, "", records).isSuccess());
        QVERIFY(records.empty());
    }

    void sqliteSchemeNamesTheSameFile()
    {
        CSqlTradingDayBackend byScheme(QStringLiteral("sqlite://") + path);
        QCOMPARE(byScheme.filePath(), path);
        QVERIFY(Kit::save(byScheme, 1, "", Kit::makeDays({"2026-08-03"}, 1)).isSuccess());
        CSqlTradingDayBackend byPath(path);
        QCOMPARE(Kit::describe(Kit::marketDays(byPath, "1")), QStringList({"2026-08-03=1"}));
    }

    void saveFailingMidwayChangesNothing_data()
    {
        QTest::addColumn<bool>("exchange");
        QTest::newRow("market") << false;
        QTest::newRow("exchange") << true;
    }
    void saveFailingMidwayChangesNothing()
    {
        QFETCH(bool, exchange);
        CSqlTradingDayBackend store(path);
        auto save = [&](const TradeDateMap& days) {
            return exchange
                       ? Kit::operate(store, 1, Kit::makeExchange("欧洲期货交易所", "Eurex", 1, days), "WP")
                       : Kit::save(store, 0, "", days);
        };
        auto current = [&] {
            return exchange ? Kit::describe(Kit::exchanges(store).at(0)->tradeDates)
                            : Kit::describe(Kit::marketDays(store, "0"));
        };
        QVERIFY(save(Kit::makeDays({"2026-08-03", "2026-08-04"}, 3)).isSuccess());
        const int revisions = revisionCount(path);
        // A fault inside the database on the middle day: earlier days of the save are already written.
        const QString table = exchange ? QStringLiteral("exchange_day") : QStringLiteral("market_day");
        QString error;
        inspect(path,
                QStringLiteral(
                    "CREATE TRIGGER injected_fault BEFORE INSERT ON %1 WHEN NEW.day_key = '2026-08-20' "
                    "BEGIN SELECT RAISE(ABORT, 'injected fault'); END")
                    .arg(table),
                &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));

        const utils::TTError failed = save(Kit::makeDays({"2026-08-10", "2026-08-20", "2026-08-30"}, 1));
        QVERIFY(!failed.isSuccess());
        const QString text = QString::fromStdString(failed.errorMsg());
        QVERIFY2(text.contains(QStringLiteral("交易日数据库操作失败")) &&
                     text.contains(QStringLiteral("injected fault")),
                 qPrintable(text));
        QCOMPARE(current(), QStringList({"2026-08-03=3", "2026-08-04=3"}));
        QCOMPARE(revisionCount(path), revisions);

        inspect(path, QStringLiteral("DROP TRIGGER injected_fault"));
        QVERIFY(save(Kit::makeDays({"2026-08-10", "2026-08-20"}, 1)).isSuccess());
        QCOMPARE(current(), QStringList({"2026-08-10=1", "2026-08-20=1"}));
    }

    void everySaveAndDeleteIsKeptAsARevision()
    {
        CSqlTradingDayBackend store(path);
        const QDateTime start = QDateTime::currentDateTimeUtc().addSecs(-1);
        QVERIFY(
            Kit::save(store, 3, "14", Kit::makeDays({"2026-08-03", "2026-08-04"}, 1), "张三").isSuccess());
        QVERIFY(Kit::save(store, 3, "14", Kit::makeDays({"2026-08-05"}, 1), "李四").isSuccess());
        QVERIFY(Kit::save(store, 3, "15", Kit::makeDays({"2026-08-06"}, 1), "王五").isSuccess());
        QVERIFY(Kit::operate(store, 1,
                             Kit::makeExchange("大阪交易所", "OSE", 4, Kit::makeDays({"2026-08-07"}, 1)),
                             "WP", "赵六")
                    .isSuccess());
        QVERIFY(
            Kit::operate(store, 3, Kit::makeExchange("大阪交易所", "", -1, {}), "WP", "钱七").isSuccess());

        std::vector<IMC::CStoreRevision> revisions;
        QVERIFY(store.revisions(3, "14", "", revisions).isSuccess());
        QCOMPARE(revisions.size(), std::size_t(2));
        QCOMPARE(revisions[0].operatorName, std::string("张三"));
        QCOMPARE(revisions[0].dayCount, 2);
        QCOMPARE(revisions[0].operation, 1);
        QCOMPARE(revisions[1].operatorName, std::string("李四"));
        QCOMPARE(revisions[1].dayCount, 1);
        QVERIFY(revisions[0].id < revisions[1].id);
        QVERIFY(revisions[0].savedAt >= start && revisions[1].savedAt <= QDateTime::currentDateTimeUtc());

        revisions.clear();
        QVERIFY(store.revisions(4, "WP", "大阪交易所", revisions).isSuccess());
        QCOMPARE(revisions.size(), std::size_t(2));
        QCOMPARE(revisions[0].exchangeCode, std::string("OSE"));
        QCOMPARE(revisions[0].dayCount, 1);
        QCOMPARE(revisions[1].operation, 3);
        QCOMPARE(revisions[1].operatorName, std::string("钱七"));
        // The deletion keeps what the exchange was, not what the request carried.
        QCOMPARE(revisions[1].exchangeCode, std::string("OSE"));
        QCOMPARE(revisions[1].trackId, 4);
        QCOMPARE(revisions[1].dayCount, 0);

        QString error;
        inspect(path, QStringLiteral("DELETE FROM revision"), &error);
        QVERIFY2(error.contains(QStringLiteral("never deleted")), qPrintable(error));
        inspect(path, QStringLiteral("UPDATE revision SET operator = 'x'"), &error);
        QVERIFY2(error.contains(QStringLiteral("never changed")), qPrintable(error));
        QCOMPARE(revisionCount(path), 5);
    }

    void restoreMakesAnEarlierStateCurrent()
    {
        CSqlTradingDayBackend store(path);
        auto firstDays = Kit::makeDays({"2026-08-03", "2026-08-04"}, 3);
        firstDays["2026-08-03"]->description = "台风停市后恢复";
        QVERIFY(Kit::save(store, 0, "", firstDays).isSuccess());
        QVERIFY(Kit::save(store, 0, "", Kit::makeDays({"2026-09-01"}, 1)).isSuccess());
        std::vector<IMC::CStoreRevision> revisions;
        QVERIFY(store.revisions(0, "", "", revisions).isSuccess());

        IMC::CStoreRevision kept;
        TradeDateMap keptDays;
        QVERIFY(store.revisionDays(revisions.front().id, kept, keptDays).isSuccess());
        QCOMPARE(kept.id, revisions.front().id);
        QCOMPARE(kept.dayCount, 2);
        QCOMPARE(Kit::describe(keptDays), Kit::describe(firstDays));
        QVERIFY(!store.revisionDays(9999, kept, keptDays).isSuccess());

        IMC::CStoreRevision restored;
        QVERIFY(store.restoreRevision(revisions.front().id, "孙八", restored).isSuccess());
        QCOMPARE(Kit::describe(Kit::marketDays(store, "0")),
                 QStringList({"2026-08-03=3 description:台风停市后恢复", "2026-08-04=3"}));
        QCOMPARE(restored.restoredFrom, revisions.front().id);
        QCOMPARE(restored.operatorName, std::string("孙八"));
        QCOMPARE(restored.dayCount, 2);
        revisions.clear();
        QVERIFY(store.revisions(0, "", "", revisions).isSuccess());
        QCOMPARE(revisions.size(), std::size_t(3));
        QCOMPARE(revisions.back().id, restored.id);
    }

    void restoreBringsBackADeletedExchange()
    {
        CSqlTradingDayBackend store(path);
        QVERIFY(Kit::operate(store, 1,
                             Kit::makeExchange("洲际交易所", "ICE", 3, Kit::makeDays({"2026-08-03"}, 1)),
                             "WP")
                    .isSuccess());
        QVERIFY(Kit::operate(store, 3, Kit::makeExchange("洲际交易所", "ICE", 3, {}), "WP").isSuccess());
        std::vector<IMC::CStoreRevision> revisions;
        QVERIFY(store.revisions(4, "WP", "洲际交易所", revisions).isSuccess());
        QCOMPARE(revisions.size(), std::size_t(2));

        IMC::CStoreRevision restored;
        QVERIFY(store.restoreRevision(revisions[0].id, "周九", restored).isSuccess());
        auto exchanges = Kit::exchanges(store);
        QCOMPARE(exchanges.size(), std::size_t(1));
        QCOMPARE(exchanges[0]->exchangeCode, std::string("ICE"));
        QCOMPARE(exchanges[0]->trackId, 3);
        QCOMPARE(Kit::describe(exchanges[0]->tradeDates), QStringList({"2026-08-03=1"}));

        QVERIFY(store.restoreRevision(revisions[1].id, "周九", restored).isSuccess());
        QVERIFY(Kit::exchanges(store).empty());
        QCOMPARE(restored.operation, 3);

        const utils::TTError missing = store.restoreRevision(9999, "周九", restored);
        QVERIFY(!missing.isSuccess());
        QCOMPARE(QString::fromStdString(missing.errorMsg()), QStringLiteral("修订 9999 不存在"));
    }

    void aDamagedRevisionIsReportedNotRestored()
    {
        CSqlTradingDayBackend store(path);
        QVERIFY(Kit::save(store, 0, "", Kit::makeDays({"2026-08-03"}, 3)).isSuccess());
        QVERIFY(Kit::save(store, 0, "", Kit::makeDays({"2026-08-04"}, 3)).isSuccess());
        // Only someone working on the file behind the store's back can damage a revision.
        inspect(path, QStringLiteral("DROP TRIGGER revision_never_changed"));
        QString error;
        inspect(path, QStringLiteral("UPDATE revision SET days = x'0102' WHERE id = 1"), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));

        IMC::CStoreRevision restored;
        const utils::TTError failed = store.restoreRevision(1, "测试员", restored);
        QVERIFY(!failed.isSuccess());
        QCOMPARE(QString::fromStdString(failed.errorMsg()), QStringLiteral("修订 1 的交易日数据已损坏"));
        QCOMPARE(Kit::describe(Kit::marketDays(store, "0")), QStringList({"2026-08-04=3"}));
        QCOMPARE(revisionCount(path), 2);
    }

    void relativeAddressesResolveAgainstTheWorkingFolder()
    {
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir->path()));
        CSqlTradingDayBackend store(QStringLiteral("sqlite://relative.db"));
        QDir::setCurrent(previous);
        QCOMPARE(store.filePath(), dir->filePath(QStringLiteral("relative.db")));
        QVERIFY(store.open().isSuccess());
        QVERIFY(QFile::exists(dir->filePath(QStringLiteral("relative.db"))));
    }

    void servesTheClientWorkerAlongsideOtherThreads()
    {
        auto store = std::make_shared<CSqlTradingDayBackend>(path);
        auto client = std::make_unique<IMC::CItsmClient>("主系统", store);
        std::mutex mutex;
        std::vector<bool> outcomes;
        std::vector<std::size_t> dayCounts;
        for (int i = 1; i <= 5; ++i) {
            auto request = boost::make_shared<ttservice::COperateDataReq>();
            request->dataType = 12306;
            request->operation = 1;
            auto market = boost::make_shared<ttservice::CItsmTypedMarketTradeDate>();
            market->marketType = 0;
            for (int day = 1; day <= i; ++day) {
                const std::string date =
                    QStringLiteral("2026-08-%1").arg(day, 2, 10, QLatin1Char('0')).toStdString();
                market->tradeDates[date] = Kit::makeDay(date, 3);
            }
            request->records.push_back(market);
            client->operateData_async(
                request,
                [&](const utils::TTError& error, bson::BSONObj) {
                    std::lock_guard<std::mutex> lock(mutex);
                    outcomes.push_back(error.isSuccess());
                },
                "worker");
            auto query = boost::make_shared<ttservice::CItsmQueryDataReq>();
            query->dataType = 12306;
            query->marketParam = "0";
            client->queryData_async(
                query,
                [&](const utils::TTError& error, const IMC::CItsmClient::Records& records, int,
                    bson::BSONObj) {
                    std::lock_guard<std::mutex> lock(mutex);
                    const auto typed =
                        records.empty() ? nullptr
                                        : boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(
                                              records.front());
                    dayCounts.push_back(error.isSuccess() && typed ? typed->tradeDates.size() : 0);
                },
                0);
            // The test thread uses the same store through its own connection meanwhile.
            QVERIFY(Kit::save(*store, 1, "", Kit::makeDays({"2026-08-03"}, 1)).isSuccess());
        }
        QVERIFY(client->waitUntilIdle(30000));
        {
            std::lock_guard<std::mutex> lock(mutex);
            QCOMPARE(outcomes, std::vector<bool>(5, true));
            QCOMPARE(dayCounts, (std::vector<std::size_t>{1, 2, 3, 4, 5}));
        }
        client.reset();
        QCOMPARE(Kit::marketDays(*store, "0").size(), std::size_t(5));
        QCOMPARE(revisionCount(path), 10);
    }

    void twoStoresOnOneFileWriteInTurn()
    {
        auto first = std::make_shared<CSqlTradingDayBackend>(path);
        auto second = std::make_shared<CSqlTradingDayBackend>(path);
        IMC::CItsmClient one("一", first);
        IMC::CItsmClient two("二", second);
        std::mutex mutex;
        QStringList failures;
        auto send = [&](IMC::CItsmClient& client, int marketType) {
            auto request = boost::make_shared<ttservice::COperateDataReq>();
            request->dataType = 12306;
            request->operation = 1;
            auto market = boost::make_shared<ttservice::CItsmTypedMarketTradeDate>();
            market->marketType = marketType;
            market->tradeDates = Kit::makeDays({"2026-08-03", "2026-08-04", "2026-08-05"}, 1);
            request->records.push_back(market);
            client.operateData_async(
                request,
                [&](const utils::TTError& error, bson::BSONObj) {
                    std::lock_guard<std::mutex> lock(mutex);
                    if (!error.isSuccess()) {
                        failures << QString::fromStdString(error.errorMsg());
                    }
                },
                "writer");
        };
        for (int i = 0; i < 20; ++i) {
            send(one, 0);
            send(two, 1);
        }
        QVERIFY(one.waitUntilIdle(60000));
        QVERIFY(two.waitUntilIdle(60000));
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
        QCOMPARE(revisionCount(path), 40);
    }
};

QTEST_GUILESS_MAIN(TestSqlStore)
#include "tst_sqlstore.moc"
