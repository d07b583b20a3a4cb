// The same cases against the in-memory back end and the SQLite store, or, when the tests run against a
// PostgreSQL server (TDS_TEST_PG_ADDRESS), against the store on that server: all must answer alike.
#include "CBackendTestKit.h"
#include "CSqlTradingDayBackend.h"

#include "records/CItsmInstrumentDetail.h"
#include "records/CItsmPlatformInfo.h"
#include "records/CItsmQueryDataReq.h"
#include "records/COperateDataReq.h"
#include "services/CMemoryTradingDayBackend.h"

#include "TestGuards.h"

#include <boost/make_shared.hpp>

#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>
#include <set>

using tds::CBackendTestKit;
using Kit = CBackendTestKit;

Q_DECLARE_METATYPE(std::string)

class TestBackendContract : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::shared_ptr<IMC::ITradingDayBackend> backend;

    static QStringList backendKinds()
    {
        if (!Kit::postgreSqlServer().isEmpty()) {
            return {QStringLiteral("postgresql")};
        }
        return {QStringLiteral("memory"), QStringLiteral("sqlite")};
    }

    static void addBackendColumn()
    {
        QTest::addColumn<QString>("kind");
        for (const QString& kind : backendKinds()) {
            QTest::newRow(qPrintable(kind)) << kind;
        }
    }

    // Runs before every test function: a fresh back end of the row's kind.
    std::shared_ptr<IMC::ITradingDayBackend> create(const QString& kind)
    {
        if (kind == QLatin1String("memory")) {
            auto memory = std::make_shared<IMC::CMemoryTradingDayBackend>();
            memory->seedReferenceData();
            return memory;
        }
        if (kind == QLatin1String("postgresql")) {
            return std::make_shared<IMC::CSqlTradingDayBackend>(
                Kit::freshPostgreSqlDatabase(QStringLiteral("tds_backend_contract")));
        }
        return std::make_shared<IMC::CSqlTradingDayBackend>(dir->filePath(QStringLiteral("store.db")));
    }

    void expectFailureChangesNothing(const std::function<utils::TTError()>& request)
    {
        const QStringList before = Kit::describe(Kit::marketDays(*backend, "0"));
        const std::size_t exchangesBefore = Kit::exchanges(*backend).size();
        const utils::TTError error = request();
        QVERIFY(!error.isSuccess());
        QVERIFY2(!error.errorMsg().empty(), "a failure needs a text for the operator");
        QCOMPARE(Kit::describe(Kit::marketDays(*backend, "0")), before);
        QCOMPARE(Kit::exchanges(*backend).size(), exchangesBefore);
    }

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        QFETCH(QString, kind);
        backend = create(kind);
    }

    void cleanup()
    {
        backend.reset();
        dir.reset();
    }

    void everyMarketStartsEmpty_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<std::string>("market");
        QTest::addColumn<std::string>("platform");
        for (const QString& kind : backendKinds()) {
            const QByteArray prefix = kind.toLatin1();
            QTest::newRow(prefix + " domestic") << kind << std::string("0") << std::string();
            QTest::newRow(prefix + " HK connect") << kind << std::string("1") << std::string();
            QTest::newRow(prefix + " reserved") << kind << std::string("2") << std::string();
            QTest::newRow(prefix + " futures platform") << kind << std::string("3") << std::string("14");
            QTest::newRow(prefix + " rates platform") << kind << std::string("3") << std::string("15");
        }
    }
    void everyMarketStartsEmpty()
    {
        QFETCH(std::string, market);
        QFETCH(std::string, platform);
        Kit::Records records;
        QVERIFY(Kit::query(*backend, market, platform, records).isSuccess());
        QCOMPARE(records.size(), std::size_t(1));
        const auto typed = boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(records.front());
        QVERIFY(typed);
        QCOMPARE(typed->marketType, std::stoi(market));
        QVERIFY(typed->tradeDates.empty());
        QVERIFY(typed->exchangeName.empty());
        QCOMPARE(typed->trackId, -1);
        QVERIFY(Kit::exchanges(*backend).empty());
    }

    void savingAMarketReplacesItsWholeSet_data() { addBackendColumn(); }
    void savingAMarketReplacesItsWholeSet()
    {
        TradeDateMap first = Kit::makeDays({"2026-08-03", "2026-08-04", "2026-08-05"}, 3);
        QVERIFY(Kit::save(*backend, 0, "", first).isSuccess());
        QCOMPARE(Kit::describe(Kit::marketDays(*backend, "0")),
                 QStringList({"2026-08-03=3", "2026-08-04=3", "2026-08-05=3"}));

        TradeDateMap second = Kit::makeDays({"2026-08-05", "2026-09-01"}, 1);
        second["2026-08-06"] = Kit::makeDay("2026-08-06", 2);
        QVERIFY(Kit::save(*backend, 0, "", second).isSuccess());
        QCOMPARE(Kit::describe(Kit::marketDays(*backend, "0")),
                 QStringList({"2026-08-05=1", "2026-08-06=2", "2026-09-01=1"}));

        QVERIFY(Kit::save(*backend, 0, "", TradeDateMap()).isSuccess());
        QVERIFY(Kit::marketDays(*backend, "0").empty());
    }

    void marketsKeepTheirOwnSets_data() { addBackendColumn(); }
    void marketsKeepTheirOwnSets()
    {
        QVERIFY(Kit::save(*backend, 0, "", Kit::makeDays({"2026-08-03"}, 3)).isSuccess());
        QVERIFY(Kit::save(*backend, 1, "", Kit::makeDays({"2026-08-04"}, 1)).isSuccess());
        // The reserved market ignores the platform parameter both ways.
        QVERIFY(Kit::save(*backend, 2, "WP", Kit::makeDays({"2026-08-05"}, 1)).isSuccess());
        QCOMPARE(Kit::describe(Kit::marketDays(*backend, "0")), QStringList({"2026-08-03=3"}));
        QCOMPARE(Kit::describe(Kit::marketDays(*backend, "1")), QStringList({"2026-08-04=1"}));
        QCOMPARE(Kit::describe(Kit::marketDays(*backend, "2", "14")), QStringList({"2026-08-05=1"}));
    }

    void electronicPlatformsAreSeparateSets_data() { addBackendColumn(); }
    void electronicPlatformsAreSeparateSets()
    {
        QVERIFY(Kit::save(*backend, 3, "14", Kit::makeDays({"2026-08-03", "2026-08-04"}, 1)).isSuccess());
        QVERIFY(Kit::save(*backend, 3, "15", Kit::makeDays({"2026-08-10"}, 1)).isSuccess());
        QCOMPARE(Kit::describe(Kit::marketDays(*backend, "3", "14")),
                 QStringList({"2026-08-03=1", "2026-08-04=1"}));
        QCOMPARE(Kit::describe(Kit::marketDays(*backend, "3", "15")), QStringList({"2026-08-10=1"}));

        QVERIFY(Kit::save(*backend, 3, "15", TradeDateMap()).isSuccess());
        QVERIFY(Kit::marketDays(*backend, "3", "15").empty());
        QCOMPARE(Kit::marketDays(*backend, "3", "14").size(), std::size_t(2));
    }

    void dayRecordsRoundTripField_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<std::string>("key");
        QTest::addColumn<std::string>("date");
        QTest::addColumn<std::string>("description");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("sessionFlags");
        for (const QString& kind : backendKinds()) {
            const QByteArray prefix = kind.toLatin1();
            QTest::newRow(prefix + " usual") << kind << std::string("2026-08-03") << std::string("2026-08-03")
                                             << std::string("交易日 2026-08-03") << true << 3;
            QTest::newRow(prefix + " no sessions")
                << kind << std::string("2026-08-04") << std::string("2026-08-04")
                << std::string("交易日 2026-08-04") << true << 0;
            QTest::newRow(prefix + " key from a file")
                << kind << std::string("2024/1/2") << std::string("2024/1/2")
                << std::string("交易日 2024/1/2") << true << 1;
            QTest::newRow(prefix + " unusual texts") << kind << std::string("2026-08-05") << std::string("")
                                                     << std::string("半日市 'a'; \"b\" \\c 😀") << false << 2;
        }
    }
    void dayRecordsRoundTripField()
    {
        QFETCH(std::string, key);
        QFETCH(std::string, date);
        QFETCH(std::string, description);
        QFETCH(bool, valid);
        QFETCH(int, sessionFlags);
        auto day = Kit::makeDay(key, sessionFlags);
        day->date = date;
        day->description = description;
        day->valid = valid;
        day->tradeDate = date + "T";
        TradeDateMap days;
        days[key] = day;
        QVERIFY(Kit::save(*backend, 1, "", days).isSuccess());

        const TradeDateMap answered = Kit::marketDays(*backend, "1");
        QCOMPARE(answered.size(), std::size_t(1));
        const auto& back = *answered.at(key);
        QCOMPARE(back.date, date);
        QCOMPARE(back.description, description);
        QCOMPARE(back.tradeDate, date + "T");
        QCOMPARE(back.valid, valid);
        QCOMPARE(back.sessionFlags, sessionFlags);
    }

    void setsOfEverySizeRoundTrip_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("dayCount");
        for (const QString& kind : backendKinds()) {
            for (int count : {1, 63, 64, 65, 129, 7500}) {
                QTest::newRow(qPrintable(QStringLiteral("%1 %2 days").arg(kind).arg(count))) << kind << count;
            }
        }
    }
    void setsOfEverySizeRoundTrip()
    {
        QFETCH(int, dayCount);
        TradeDateMap days;
        QStringList expected;
        QDate date(2000, 1, 3);
        for (int i = 0; i < dayCount; ++i, date = date.addDays(1)) {
            const std::string key = date.toString(Qt::ISODate).toStdString();
            auto day = Kit::makeDay(key, i % 4);
            QString line = QStringLiteral("%1=%2").arg(QString::fromStdString(key)).arg(i % 4);
            // Every seventh day carries texts of its own, so usual and unusual days interleave.
            if (i % 7 == 3) {
                day->description = "调休 " + key;
                line += QStringLiteral(" description:调休 ") + QString::fromStdString(key);
            }
            days[key] = day;
            expected << line;
        }
        QVERIFY(Kit::save(*backend, 3, "14", days).isSuccess());
        QCOMPARE(Kit::describe(Kit::marketDays(*backend, "3", "14")), expected);
        QVERIFY(Kit::operate(*backend, 1, Kit::makeExchange("芝加哥期货交易所", "CBOT", 2, days), "WP")
                    .isSuccess());
        QCOMPARE(Kit::describe(Kit::exchanges(*backend).at(0)->tradeDates), expected);
    }

    void exchangeSaveCreatesThenReplaces_data() { addBackendColumn(); }
    void exchangeSaveCreatesThenReplaces()
    {
        const int save = IMC::ITradingDayBackend::OperationSave;
        QVERIFY(Kit::operate(*backend, save, Kit::makeExchange("芝加哥商业交易所", "CME", 1, {}), "WP")
                    .isSuccess());
        QVERIFY(Kit::operate(*backend, save,
                             Kit::makeExchange("伦敦金属交易所", "LME", 2, Kit::makeDays({"2026-08-03"}, 1)),
                             "WP")
                    .isSuccess());
        QVERIFY(Kit::operate(*backend, save,
                             Kit::makeExchange("芝加哥商业交易所", "CME2", 3,
                                               Kit::makeDays({"2026-08-04", "2026-08-05"}, 1)),
                             "WP")
                    .isSuccess());

        const auto exchanges = Kit::exchanges(*backend);
        QCOMPARE(exchanges.size(), std::size_t(2));
        QCOMPARE(exchanges[0]->exchangeName, std::string("芝加哥商业交易所"));
        QCOMPARE(exchanges[0]->exchangeCode, std::string("CME2"));
        QCOMPARE(exchanges[0]->trackId, 3);
        QCOMPARE(exchanges[0]->marketType, 4);
        QCOMPARE(Kit::describe(exchanges[0]->tradeDates), QStringList({"2026-08-04=1", "2026-08-05=1"}));
        QCOMPARE(exchanges[1]->exchangeName, std::string("伦敦金属交易所"));
        QCOMPARE(Kit::describe(exchanges[1]->tradeDates), QStringList({"2026-08-03=1"}));
        // Exchanges are not a domestic market.
        QVERIFY(Kit::marketDays(*backend, "0").empty());
    }

    void exchangeDeleteRemovesOnlyThatExchange_data() { addBackendColumn(); }
    void exchangeDeleteRemovesOnlyThatExchange()
    {
        const int save = IMC::ITradingDayBackend::OperationSave;
        const int remove = IMC::ITradingDayBackend::OperationDelete;
        QVERIFY(Kit::operate(*backend, save,
                             Kit::makeExchange("新加坡交易所", "SGX", 1, Kit::makeDays({"2026-08-03"}, 1)),
                             "WP")
                    .isSuccess());
        QVERIFY(
            Kit::operate(*backend, save, Kit::makeExchange("香港交易所", "HKEX", 2, {}), "WP").isSuccess());
        QVERIFY(Kit::operate(*backend, remove, Kit::makeExchange("新加坡交易所", "SGX", 1, {}), "WP")
                    .isSuccess());

        auto exchanges = Kit::exchanges(*backend);
        QCOMPARE(exchanges.size(), std::size_t(1));
        QCOMPARE(exchanges[0]->exchangeName, std::string("香港交易所"));

        expectFailureChangesNothing([&] {
            return Kit::operate(*backend, remove, Kit::makeExchange("新加坡交易所", "SGX", 1, {}), "WP");
        });

        // Added again, it comes back without its old days and after the exchanges that stayed.
        QVERIFY(
            Kit::operate(*backend, save, Kit::makeExchange("新加坡交易所", "SGX", 1, {}), "WP").isSuccess());
        exchanges = Kit::exchanges(*backend);
        QCOMPARE(exchanges.size(), std::size_t(2));
        QCOMPARE(exchanges[1]->exchangeName, std::string("新加坡交易所"));
        QVERIFY(exchanges[1]->tradeDates.empty());
    }

    void awkwardNamesRoundTrip_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<std::string>("name");
        QTest::addColumn<std::string>("code");
        for (const QString& kind : backendKinds()) {
            const QByteArray prefix = kind.toLatin1();
            QTest::newRow(prefix + " quotes")
                << kind << std::string("O'Brien \"交易所\"") << std::string("Q'\"");
            QTest::newRow(prefix + " backslashes")
                << kind << std::string("C:\\交易所\\") << std::string("\\\\");
            QTest::newRow(prefix + " semicolons")
                << kind << std::string("x'); DROP TABLE exchange; --") << std::string(";;");
            QTest::newRow(prefix + " four-byte characters")
                << kind << std::string("𠀀交易所😀") << std::string("\xF0\x9F\x98\x80");
            QTest::newRow(prefix + " percent and underscore")
                << kind << std::string("%_交易所") << std::string("%");
        }
    }
    void awkwardNamesRoundTrip()
    {
        QFETCH(std::string, name);
        QFETCH(std::string, code);
        const TradeDateMap days = Kit::makeDays({"2026-08-03"}, 1);
        QVERIFY(Kit::operate(*backend, 1, Kit::makeExchange(name, code, 5, days), "WP").isSuccess());
        QVERIFY(Kit::operate(*backend, 1, Kit::makeExchange("普通交易所", "N", 1, {}), "WP").isSuccess());

        auto exchanges = Kit::exchanges(*backend);
        QCOMPARE(exchanges.size(), std::size_t(2));
        QCOMPARE(exchanges[0]->exchangeName, name);
        QCOMPARE(exchanges[0]->exchangeCode, code);
        QCOMPARE(Kit::describe(exchanges[0]->tradeDates), QStringList({"2026-08-03=1"}));

        QVERIFY(Kit::operate(*backend, 3, Kit::makeExchange(name, code, 5, {}), "WP").isSuccess());
        exchanges = Kit::exchanges(*backend);
        QCOMPARE(exchanges.size(), std::size_t(1));
        QCOMPARE(exchanges[0]->exchangeName, std::string("普通交易所"));
    }

    void tracksOfBothPlatformKinds_data() { addBackendColumn(); }
    void tracksOfBothPlatformKinds()
    {
        std::set<int> ids;
        for (const std::string kind : {"14", "15"}) {
            Kit::Records records;
            QVERIFY(
                backend->queryReference(IMC::ITradingDayBackend::DataKindTracks, kind, records).isSuccess());
            QVERIFY(records.size() >= 2);
            for (const auto& record : records) {
                const auto track = boost::dynamic_pointer_cast<ttservice::CItsmPlatformInfo>(record);
                QVERIFY(track);
                QVERIFY(!track->platformName.empty());
                QVERIFY2(ids.insert(track->platformId).second, "track ids are unique across both kinds");
            }
        }
        Kit::Records records;
        QVERIFY(!backend->queryReference(IMC::ITradingDayBackend::DataKindTracks, "WP", records).isSuccess());
        QVERIFY(records.empty());
    }

    void instrumentsNameTheOverseasExchanges_data() { addBackendColumn(); }
    void instrumentsNameTheOverseasExchanges()
    {
        Kit::Records records;
        QVERIFY(
            backend->queryReference(IMC::ITradingDayBackend::DataKindInstruments, "", records).isSuccess());
        QMap<QString, QString> names;
        for (const auto& record : records) {
            const auto instrument = boost::dynamic_pointer_cast<ttservice::CItsmInstrumentDetail>(record);
            QVERIFY(instrument && instrument->detail);
            QVERIFY(!instrument->detail->instrumentCode.empty());
            names[QString::fromStdString(instrument->detail->exchangeCode)] =
                QString::fromStdString(instrument->detail->exchangeName);
        }
        const QMap<QString, QString> expected = {{"CME", "芝加哥商业交易所"}, {"CBOT", "芝加哥期货交易所"},
                                                 {"NYMEX", "纽约商业交易所"}, {"COMEX", "纽约商品交易所"},
                                                 {"ICE", "洲际交易所"},       {"LME", "伦敦金属交易所"},
                                                 {"SGX", "新加坡交易所"},     {"HKEX", "香港交易所"},
                                                 {"Eurex", "欧洲期货交易所"}, {"OSE", "大阪交易所"}};
        QCOMPARE(names, expected);
        QVERIFY(records.size() > static_cast<std::size_t>(expected.size()));
    }

    void badQueriesFail_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("dataType");
        QTest::addColumn<std::string>("market");
        QTest::addColumn<std::string>("platform");
        for (const QString& kind : backendKinds()) {
            const QByteArray prefix = kind.toLatin1();
            QTest::newRow(prefix + " track kind as trade dates")
                << kind << 12262 << std::string("0") << std::string();
            QTest::newRow(prefix + " unknown market") << kind << 12306 << std::string("5") << std::string();
            QTest::newRow(prefix + " market with blank")
                << kind << 12306 << std::string(" 0") << std::string();
            QTest::newRow(prefix + " empty market") << kind << 12306 << std::string() << std::string();
            QTest::newRow(prefix + " electronic without platform")
                << kind << 12306 << std::string("3") << std::string();
            QTest::newRow(prefix + " electronic on overseas platform")
                << kind << 12306 << std::string("3") << std::string("WP");
            QTest::newRow(prefix + " overseas without WP")
                << kind << 12306 << std::string("4") << std::string("14");
        }
    }
    void badQueriesFail()
    {
        QFETCH(int, dataType);
        QFETCH(std::string, market);
        QFETCH(std::string, platform);
        ttservice::CItsmQueryDataReq request;
        request.dataType = dataType;
        request.marketParam = market;
        request.platformParam = platform;
        Kit::Records records;
        const utils::TTError error = backend->query(request, records);
        QVERIFY(!error.isSuccess());
        QVERIFY(!error.errorMsg().empty());
        QVERIFY(records.empty());
    }

    void badOperationsFailAndChangeNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("fault");
        const QStringList faults = {"wrong data kind",
                                    "unknown operation",
                                    "no record",
                                    "two records",
                                    "not a typed record",
                                    "null record",
                                    "null day",
                                    "delete a market",
                                    "unknown market",
                                    "electronic on 16",
                                    "exchange without WP",
                                    "exchange without name",
                                    "delete unknown exchange"};
        for (const QString& kind : backendKinds()) {
            for (const QString& fault : faults) {
                QTest::newRow(qPrintable(kind + " " + fault)) << kind << fault;
            }
        }
    }
    void badOperationsFailAndChangeNothing()
    {
        QFETCH(QString, fault);
        QVERIFY(Kit::save(*backend, 0, "", Kit::makeDays({"2026-08-03"}, 3)).isSuccess());
        QVERIFY(Kit::operate(*backend, 1, Kit::makeExchange("大阪交易所", "OSE", 1, {}), "WP").isSuccess());

        ttservice::COperateDataReq request;
        request.dataType = 12306;
        request.operation = 1;
        request.platformParam = "";
        auto market = boost::make_shared<ttservice::CItsmTypedMarketTradeDate>();
        market->marketType = 0;
        market->tradeDates = Kit::makeDays({"2026-09-01"}, 1);
        request.records.push_back(market);
        if (fault == "wrong data kind") {
            request.dataType = 12482;
        } else if (fault == "unknown operation") {
            request.operation = 2;
        } else if (fault == "no record") {
            request.records.clear();
        } else if (fault == "two records") {
            request.records.push_back(market);
        } else if (fault == "not a typed record") {
            request.records = {boost::make_shared<ttservice::CItsmPlatformInfo>()};
        } else if (fault == "null record") {
            request.records = {boost::shared_ptr<ttservice::IData>()};
        } else if (fault == "null day") {
            market->tradeDates["2026-09-02"] = nullptr;
        } else if (fault == "delete a market") {
            request.operation = 3;
        } else if (fault == "unknown market") {
            market->marketType = 7;
        } else if (fault == "electronic on 16") {
            market->marketType = 3;
            request.platformParam = "16";
        } else if (fault == "exchange without WP") {
            request.records = {Kit::makeExchange("大阪交易所", "OSE", 1, Kit::makeDays({"2026-09-01"}, 1))};
        } else if (fault == "exchange without name") {
            request.records = {Kit::makeExchange("", "OSE", 1, {})};
            request.platformParam = "WP";
        } else if (fault == "delete unknown exchange") {
            request.operation = 3;
            request.records = {Kit::makeExchange("不存在的交易所", "X", 1, {})};
            request.platformParam = "WP";
        }
        expectFailureChangesNothing([&] { return backend->operate(request, "测试员"); });
        const auto exchanges = Kit::exchanges(*backend);
        QCOMPARE(exchanges.size(), std::size_t(1));
        QVERIFY(exchanges[0]->tradeDates.empty());
    }

    void badReferenceKindFails_data() { addBackendColumn(); }
    void badReferenceKindFails()
    {
        Kit::Records records;
        const utils::TTError error = backend->queryReference(12306, "", records);
        QVERIFY(!error.isSuccess());
        QVERIFY(!error.errorMsg().empty());
        QVERIFY(records.empty());
    }
};

QTEST_GUILESS_MAIN(TestBackendContract)
#include "tst_backendcontract.moc"
