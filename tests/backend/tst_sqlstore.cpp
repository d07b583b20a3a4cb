// What the store keeps beyond the back-end contract, on a SQLite file or, when the tests are given a
// PostgreSQL server (TDS_TEST_PG_ADDRESS), on a database of that server: whole saves or none, desks saving
// at once, hosts creating one store together, stores that cannot be used, revisions and restores, right
// 10615, and a server that goes away and comes back.
#include "CBackendTestKit.h"
#include "CSqlTradingDayBackend.h"
#include "CStoreAddress.h"

#include "records/CItsmQueryDataReq.h"
#include "services/CItsmClient.h"

#include "CTestServer.h"
#include "TestGuards.h"

#include <boost/make_shared.hpp>

#include <QCryptographicHash>
#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <map>
#include <memory>

using Kit = tds::CBackendTestKit;
using IMC::CSqlTradingDayBackend;

namespace {

const int save = IMC::ITradingDayBackend::OperationSave;
const int deletion = IMC::ITradingDayBackend::OperationDelete;

bool onPostgreSql()
{
    return !Kit::postgreSqlServer().isEmpty();
}

// Statements that make every insert of day key into market_day fail inside the database.
QStringList injectedFault(const QString& key)
{
    if (onPostgreSql()) {
        return {
            QStringLiteral(
                "CREATE FUNCTION injected_fault() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN IF "
                "NEW.day_key = '%1' THEN RAISE EXCEPTION 'injected fault'; END IF; RETURN NEW; END$$")
                .arg(key),
            QStringLiteral("CREATE TRIGGER injected_fault BEFORE INSERT ON market_day FOR EACH ROW EXECUTE "
                           "FUNCTION injected_fault()")};
    }
    return {
        QStringLiteral("CREATE TRIGGER injected_fault BEFORE INSERT ON market_day WHEN NEW.day_key = '%1' "
                       "BEGIN SELECT RAISE(ABORT, 'injected fault'); END")
            .arg(key)};
}

QString errorOf(const utils::TTError& error)
{
    return QString::fromStdString(error.errorMsg());
}

QString line(const IMC::CStoreRevision& revision)
{
    QString text = QStringLiteral("%1 %2 %3 %4")
                       .arg(revision.id)
                       .arg(QString::fromStdString(revision.operatorName))
                       .arg(revision.operation)
                       .arg(revision.dayCount);
    if (revision.marketType == 4) {
        text +=
            QStringLiteral(" %1 %2").arg(QString::fromStdString(revision.exchangeCode)).arg(revision.trackId);
    }
    if (revision.restoredFrom != 0) {
        text += QStringLiteral(" from %1").arg(revision.restoredFrom);
    }
    return text;
}

// "id operator operation dayCount [code track] [from id]" per revision of one market or exchange.
QStringList history(CSqlTradingDayBackend& store, int market, const std::string& platform,
                    const std::string& exchange = {})
{
    std::vector<IMC::CStoreRevision> revisions;
    const utils::TTError error = store.revisions(market, platform, exchange, revisions);
    if (!error.isSuccess()) {
        QTest::qFail(error.errorMsg().c_str(), __FILE__, __LINE__);
    }
    QStringList lines;
    for (const IMC::CStoreRevision& revision : revisions) {
        lines << line(revision);
    }
    return lines;
}

} // namespace

