#include "TestGuards.h"

#include "records/CItsmQueryDataReq.h"
#include "records/CItsmTypedMarketTradeDate.h"
#include "services/CItsmClientCenter.h"
#include "services/CItsmDataManager.h"
#include "services/CMemoryTradingDayBackend.h"
#include "services/CUserManager.h"
#include "services/LuaModuleCtrl.h"

#include <QTest>
#include <QWidget>

#include <boost/make_shared.hpp>

#include <thread>

namespace {

const int Deadline = 5000;

typedef IMC::CItsmClient::Records Records;

IMC::CItsmClientCenter* center()
{
    return utils::CSingletonT<IMC::CItsmClientCenter>::instance();
}

boost::shared_ptr<ttservice::CItsmQueryDataReq> makeQuery(const std::string& market,
                                                          const std::string& platform = std::string())
{
    auto query = boost::make_shared<ttservice::CItsmQueryDataReq>();
    query->dataType = 12306;
    query->marketParam = market;
    query->platformParam = platform;
    return query;
}

boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate> makeTyped(int marketType, const std::string& date)
{
    auto day = boost::make_shared<ttservice::CItsmMarketTradeDateInfo>();
    day->date = date;
    day->tradeDate = date;
    day->sessionFlags = 3;
    auto typed = boost::make_shared<ttservice::CItsmTypedMarketTradeDate>();
    typed->marketType = marketType;
    typed->tradeDates[date] = day;
    return typed;
}

boost::shared_ptr<ttservice::COperateDataReq> makeSave(const std::string& date)
{
    auto save = boost::make_shared<ttservice::COperateDataReq>();
    save->dataType = 12306;
    save->operation = 1;
    save->records.push_back(makeTyped(0, date));
    return save;
}

TradeDateMap& daysOf(const Records& records)
{
    return boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(records.at(0))->tradeDates;
}

// "date=sessions " for every day of the first record answered.
std::string datesOf(const Records& records)
{
    std::string dates;
    for (const auto& entry : daysOf(records)) {
        dates += entry.first + "=" + std::to_string(entry.second->sessionFlags) + " ";
    }
    return dates;
}

// What the callbacks saw, in the order they ran; an entry made on the GUI thread says so. Read it once
// the client is idle.
class CCallbackLog
{
public:
    void add(const std::string& entry)
    {
        seen.push_back(entry + (std::this_thread::get_id() == guiThread ? " on the GUI thread" : ""));
    }

    IMC::CItsmClient::QueryCallback queryEntry()
    {
        return [this](const utils::TTError& error, const Records& records, int, bson::BSONObj) {
            add(error.isSuccess() ? datesOf(records) : error.errorMsg());
        };
    }

    std::vector<std::string> seen;

private:
    const std::thread::id guiThread = std::this_thread::get_id();
};

} // namespace

