// One contract for every back end a host may be given: the in-memory one and the SQLite store or, when the
// tests are given a PostgreSQL server (TDS_TEST_PG_ADDRESS), the store on that server. All answer alike.
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

using Kit = tds::CBackendTestKit;
using namespace std::string_literals;

Q_DECLARE_METATYPE(std::string)

namespace {

const int saving = IMC::ITradingDayBackend::OperationSave;
const int deletion = IMC::ITradingDayBackend::OperationDelete;

typedef ttservice::COperateDataReq Request;
typedef ttservice::CItsmTypedMarketTradeDate Market;
// A request sent to a back end: its answer, and the records it answered.
typedef std::function<utils::TTError(IMC::ITradingDayBackend&, Kit::Records&)> Ask;

Ask query(int dataKind, const std::string& market, const std::string& platform)
{
    return [=](IMC::ITradingDayBackend& backend, Kit::Records& records) {
        ttservice::CItsmQueryDataReq request;
        request.dataType = dataKind;
        request.marketParam = market;
        request.platformParam = platform;
        return backend.query(request, records);
    };
}

Ask reference(int dataKind, const std::string& param)
{
    return [=](IMC::ITradingDayBackend& backend, Kit::Records& records) {
        return backend.queryReference(dataKind, param, records);
    };
}

// The save of a set of marketType, made a bad one by fault.
Ask badSave(int marketType, const std::function<void(Request&, Market&)>& fault)
{
    return [=](IMC::ITradingDayBackend& backend, Kit::Records&) {
        const auto request = Kit::marketSave(marketType, "", Kit::makeDays({"2026-09-01"}, 1));
        fault(*request, *boost::static_pointer_cast<Market>(request->records.front()));
        return backend.operate(*request, "测试员");
    };
}

// Market type and the platform parameter a query names each market set with.
const std::vector<std::pair<int, std::string>> marketSets = {
    {0, ""}, {1, ""}, {2, "14"}, {3, "14"}, {3, "15"}};

} // namespace

Q_DECLARE_METATYPE(Ask)

class TestBackendContract : public QObject
{
    Q_OBJECT

public:
    explicit TestBackendContract(const QString& kind)
        : kind(kind)
    {}

private:
    const QString kind;
    std::unique_ptr<QTemporaryDir> dir;
    std::shared_ptr<IMC::ITradingDayBackend> backend;