class TestSqlStore : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString address;

    static boost::shared_ptr<ttservice::CItsmQueryDataReq> marketQuery()
    {
        auto request = boost::make_shared<ttservice::CItsmQueryDataReq>();
        request->dataType = IMC::ITradingDayBackend::DataKindTradeDates;
        request->marketParam = "0";
        return request;
    }

    static boost::shared_ptr<ttservice::CItsmQueryDataReq> exchangeQuery()
    {
        auto request = marketQuery();
        request->marketParam = "4";
        request->platformParam = "WP";
        return request;
    }

    static boost::shared_ptr<ttservice::COperateDataReq> exchangeOperation(int operation,
                                                                           const TradeDateMap& days)
    {
        auto request = boost::make_shared<ttservice::COperateDataReq>();
        request->dataType = IMC::ITradingDayBackend::DataKindTradeDates;
        request->operation = operation;
        request->platformParam = "WP";
        request->records.push_back(Kit::makeExchange("CME", "CME", 1, days));
        return request;
    }

    // Keeps an operation's failure text in text; empty on success.
    static IMC::CItsmClient::OperateCallback refusalCollector(std::string& text)
    {
        return [&text](const utils::TTError& error, bson::BSONObj) { text = error.errorMsg(); };
    }

    // What a refused open must leave alone: the file's bytes, or the database's tables.
    QString fingerprint()
    {
        if (!onPostgreSql()) {
            QFile file(address);
            return file.open(QIODevice::ReadOnly)
                       ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex()
                       : QStringLiteral("no file");
        }
        QVariant tables;
        const QString failure =
            Kit::execute(address,
                         {QStringLiteral("SELECT string_agg(table_name, ',' ORDER BY table_name) FROM "
                                         "information_schema.tables WHERE table_schema = current_schema()")},
                         &tables);
        return failure + tables.toString();
    }