class TestItsmClient : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void init()
    {
        center()->resetForTests();
        utils::CSingletonT<IMC::CUserManager>::instance()->resetForTests();
        utils::CSingletonT<luawrapper::LuaModuleCtrl>::instance()->resetForTests();
        primary = std::make_shared<IMC::CMemoryTradingDayBackend>();
        secondary = std::make_shared<IMC::CMemoryTradingDayBackend>();
        center()->registerSystem("主系统", primary);
        center()->registerSystem("备份系统", secondary);
    }

    void cleanup() { center()->resetForTests(); }

    void answersArriveOffTheGuiThreadInRequestOrder()
    {
        primary->seedReferenceData();
        primary->setMarketDays(0, makeTyped(0, "2026-08-03")->tradeDates);
        const auto client = center()->getClientByName("主系统");
        CCallbackLog log;
        client->holdAnswers();
        client->operateData_async(
            makeSave("2026-08-05"),
            [&log](const utils::TTError& error, bson::BSONObj) {
                log.add(error.isSuccess() ? "saved" : "?");
            },
            "alice");
        client->queryData_async(
            makeQuery("0"),
            [&log, client](const utils::TTError&, const Records& records, int count, bson::BSONObj reply) {
                log.add(datesOf(records) + std::to_string(count) + " " + reply.text("systemName"));
                client->queryData_async(makeQuery("1"), log.queryEntry(), 0);
            },
            0);
        client->queryReference_async(12262, "14", [&log](const utils::TTError&, const Records& records) {
            log.add(std::to_string(records.size()) + " tracks");
        });

        QVERIFY(!client->waitUntilIdle(0));
        QVERIFY(primary->receivedQueries().empty());
        client->releaseAnswers();
        QVERIFY(client->waitUntilIdle(Deadline));
        QCOMPARE(log.seen, (std::vector<std::string>{"saved", "2026-08-05=3 1 主系统", "4 tracks", ""}));
    }

    void answersAreCopiesTheCallerMayChange()
    {
        auto exchange = makeTyped(4, "2026-08-03");
        exchange->exchangeName = "CME";
        primary->setTypedRecords({exchange});
        const auto query = makeQuery("4", "WP");
        const auto client = center()->getClientByName("主系统");
        CCallbackLog log;
        const auto changeTheAnswer = [&log](const utils::TTError& error, const Records& records, int count,
                                            bson::BSONObj reply) {
            log.queryEntry()(error, records, count, reply);
            daysOf(records).at("2026-08-03")->sessionFlags = 0;
        };
        client->queryData_async(query, changeTheAnswer, 0);
        client->queryData_async(query, log.queryEntry(), 0);
        QVERIFY(client->waitUntilIdle(Deadline));
        QCOMPARE(log.seen, (std::vector<std::string>{"2026-08-03=3 ", "2026-08-03=3 "}));
    }

    void failuresReachTheCallerWithTheirText_data()
    {
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("backendFailure");
        QTest::addColumn<QString>("text");
        QTest::newRow("unknown system") << "测试系统" << QString() << "系统 测试系统 不存在";
        QTest::newRow("no system chosen") << "" << QString() << "未选择系统";
        QTest::newRow("back end failure") << "主系统"
                                          << "网络中断"
                                          << "网络中断";
    }

    void failuresReachTheCallerWithTheirText()
    {
        QFETCH(QString, system);
        QFETCH(QString, backendFailure);
        QFETCH(QString, text);
        if (system.isEmpty()) {
            center()->resetForTests();
        }
        if (!backendFailure.isEmpty()) {
            primary->failNext(backendFailure.toStdString());
        }
        const auto client = center()->getClientByName(system.toStdString());
        CCallbackLog log;
        client->queryData_async(makeQuery("0"), log.queryEntry(), 0);
        QVERIFY(client->waitUntilIdle(Deadline));
        QCOMPARE(log.seen, std::vector<std::string>{text.toStdString()});
    }

    void operationGoesToTheCurrentSystemAsTheOperator()
    {
        CCallbackLog log;
        center()->getClientByName("")->queryData_async(makeQuery("0"), log.queryEntry(), 0);
        QVERIFY(center()->getClientByName("主系统")->waitUntilIdle(Deadline));
        QCOMPARE(primary->receivedQueries().size(), std::size_t(1));

        utils::CSingletonT<IMC::CUserManager>::instance()->setUserName("张三");
        center()->setCurrentSystem("备份系统");
        center()->operateData_async(
            makeSave("2026-08-07"),
            [&log](const utils::TTError& error, bson::BSONObj) { log.add(error.errorMsg()); }, 0);
        QVERIFY(center()->getClientByName("备份系统")->waitUntilIdle(Deadline));
        QCOMPARE(log.seen, (std::vector<std::string>{"", ""}));
        const auto operations = secondary->receivedOperations();
        QCOMPARE(operations.size(), std::size_t(1));
        QCOMPARE(operations.front().operatorName, std::string("张三"));
        QCOMPARE(secondary->marketDays(0).count("2026-08-07"), std::size_t(1));
        QVERIFY(primary->receivedOperations().empty());
    }

    void maintenanceRightAsThePagesAskIt()
    {
        auto* users = utils::CSingletonT<IMC::CUserManager>::instance();
        QVERIFY(users->checkUserAuth(10615));
        QVERIFY(!users->checkUserAuth(10616));
        users->revokeRight(10615);
        QVERIFY(!users->checkUserAuth(10615));
        users->setRights({10616});
        QVERIFY(users->checkUserAuth(10616));
        QVERIFY(!users->checkUserAuth(10615));
    }

    void everyListedModuleMustBeOn_data()
    {
        QTest::addColumn<QStringList>("enabled");
        QTest::addColumn<bool>("on");
        QTest::newRow("all off by default") << QStringList() << false;
        QTest::newRow("one of two on") << QStringList{"mdl_tradetype"} << false;
        QTest::newRow("the other one on") << QStringList{"mdl_tradetype_ggt"} << false;
        QTest::newRow("both on") << QStringList{"mdl_tradetype_ggt", "mdl_tradetype"} << true;
    }

    void everyListedModuleMustBeOn()
    {
        QFETCH(QStringList, enabled);
        QFETCH(bool, on);
        auto* modules = utils::CSingletonT<luawrapper::LuaModuleCtrl>::instance();
        for (const QString& module : enabled) {
            modules->setModule(module.toStdString(), true);
        }
        QCOMPARE(modules->checkModule(std::string("mdl_tradetype") << "mdl_tradetype_ggt"), on);
    }

    void serverMessagesReachTheGuiThread()
    {
        QWidget page;
        QObject receiver;
        QStringList signalled;
        connect(center(), &IMC::CItsmClientCenter::sigServerMessage, &receiver,
                [this, &signalled](int type, bool success, QString title, QString text) {
                    signalled << QStringLiteral("%1|%2|%3|%4").arg(type).arg(success).arg(title, text) +
                                     where();
                });
        center()->showServerMsgCallBack(IMC::EServerCallbackMsg_Success, true, &page, "交易日设置",
                                        "操作成功", true, false);
        std::thread([&page] {
            center()->showServerMsgCallBack(IMC::EServerCallbackMsg_Failure, false, &page, "交易日设置",
                                            "超时", true, false);
        }).join();

        QTRY_COMPARE_WITH_TIMEOUT(signalled, (QStringList{"0|1|交易日设置|操作成功", "1|0|交易日设置|超时"}),
                                  Deadline);
        const QList<IMC::CServerMessage> messages = center()->serverMessages();
        QCOMPARE(messages.size(), 2);
        QCOMPARE(messages.back().parent.data(), &page);
    }

    void referenceAnswersReachLivingRequestersOnTheGuiThread()
    {
        primary->seedReferenceData();
        QStringList answers;
        auto request = [this, &answers](int tag, int kind, const std::string& param, QWidget* parent) {
            auto query = boost::make_shared<IMC::CQueryReq>(
                "", kind,
                [this, &answers, tag](boost::shared_ptr<IMC::CQueryReq>, bool ok, QString error,
                                      const Records& records, int) {
                    answers << QStringLiteral("%1 ").arg(tag) +
                                   (ok ? QString::number(records.size()) : error) + where();
                },
                parent, false);
            query->queryParam = param;
            utils::CSingletonT<IMC::CItsmDataManager>::instance()->queryData(query, false);
        };
        const auto client = center()->getClientByName("");
        client->holdAnswers();
        auto* closedPage = new QWidget;
        request(0, 12262, "14", nullptr);
        request(1, 12482, "", closedPage);
        request(2, 12262, "16", nullptr);
        delete closedPage;
        client->releaseAnswers();

        QTRY_COMPARE_WITH_TIMEOUT(answers, (QStringList{"0 4", "2 不支持的赛道平台类型: 16"}), Deadline);
        const auto received = primary->receivedReferenceQueries();
        QCOMPARE(received.size(), std::size_t(3));
        QCOMPARE(received[0].queryParam, std::string("14"));
        QCOMPARE(received[1].dataKind, 12482);
    }

private:
    QString where() const
    {
        return std::this_thread::get_id() == guiThread ? QString() : QStringLiteral(" off the GUI thread");
    }

    const std::thread::id guiThread = std::this_thread::get_id();
    std::shared_ptr<IMC::CMemoryTradingDayBackend> primary;
    std::shared_ptr<IMC::CMemoryTradingDayBackend> secondary;
};

QTEST_MAIN(TestItsmClient)
#include "tst_itsmclient.moc"