    // Every market set, then every exchange, as text.
    QStringList everything()
    {
        QStringList lines;
        for (const auto& set : marketSets) {
            const QStringList days = Kit::days(*backend, std::to_string(set.first), set.second);
            lines << QStringLiteral("%1/%2: ").arg(set.first).arg(set.second.c_str()) +
                         days.join(QLatin1Char(' '));
        }
        return lines + Kit::exchanges(*backend);
    }

private slots:
    void initTestCase()
    {
        tds::failOnUnexpectedWarnings();
        qInfo("back end: %s", qPrintable(kind));
    }

    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        if (kind == QLatin1String("memory")) {
            auto memory = std::make_shared<IMC::CMemoryTradingDayBackend>();
            memory->seedReferenceData();
            backend = memory;
        } else {
            backend = std::make_shared<IMC::CSqlTradingDayBackend>(
                Kit::freshStore(dir->path(), QStringLiteral("tds_backend_contract")));
        }
    }

    void cleanup()
    {
        backend.reset();
        dir.reset();
    }

    void savingReplacesTheWholeSetOfThatMarketOnly_data()
    {
        QTest::addColumn<int>("market");
        QTest::addColumn<std::string>("platform");
        QTest::addColumn<int>("line");
        QTest::newRow("domestic") << 0 << ""s << 0;
        QTest::newRow("HK connect") << 1 << ""s << 1;
        QTest::newRow("reserved, platform ignored") << 2 << "WP"s << 2;
        QTest::newRow("futures platform") << 3 << "14"s << 3;
        QTest::newRow("rates platform") << 3 << "15"s << 4;
    }
    void savingReplacesTheWholeSetOfThatMarketOnly()
    {
        QFETCH(int, market);
        QFETCH(std::string, platform);
        QFETCH(int, line);
        const QStringList empty = {"0/: ", "1/: ", "2/14: ", "3/14: ", "3/15: "};
        QCOMPARE(everything(), empty);

        QVERIFY(Kit::save(*backend, market, platform, Kit::makeDays({"2026-08-03", "2026-08-04"}, 3))
                    .isSuccess());
        TradeDateMap second = Kit::makeDays({"2026-08-04", "2026-09-01"}, 1);
        second["2026-08-06"] = Kit::makeDay("2026-08-06", 2);
        QVERIFY(Kit::save(*backend, market, platform, second).isSuccess());
        QStringList expected = empty;
        expected[line] += QStringLiteral("2026-08-04=1 2026-08-06=2 2026-09-01=1");
        QCOMPARE(everything(), expected);

        QVERIFY(Kit::save(*backend, market, platform, TradeDateMap()).isSuccess());
        QCOMPARE(everything(), empty);
    }

    // Thirty years: more rows than one statement holds, usual and unusual days interleaved.
    void daySetsComeBackWhole()
    {
        TradeDateMap days;
        QDate date(2000, 1, 3);
        for (int i = 0; i < 7500; ++i, date = date.addDays(1)) {
            const std::string key = date.toString(Qt::ISODate).toStdString();
            days[key] = Kit::makeDay(key, i % 4);
            if (i % 7 == 3) {
                days[key]->description = "调休 " + key;
            }
        }
        days["2024/1/2"] = Kit::makeDay("2024/1/2", 1);
        auto unusual = Kit::makeDay("2099-12-31", 2);
        unusual->date = "";
        unusual->description = "半日市 'a'; \"b\" \\c 😀";
        unusual->valid = false;
        unusual->tradeDate = "2099-12-31T";
        days["2099-12-31"] = unusual;
        const QStringList expected = Kit::describe(days);

        QVERIFY(Kit::save(*backend, 3, "14", days).isSuccess());
        QCOMPARE(Kit::days(*backend, "3", "14"), expected);
        QVERIFY(Kit::operate(*backend, saving, Kit::makeExchange("芝加哥期货交易所", "CBOT", 2, days))
                    .isSuccess());
        QCOMPARE(Kit::exchanges(*backend),
                 QStringList(QStringLiteral("芝加哥期货交易所 CBOT 2: ") + expected.join(QLatin1Char(' '))));
    }

    void exchangesAreSavedReplacedAndDeletedByName_data()
    {
        QTest::addColumn<std::string>("name");
        QTest::addColumn<std::string>("code");
        auto row = [](const char* name, const char* exchange, const char* code) {
            QTest::newRow(name) << std::string(exchange) << std::string(code);
        };
        row("plain", "新加坡交易所", "SGX");
        row("quotes", "O'Brien \"交易所\"", "Q'\"");
        row("backslashes", "C:\\交易所\\", "\\\\");
        row("statement in the name", "x'); DROP TABLE exchange; --", ";;");
        row("four-byte characters", "𠀀交易所😀", "😀");
        row("percent and underscore", "%_交易所", "%");
    }
    void exchangesAreSavedReplacedAndDeletedByName()
    {
        QFETCH(std::string, name);
        QFETCH(std::string, code);
        const QString shown = QString::fromStdString(name + " " + code);
        const TradeDateMap days = Kit::makeDays({"2026-08-03"}, 1);
        QVERIFY(Kit::operate(*backend, saving, Kit::makeExchange(name, code, 5, days)).isSuccess());
        QVERIFY(Kit::operate(*backend, saving, Kit::makeExchange("香港交易所", "HKEX", 1, {})).isSuccess());
        // Saved again under its name: code, track and days are replaced, its place is kept.
        QVERIFY(Kit::operate(
                    *backend, saving,
                    Kit::makeExchange(name, code + "2", 3, Kit::makeDays({"2026-08-04", "2026-08-05"}, 1)))
                    .isSuccess());
        QCOMPARE(Kit::exchanges(*backend),
                 QStringList({shown + "2 3: 2026-08-04=1 2026-08-05=1", "香港交易所 HKEX 1: "}));
        QVERIFY(Kit::days(*backend, "0").isEmpty());

        QVERIFY(Kit::operate(*backend, deletion, Kit::makeExchange(name, "", 0, {})).isSuccess());
        const QStringList left = everything();
        QCOMPARE(Kit::exchanges(*backend), QStringList("香港交易所 HKEX 1: "));
        const utils::TTError missing = Kit::operate(*backend, deletion, Kit::makeExchange(name, code, 5, {}));
        QCOMPARE(QString::fromStdString(missing.errorMsg()),
                 QStringLiteral("交易所 %1 不存在").arg(QString::fromStdString(name)));
        QCOMPARE(everything(), left);

        // Added again, it comes back after the exchanges that stayed, without its old days.
        QVERIFY(Kit::operate(*backend, saving, Kit::makeExchange(name, code, 5, {})).isSuccess());
        QCOMPARE(Kit::exchanges(*backend), QStringList({"香港交易所 HKEX 1: ", shown + " 5: "}));
    }

    void instrumentsNameTheOverseasExchanges()
    {
        Kit::Records records;
        QVERIFY(
            backend->queryReference(IMC::ITradingDayBackend::DataKindInstruments, "", records).isSuccess());
        QSet<QString> exchanges;
        for (const auto& record : records) {
            const auto& detail =
                *boost::dynamic_pointer_cast<ttservice::CItsmInstrumentDetail>(record)->detail;
            exchanges << QString::fromStdString(detail.exchangeCode + " " + detail.exchangeName);
        }
        QVERIFY(records.size() > 10);
        QCOMPARE(exchanges, QSet<QString>({"CME 芝加哥商业交易所", "CBOT 芝加哥期货交易所",
                                           "NYMEX 纽约商业交易所", "COMEX 纽约商品交易所", "ICE 洲际交易所",
                                           "LME 伦敦金属交易所", "SGX 新加坡交易所", "HKEX 香港交易所",
                                           "Eurex 欧洲期货交易所", "OSE 大阪交易所"}));
    }

    void badRequestsFailWithTheirReasonAndChangeNothing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Ask>("ask");
        auto row = [](const char* name, const char* text, const Ask& ask) {
            QTest::newRow(name) << QString(text) << ask;
        };
        row("tracks as trade dates", "不支持的数据类型: 12262", query(12262, "0", ""));
        row("unknown market", "不支持的市场类型: 5", query(12306, "5", ""));
        row("market with blank", "不支持的市场类型:  0", query(12306, " 0", ""));
        row("no market", "不支持的市场类型: ", query(12306, "", ""));
        row("electronic without platform", "电子盘市场需要平台参数 14 或 15, 收到: ", query(12306, "3", ""));
        row("electronic on WP", "电子盘市场需要平台参数 14 或 15, 收到: WP", query(12306, "3", "WP"));
        row("overseas without WP", "境外市场的平台参数应为 WP, 收到: 14", query(12306, "4", "14"));
        row("tracks of WP", "不支持的赛道平台类型: WP", reference(12262, "WP"));
        row("trade dates as reference", "不支持的数据类型: 12306", reference(12306, ""));
        row("save of another data kind", "不支持的数据类型: 12482",
            badSave(0, [](Request& r, Market&) { r.dataType = 12482; }));
        row("unknown operation", "不支持的操作类型: 2",
            badSave(0, [](Request& r, Market&) { r.operation = 2; }));
        row("no record", "操作请求中没有记录", badSave(0, [](Request& r, Market&) { r.records.clear(); }));
        row("two records", "操作请求只能包含一条记录",
            badSave(0, [](Request& r, Market&) { r.records.push_back(r.records[0]); }));
        row("not a typed record", "操作请求中的记录不是市场交易日记录", badSave(0, [](Request& r, Market&) {
                r.records = {boost::make_shared<ttservice::CItsmPlatformInfo>()};
            }));
        row("null record", "操作请求中的记录不是市场交易日记录",
            badSave(0, [](Request& r, Market&) { r.records = {nullptr}; }));
        row("null day", "交易日 2026-09-02 的记录为空",
            badSave(0, [](Request&, Market& m) { m.tradeDates["2026-09-02"] = nullptr; }));
        row("delete of a market", "只能删除境外交易所",
            badSave(0, [](Request& r, Market&) { r.operation = deletion; }));
        row("unknown market type", "不支持的市场类型: 7", badSave(7, [](Request&, Market&) {}));
        row("electronic on 16", "电子盘市场需要平台参数 14 或 15, 收到: 16",
            badSave(3, [](Request& r, Market&) { r.platformParam = "16"; }));
        row("exchange without WP", "境外市场的平台参数应为 WP, 收到: ", badSave(4, [](Request&, Market& m) {
                m.exchangeName = "大阪交易所";
            }));
        row("exchange without name", "交易所名称不能为空",
            badSave(4, [](Request& r, Market&) { r.platformParam = "WP"; }));
    }
    void badRequestsFailWithTheirReasonAndChangeNothing()
    {
        QFETCH(Ask, ask);
        QVERIFY(Kit::save(*backend, 0, "", Kit::makeDays({"2026-08-03"}, 3)).isSuccess());
        QVERIFY(Kit::operate(*backend, saving, Kit::makeExchange("大阪交易所", "OSE", 1, {})).isSuccess());
        const QStringList before = everything();
        Kit::Records records;
        const utils::TTError error = ask(*backend, records);
        QVERIFY(!error.isSuccess());
        QTEST(QString::fromStdString(error.errorMsg()), "text");
        QVERIFY(records.empty());
        QCOMPARE(everything(), before);
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList kinds =
        Kit::postgreSqlServer().isEmpty() ? QStringList({"memory", "sqlite"}) : QStringList({"postgresql"});
    int failures = 0;
    for (const QString& kind : kinds) {
        TestBackendContract contract(kind);
        failures += QTest::qExec(&contract, argc, argv);
    }
    return failures;
}

#include "tst_backendcontract.moc"