private slots:
    void initTestCase()
    {
        // Qt's complaint when a statement cannot be released on a connection the server broke off.
        tds::failOnUnexpectedWarnings({QStringLiteral("Unable to free statement")});
    }

    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        address = Kit::freshStore(dir->path(), QStringLiteral("tds_sql_store"));
    }

    void cleanup()
    {
        dir.reset();
        // The outage test may have failed with the server stopped.
        QVERIFY(!tds::CTestServer::isGiven() || tds::CTestServer::start());
    }

    void aSaveFailingHalfwayLeavesNothingBehind()
    {
        CSqlTradingDayBackend store(address);
        QVERIFY(Kit::save(store, 0, "", Kit::makeDays({"2026-08-03", "2026-08-04"}, 3)).isSuccess());
        QCOMPARE(Kit::execute(address, injectedFault(QStringLiteral("2026-08-20"))), QString());

        // The market's old days are already deleted when the fault strikes.
        const QString failure =
            errorOf(Kit::save(store, 0, "", Kit::makeDays({"2026-08-10", "2026-08-20"}, 1)));
        QVERIFY2(failure.startsWith(QStringLiteral("交易日数据库操作失败：")) &&
                     failure.contains("injected fault"),
                 qPrintable(failure));
        QCOMPARE(Kit::days(store, "0"), QStringList({"2026-08-03=3", "2026-08-04=3"}));
        QCOMPARE(history(store, 0, ""), QStringList("1 测试员 1 2"));

        // The same connection goes on working once the fault is gone.
        QCOMPARE(Kit::execute(address, {QStringLiteral("DROP TRIGGER injected_fault") +
                                        (onPostgreSql() ? QStringLiteral(" ON market_day") : QString())}),
                 QString());
        QVERIFY(Kit::save(store, 0, "", Kit::makeDays({"2026-08-10", "2026-08-20"}, 1)).isSuccess());
        QCOMPARE(Kit::days(store, "0"), QStringList({"2026-08-10=1", "2026-08-20=1"}));
    }

    // Two desks that read the same state save at once: one save goes through, the other is refused, never a
    // mix of both. The desks open the new store together, too: it is created once, in WAL mode on SQLite.
    void twoDesksSavingOneMarketAtOnceNeverMixTheirMaps()
    {
        QStringList dates;
        for (QDate day(2020, 1, 1); dates.size() < 400; day = day.addDays(1)) {
            dates << day.toString(Qt::ISODate);
        }
        // Overlapping sets of other sizes and sessions, so that any mix of the two shows.
        const TradeDateMap mapA = Kit::makeDays(dates, 1);
        const TradeDateMap mapB = Kit::makeDays(dates.mid(150), 3);
        IMC::CItsmClient deskA("甲", std::make_shared<CSqlTradingDayBackend>(address));
        IMC::CItsmClient deskB("乙", std::make_shared<CSqlTradingDayBackend>(address));
        CSqlTradingDayBackend observer(address);
        std::string refusalA;
        std::string refusalB;
        for (int round = 1; round <= 8; ++round) {
            for (auto* desk : {&deskA, &deskB}) {
                desk->queryData_async(marketQuery(), {}, 0);
                QVERIFY(desk->waitUntilIdle(10000));
            }
            refusalA = refusalB = "-";
            deskA.operateData_async(Kit::marketSave(0, "", mapA), refusalCollector(refusalA), "甲");
            deskB.operateData_async(Kit::marketSave(0, "", mapB), refusalCollector(refusalB), "乙");
            QVERIFY(deskA.waitUntilIdle(60000) && deskB.waitUntilIdle(60000));
            const bool aWon = refusalA.empty();
            QVERIFY2(aWon != refusalB.empty(), (refusalA + " / " + refusalB).c_str());
            QVERIFY((aWon ? refusalB : refusalA).find(aWon ? "交易日已被 甲 于" : "交易日已被 乙 于") == 0);
            QCOMPARE(Kit::days(observer, "0"), Kit::describe(aWon ? mapA : mapB));
            const QStringList revisions = history(observer, 0, "");
            QCOMPARE(revisions.size(), round);
            QVERIFY(revisions.last().endsWith(aWon ? " 甲 1 400" : " 乙 1 250"));
        }
        if (!onPostgreSql()) {
            QVariant journal;
            QCOMPARE(Kit::execute(address, {QStringLiteral("PRAGMA journal_mode")}, &journal), QString());
            QCOMPARE(journal.toString(), QStringLiteral("wal"));
        }
    }

    // Desks 甲 and 乙 each read, save or delete one subject, in the row's order ("!" marks a step the store
    // refuses). A refused step reports who changed what when, and changes nothing.
    void aChangeBasedOnAnOlderStateIsRefused_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("steps");
        QTest::newRow("market changed meanwhile") << "market"
                                                  << "甲 read,乙 read,乙 save,甲 save!";
        QTest::newRow("market read again") << "market"
                                           << "甲 read,乙 read,乙 save,甲 read,甲 save";
        QTest::newRow("market saved twice") << "market"
                                            << "甲 read,甲 save,甲 save,乙 save!";
        QTest::newRow("market never read") << "market"
                                           << "乙 save,甲 save!,甲 read,甲 save";
        QTest::newRow("exchange changed meanwhile") << "exchange"
                                                    << "甲 add,乙 read,甲 save,乙 save!";
        QTest::newRow("exchange deleted meanwhile") << "exchange"
                                                    << "甲 add,乙 read,甲 delete,乙 save!";
        QTest::newRow("exchange saved twice") << "exchange"
                                              << "甲 add,甲 save,甲 save,甲 delete";
        QTest::newRow("exchange added again") << "exchange"
                                              << "甲 add,甲 delete,甲 add";
        QTest::newRow("exchange added meanwhile") << "exchange"
                                                  << "乙 read,甲 add,乙 add!,乙 delete!";
        QTest::newRow("exchange added after a delete") << "exchange"
                                                       << "甲 add,乙 read,乙 delete,甲 read,甲 add";
        QTest::newRow("list read again") << "exchange"
                                         << "甲 add,乙 read,甲 save,乙 read,乙 delete";
    }
    void aChangeBasedOnAnOlderStateIsRefused()
    {
        QFETCH(QString, subject);
        QFETCH(QString, steps);
        const bool market = subject == QLatin1String("market");
        std::map<QString, std::unique_ptr<IMC::CItsmClient>> desks;
        for (const char* name : {"甲", "乙"}) {
            desks[QString::fromUtf8(name)] =
                std::make_unique<IMC::CItsmClient>(name, std::make_shared<CSqlTradingDayBackend>(address));
        }
        CSqlTradingDayBackend observer(address);
        auto state = [&] {
            return market ? Kit::days(observer, "0") + history(observer, 0, "")
                          : Kit::exchanges(observer) + history(observer, 4, "WP", "CME");
        };
        int saves = 0;
        for (const QString& step : steps.split(QLatin1Char(','))) {
            const QString desk = step.section(QLatin1Char(' '), 0, 0);
            const QString action = step.section(QLatin1Char(' '), 1).remove(QLatin1Char('!'));
            const QStringList before = state();
            std::string refusal = "-";
            IMC::CItsmClient& client = *desks.at(desk);
            const TradeDateMap days = Kit::makeDays({QStringLiteral("2026-08-%1").arg(10 + ++saves)}, 1);
            if (action == QLatin1String("read")) {
                client.queryData_async(market ? marketQuery() : exchangeQuery(), {}, 0);
            } else if (market) {
                client.operateData_async(Kit::marketSave(0, "", days), refusalCollector(refusal),
                                         desk.toStdString());
            } else {
                client.operateData_async(
                    exchangeOperation(action == QLatin1String("delete") ? deletion : save,
                                      action == QLatin1String("add") ? TradeDateMap() : days),
                    refusalCollector(refusal), desk.toStdString());
            }
            QVERIFY(client.waitUntilIdle(10000));
            if (!step.endsWith(QLatin1Char('!'))) {
                QVERIFY2(refusal == "-" || refusal.empty(),
                         qPrintable(step + ": " + QString::fromStdString(refusal)));
                continue;
            }
            const QStringList revisions =
                market ? history(observer, 0, "") : history(observer, 4, "WP", "CME");
            QVERIFY2(!revisions.isEmpty(), qPrintable(step));
            IMC::CStoreRevision latest;
            TradeDateMap kept;
            QVERIFY(observer.revisionDays(revisions.last().section(' ', 0, 0).toLongLong(), latest, kept)
                        .isSuccess());
            QCOMPARE(QString::fromStdString(refusal),
                     QStringLiteral("交易日已被 %1 于 %2 修改（修订 %3），请重新刷新后再保存")
                         .arg(QString::fromStdString(latest.operatorName),
                              latest.savedAt.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                         .arg(latest.id));
            QCOMPARE(state(), before);
        }
    }

    // A store refuses a database of another program or of a newer version, and an address that names no
    // store, with the reason, and leaves the store's database as it was.
    void storesThatCannotBeUsedAreRefusedUntouched_data()
    {
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("text");
        QTest::newRow("other program's tables") << "foreign" << QStringLiteral("其他程序的");
        QTest::newRow("newer store") << "newer"
                                     << QStringLiteral("交易日数据库的版本 99 比本程序支持的版本 3 新");
        QTest::newRow("no address") << "  " << QStringLiteral("数据库地址为空");
        QTest::newRow("memory") << ":memory:" << QStringLiteral("交易日数据库必须是文件，不能是内存数据库");
        QTest::newRow("other scheme")
            << "mysql://ops@db/days" << QStringLiteral("不支持的数据库地址 mysql://ops@db/days");
        QTest::newRow("no user") << "postgresql://db/days"
                                 << QStringLiteral("数据库地址 postgresql://db/days 缺少用户名");
        QTest::newRow("no database") << "postgresql://ops@db"
                                     << QStringLiteral("数据库地址 postgresql://ops@db 缺少数据库名");
        QTest::newRow("bad port") << "postgresql://ops@db:x/days"
                                  << QStringLiteral("数据库地址 postgresql://ops@db:x/days 格式不正确");
        // A server address that cannot be reached names the server as the store understood it.
        QTest::newRow("server unreachable")
            << " POSTGRES://ops@127.0.0.1/days "
            << QStringLiteral("交易日数据库无法连接: postgresql://ops@127.0.0.1:5432/days: ");
        QTest::newRow("parameters") << "postgresql://ops@db/d?ssl=1"
                                    << QStringLiteral("数据库地址 postgresql://ops@db/d?ssl=1 不能带参数");
    }
    void storesThatCannotBeUsedAreRefusedUntouched()
    {
        QFETCH(QString, opened);
        QFETCH(QString, text);
        if (opened == QLatin1String("foreign")) {
            QCOMPARE(Kit::execute(address, {QStringLiteral("CREATE TABLE customers (id INTEGER)")}),
                     QString());
        } else if (opened == QLatin1String("newer")) {
            QVERIFY(CSqlTradingDayBackend(address).open().isSuccess());
            // Out of WAL mode on SQLite, so that the file alone holds the store.
            QCOMPARE(Kit::execute(address, onPostgreSql()
                                               ? QStringList("UPDATE store_identity SET schema_version = 99")
                                               : QStringList({"PRAGMA user_version = 99",
                                                              "PRAGMA journal_mode = DELETE"})),
                     QString());
        }
        const bool ofStore = opened == QLatin1String("foreign") || opened == QLatin1String("newer");
        const QString before = fingerprint();

        CSqlTradingDayBackend store(ofStore ? address : opened);
        const QString failure = errorOf(store.open());
        const QString context =
            QStringLiteral("无法打开交易日数据库 %1: ").arg(IMC::CStoreAddress::parse(address).displayText());
        QVERIFY2(failure.startsWith(ofStore ? context : text) && failure.contains(text), qPrintable(failure));
        QCOMPARE(errorOf(Kit::save(store, 0, "", Kit::makeDays({"2026-08-03"}, 1))), failure);
        QCOMPARE(fingerprint(), before);
    }

    void maintenanceRightDecidesWhoMayChangeDays_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("rights");
        QTest::addColumn<QString>("operatorName");
        QTest::addColumn<bool>("allowed");
        auto row = [](const char* name, const char* change, const QString& rights, const char* operatorName,
                      bool allowed) {
            QTest::newRow(name) << change << rights.split(QLatin1Char(','), Qt::SkipEmptyParts)
                                << operatorName << allowed;
        };
        row("no maintainer yet", "save market", "", "bob", true);
        row("no maintainer, other rights", "delete exchange", "+bob 10001", "bob", true);
        row("save of a market without", "save market", "+alice 10615,+bob 10001", "bob", false);
        row("save of an exchange without", "save exchange", "+alice 10615", "bob", false);
        row("delete of an exchange without", "delete exchange", "+alice 10615", "bob", false);
        row("restore without", "restore", "+alice 10615", "bob", false);
        row("name in another case", "save market", "+alice 10615", "Alice", false);
        row("restore with", "restore", "+alice 10615", "alice", true);
        row("granted twice", "save exchange", "+bob 10615,+bob 10615", "bob", true);
        row("revoked", "save market", "+alice 10615,+bob 10615,-bob 10615", "bob", false);
        row("last grant revoked", "save exchange", "+alice 10615,-alice 10615", "bob", false);
        row("last grant revoked, its holder", "restore", "+alice 10615,-alice 10615", "alice", false);
        row("granted again", "save market", "+alice 10615,-alice 10615,+bob 10615", "bob", true);
        // "upgrade": the store goes back to the version before the first-start rule could end, and is opened.
        row("upgraded with a maintainer", "save market", "+alice 10615,upgrade,-alice 10615", "bob", false);
        row("upgraded without one", "save market", "+bob 10001,upgrade", "bob", true);
    }
    void maintenanceRightDecidesWhoMayChangeDays()
    {
        QFETCH(QString, change);
        QFETCH(QStringList, rights);
        QFETCH(QString, operatorName);
        QFETCH(bool, allowed);
        CSqlTradingDayBackend store(address);
        QVERIFY(Kit::save(store, 0, "", Kit::makeDays({"2026-08-03"}, 1), "alice").isSuccess());
        QVERIFY(Kit::save(store, 0, "", Kit::makeDays({"2026-08-04"}, 1), "alice").isSuccess());
        QVERIFY(Kit::operate(store, save, Kit::makeExchange("CME", "CME", 1, {}), "alice").isSuccess());
        // Granted and revoked through another connection while the desk's store is open, as tradingday-ctl
        // does.
        CSqlTradingDayBackend admin(address);
        for (const QString& grant : rights) {
            if (grant == QLatin1String("upgrade")) {
                const QString toVersion2 =
                    onPostgreSql() ? QStringLiteral("UPDATE store_identity SET schema_version = 2")
                                   : QStringLiteral("PRAGMA user_version = 2");
                QCOMPARE(Kit::execute(address, {QStringLiteral("DROP TABLE store_fact"), toVersion2}),
                         QString());
                QVERIFY(CSqlTradingDayBackend(address).open().isSuccess());
                continue;
            }
            const auto apply =
                grant[0] == '+' ? &CSqlTradingDayBackend::grantRight : &CSqlTradingDayBackend::revokeRight;
            QVERIFY(
                (admin.*apply)(grant.mid(1).section(' ', 0, 0).toStdString(), grant.section(' ', 1).toInt())
                    .isSuccess());
        }
        const std::string name = operatorName.toStdString();
        QSet<int> held;
        QVERIFY(store.rightsOf(name, held).isSuccess());
        QCOMPARE(held.contains(10615), allowed);
        auto state = [&] {
            return Kit::days(store, "0") + Kit::exchanges(store) + history(store, 0, "") +
                   history(store, 4, "WP", "CME");
        };
        const QStringList before = state();

        IMC::CStoreRevision restored;
        const utils::TTError error =
            change == "save market" ? Kit::save(store, 0, "", Kit::makeDays({"2026-09-01"}, 1), name)
            : change == "save exchange"
                ? Kit::operate(store, save, Kit::makeExchange("CME", "XCME", 2, {}), name)
            : change == "delete exchange"
                ? Kit::operate(store, deletion, Kit::makeExchange("CME", "", 0, {}), name)
                : store.restoreRevision(1, name, restored);
        const QString byOperator = QStringLiteral(" %1 ").arg(operatorName);
        if (allowed) {
            // Made, and kept as a revision of the operator.
            QVERIFY2(error.isSuccess(), error.errorMsg().c_str());
            QVERIFY(state() != before);
            QCOMPARE(state().filter(byOperator).size(), before.filter(byOperator).size() + 1);
        } else {
            QCOMPARE(error.code(), static_cast<int>(IMC::CStoreException::Forbidden));
            QCOMPARE(errorOf(error), QStringLiteral("操作员 %1 没有交易日维护权限(10615)").arg(operatorName));
            QCOMPARE(state(), before);
        }
    }

    void revisionsKeepEveryChangeAndRestoreMakesOneCurrentAgain()
    {
        CSqlTradingDayBackend store(address);
        TradeDateMap first = Kit::makeDays({"2026-08-03", "2026-08-04"}, 3);
        first["2026-08-03"]->description = "台风停市后恢复";
        QVERIFY(Kit::save(store, 3, "14", first, "张三").isSuccess());
        QVERIFY(Kit::save(store, 3, "14", Kit::makeDays({"2026-08-05"}, 1), "李四").isSuccess());
        QVERIFY(Kit::save(store, 3, "15", Kit::makeDays({"2026-08-06"}, 1), "王五").isSuccess());
        QVERIFY(Kit::operate(store, save,
                             Kit::makeExchange("洲际交易所", "ICE", 3, Kit::makeDays({"2026-08-07"}, 1)),
                             "赵六")
                    .isSuccess());
        QVERIFY(
            Kit::operate(store, deletion, Kit::makeExchange("洲际交易所", "", -1, {}), "钱七").isSuccess());
        QCOMPARE(history(store, 3, "14"), QStringList({"1 张三 1 2", "2 李四 1 1"}));
        QCOMPARE(history(store, 3, "15"), QStringList("3 王五 1 1"));
        // A deletion keeps what the exchange was, not what the request carried.
        QCOMPARE(history(store, 4, "WP", "洲际交易所"),
                 QStringList({"4 赵六 1 1 ICE 3", "5 钱七 3 0 ICE 3"}));

        IMC::CStoreRevision restored;
        QVERIFY(store.restoreRevision(1, "孙八", restored).isSuccess());
        QCOMPARE(line(restored), QStringLiteral("6 孙八 1 2 from 1"));
        QCOMPARE(Kit::days(store, "3", "14"), Kit::describe(first));
        QVERIFY(store.restoreRevision(4, "孙八", restored).isSuccess());
        QCOMPARE(Kit::exchanges(store), QStringList("洲际交易所 ICE 3: 2026-08-07=1"));
        QVERIFY(store.restoreRevision(5, "孙八", restored).isSuccess());
        QVERIFY(Kit::exchanges(store).isEmpty());
        QCOMPARE(history(store, 3, "14").last(), QStringLiteral("6 孙八 1 2 from 1"));
        QCOMPARE(history(store, 4, "WP", "洲际交易所").mid(2),
                 QStringList({"7 孙八 1 1 ICE 3 from 4", "8 孙八 3 0 ICE 3 from 5"}));
        QCOMPARE(errorOf(store.restoreRevision(99, "孙八", restored)), QStringLiteral("修订 99 不存在"));

        // Revisions are never changed or deleted, unless someone drops the guard behind the store's back:
        // then a damaged revision is reported, not restored.
        QVERIFY(Kit::execute(address, {QStringLiteral("DELETE FROM revision")}).contains("never deleted"));
        QVERIFY(Kit::execute(address, {QStringLiteral("UPDATE revision SET operator = 'x'")})
                    .contains("never changed"));
        const QString unguard = QStringLiteral("DROP TRIGGER revision_never_changed") +
                                (onPostgreSql() ? QStringLiteral(" ON revision") : QString());
        const QString damage = QStringLiteral("UPDATE revision SET days = %1 WHERE id = 2")
                                   .arg(onPostgreSql() ? "decode('0102', 'hex')" : "x'0102'");
        QCOMPARE(Kit::execute(address, {unguard, damage}), QString());
        QCOMPARE(errorOf(store.restoreRevision(2, "孙八", restored)),
                 QStringLiteral("修订 2 的交易日数据已损坏"));
        QCOMPARE(Kit::days(store, "3", "14"), Kit::describe(first));
        QCOMPARE(history(store, 3, "14").size(), 3);
    }

    // Needs a server it may stop and start: the PostgreSQL run (scripts/pgcluster run).
    void everyRequestFailsClearlyWhileTheServerIsDownAndWorksOnceItIsBack()
    {
        if (!tds::CTestServer::isGiven()) {
            QSKIP("no server to stop");
        }
        CSqlTradingDayBackend store(address);
        QVERIFY(Kit::save(store, 0, "", Kit::makeDays({"2026-08-03", "2026-08-04"}, 3)).isSuccess());
        // A restart between two requests goes unnoticed: the connection it broke is replaced at once.
        QVERIFY(tds::CTestServer::stop() && tds::CTestServer::start());
        QCOMPARE(Kit::days(store, "0"), QStringList({"2026-08-03=3", "2026-08-04=3"}));

        QVERIFY(tds::CTestServer::stop());
        CSqlTradingDayBackend openedWhileDown(address);
        Kit::Records records;
        QSet<int> rights;
        const QString unreachable = QStringLiteral("交易日数据库无法连接: %1: ")
                                        .arg(IMC::CStoreAddress::parse(address).displayText());
        for (const utils::TTError& error :
             {openedWhileDown.open(), Kit::query(store, "0", "", records),
              Kit::save(store, 0, "", Kit::makeDays({"2026-09-01"}, 1)),
              store.queryReference(IMC::ITradingDayBackend::DataKindTracks, "14", records),
              store.rightsOf("alice", rights), Kit::query(store, "0", "", records)}) {
            QCOMPARE(error.code(), static_cast<int>(IMC::CStoreException::NoConnection));
            QVERIFY2(errorOf(error).startsWith(unreachable) && errorOf(error).size() > unreachable.size(),
                     error.errorMsg().c_str());
        }
        QVERIFY(records.empty() && rights.isEmpty());

        QVERIFY(tds::CTestServer::start());
        QCOMPARE(Kit::days(store, "0"), QStringList({"2026-08-03=3", "2026-08-04=3"}));
        QVERIFY(Kit::save(openedWhileDown, 0, "", Kit::makeDays({"2026-09-01"}, 1)).isSuccess());
        QCOMPARE(Kit::days(store, "0"), QStringList({"2026-09-01=1"}));
    }
};

QTEST_GUILESS_MAIN(TestSqlStore)
#include "tst_sqlstore.moc"
