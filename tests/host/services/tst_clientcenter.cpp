#include "TestGuards.h"

#include "records/CItsmPlatformInfo.h"
#include "records/CItsmQueryDataReq.h"
#include "records/CItsmTypedMarketTradeDate.h"
#include "services/CItsmClientCenter.h"
#include "services/CItsmDataManager.h"
#include "services/CMemoryTradingDayBackend.h"
#include "services/CServerMessageToast.h"
#include "services/CUserManager.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QWidget>

#include <boost/make_shared.hpp>

#include <mutex>
#include <thread>

namespace {

const int Deadline = 5000;

typedef std::vector<boost::shared_ptr<ttservice::IData>> Records;

IMC::CItsmClientCenter* center()
{
    return utils::CSingletonT<IMC::CItsmClientCenter>::instance();
}

boost::shared_ptr<ttservice::CItsmQueryDataReq> makeQuery(const std::string& market)
{
    auto query = boost::make_shared<ttservice::CItsmQueryDataReq>();
    query->dataType = 12306;
    query->marketParam = market;
    return query;
}

boost::shared_ptr<ttservice::COperateDataReq> makeSave(const std::string& date)
{
    auto day = boost::make_shared<ttservice::CItsmMarketTradeDateInfo>();
    day->date = date;
    day->tradeDate = date;
    day->sessionFlags = 3;
    auto typed = boost::make_shared<ttservice::CItsmTypedMarketTradeDate>();
    typed->tradeDates[date] = day;
    auto save = boost::make_shared<ttservice::COperateDataReq>();
    save->dataType = 12306;
    save->operation = 1;
    save->records.push_back(typed);
    return save;
}

// Outcome of one request as seen from the GUI thread.
class COutcome : public QObject
{
    Q_OBJECT

public:
    COutcome() { connect(this, &COutcome::sigFinished, this, &COutcome::slotOnFinished); }

    void finish(const utils::TTError& error)
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            callbackOnGuiThread = QThread::currentThread() == thread();
        }
        emit sigFinished(error.isSuccess(), QString::fromStdString(error.errorMsg()));
    }

    bool callbackRanOnGuiThread() const
    {
        std::lock_guard<std::mutex> lock(mutex);
        return callbackOnGuiThread;
    }

    bool success = false;
    QString text;

signals:
    void sigFinished(bool success, QString text);
    void sigDelivered();

private slots:
    void slotOnFinished(bool success, QString text)
    {
        this->success = success;
        this->text = text;
        emit sigDelivered();
    }

private:
    mutable std::mutex mutex;
    bool callbackOnGuiThread = true;
};

// Reference answers as the data manager delivers them.
class CReferenceAnswers
{
public:
    IMC::CQueryReq::Callback callback(int tag)
    {
        return [this, tag](boost::shared_ptr<IMC::CQueryReq> request, bool ok, QString error,
                           const Records& records, int) {
            onGuiThread.push_back(QThread::currentThread() == qApp->thread());
            tags.push_back(tag);
            oks.push_back(ok);
            errors.push_back(error);
            counts.push_back(int(records.size()));
            params.push_back(request->queryParam);
        };
    }

    std::vector<bool> onGuiThread;
    std::vector<int> tags;
    std::vector<bool> oks;
    std::vector<QString> errors;
    std::vector<int> counts;
    std::vector<std::string> params;
};

} // namespace

class TestClientCenter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings({"does not support raise()"}); }

    void init()
    {
        center()->resetForTests();
        utils::CSingletonT<IMC::CUserManager>::instance()->resetForTests();
        primary = std::make_shared<IMC::CMemoryTradingDayBackend>();
        secondary = std::make_shared<IMC::CMemoryTradingDayBackend>();
        center()->registerSystem("主系统", primary);
        center()->registerSystem("备份系统", secondary);
    }

    void cleanup()
    {
        center()->resetForTests();
        primary.reset();
        secondary.reset();
    }

    void firstSystemBecomesCurrent()
    {
        QCOMPARE(center()->currentSystem(), std::string("主系统"));
        QCOMPARE(center()->systemNames(), (std::vector<std::string>{"主系统", "备份系统"}));
        QCOMPARE(center()->getClientByName("")->systemName(), std::string("主系统"));
        QCOMPARE(center()->getClientByName("主系统"), center()->getClientByName(""));

        center()->setCurrentSystem("备份系统");
        QCOMPARE(center()->getClientByName("")->systemName(), std::string("备份系统"));
    }

    void queriesGoToTheNamedSystem()
    {
        COutcome outcome;
        QSignalSpy delivered(&outcome, &COutcome::sigDelivered);
        center()
            ->getClientByName("备份系统")
            ->queryData_async(
                makeQuery("1"),
                [&outcome](const utils::TTError& error, const Records&, int, bson::BSONObj) {
                    outcome.finish(error);
                },
                0);
        QVERIFY(delivered.wait(Deadline));
        QVERIFY(outcome.success);
        QCOMPARE(secondary->receivedQueries().size(), std::size_t(1));
        QVERIFY(primary->receivedQueries().empty());
    }

    void unknownSystemAnswersWithAFailure_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("unknown name") << "测试系统"
                                      << "系统 测试系统 不存在";
        QTest::newRow("no current system") << ""
                                           << "未选择系统";
    }

    void unknownSystemAnswersWithAFailure()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        if (name.isEmpty()) {
            center()->resetForTests();
        }
        COutcome outcome;
        QSignalSpy delivered(&outcome, &COutcome::sigDelivered);
        boost::shared_ptr<IMC::CItsmClient> client = center()->getClientByName(name.toStdString());
        QVERIFY(client);
        client->queryData_async(
            makeQuery("0"),
            [&outcome](const utils::TTError& error, const Records&, int, bson::BSONObj) {
                outcome.finish(error);
            },
            0);
        QVERIFY(delivered.wait(Deadline));
        QVERIFY(!outcome.success);
        QCOMPARE(outcome.text, text);
    }

    void registeringAnUnknownNameMakesItReachable()
    {
        auto before = center()->getClientByName("新系统");
        center()->registerSystem("新系统", std::make_shared<IMC::CMemoryTradingDayBackend>());
        auto after = center()->getClientByName("新系统");
        QVERIFY(before != after);
        COutcome outcome;
        QSignalSpy delivered(&outcome, &COutcome::sigDelivered);
        after->queryData_async(
            makeQuery("0"),
            [&outcome](const utils::TTError& error, const Records&, int, bson::BSONObj) {
                outcome.finish(error);
            },
            0);
        QVERIFY(delivered.wait(Deadline));
        QVERIFY(outcome.success);
    }

    void operationGoesToTheCurrentSystemAsTheOperator()
    {
        utils::CSingletonT<IMC::CUserManager>::instance()->setUserName("张三");
        center()->setCurrentSystem("备份系统");
        COutcome outcome;
        QSignalSpy delivered(&outcome, &COutcome::sigDelivered);
        center()->operateData_async(
            makeSave("2026-08-07"),
            [&outcome](const utils::TTError& error, bson::BSONObj) { outcome.finish(error); }, 0);

        QVERIFY(delivered.wait(Deadline));
        QVERIFY(outcome.success);
        QVERIFY(!outcome.callbackRanOnGuiThread());
        const auto operations = secondary->receivedOperations();
        QCOMPARE(operations.size(), std::size_t(1));
        QCOMPARE(operations.front().operatorName, std::string("张三"));
        QCOMPARE(secondary->marketDays(0).count("2026-08-07"), std::size_t(1));
        QVERIFY(primary->receivedOperations().empty());
    }

    void failedOperationCarriesTheText()
    {
        primary->failNext("保存失败: 数据库只读");
        COutcome outcome;
        QSignalSpy delivered(&outcome, &COutcome::sigDelivered);
        center()->operateData_async(
            makeSave("2026-08-07"),
            [&outcome](const utils::TTError& error, bson::BSONObj) { outcome.finish(error); }, 0);
        QVERIFY(delivered.wait(Deadline));
        QVERIFY(!outcome.success);
        QCOMPARE(outcome.text, QStringLiteral("保存失败: 数据库只读"));
        QVERIFY(primary->marketDays(0).empty());
    }

    void serverMessagesAreRecordedAndSignalled()
    {
        QSignalSpy spy(center(), &IMC::CItsmClientCenter::sigServerMessage);
        auto* page = new QWidget;
        center()->showServerMsgCallBack(IMC::EServerCallbackMsg_Success, true, page, "交易日设置", "操作成功",
                                        true, false);
        center()->showServerMsgCallBack(IMC::EServerCallbackMsg_Failure, false, nullptr, "交易日设置", "",
                                        true, false);

        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(0).at(0).toInt(), 0);
        QCOMPARE(spy.at(0).at(1).toBool(), true);
        QCOMPARE(spy.at(0).at(2).toString(), QStringLiteral("交易日设置"));
        QCOMPARE(spy.at(0).at(3).toString(), QStringLiteral("操作成功"));
        QCOMPARE(spy.at(1).at(0).toInt(), 1);
        QCOMPARE(spy.at(1).at(1).toBool(), false);

        QList<IMC::CServerMessage> messages = center()->serverMessages();
        QCOMPARE(messages.size(), 2);
        QCOMPARE(messages[0].parent.data(), page);
        QCOMPARE(messages[1].text, QString());
        delete page;
        QVERIFY(center()->serverMessages().front().parent.isNull());

        center()->clearServerMessages();
        QVERIFY(center()->serverMessages().isEmpty());
    }

    void serverMessageFromAnotherThreadIsSignalledOnTheGuiThread()
    {
        bool signalledOnGuiThread = false;
        connect(center(), &IMC::CItsmClientCenter::sigServerMessage, this, [&signalledOnGuiThread] {
            signalledOnGuiThread = QThread::currentThread() == qApp->thread();
        });
        QSignalSpy spy(center(), &IMC::CItsmClientCenter::sigServerMessage);
        std::thread worker([] {
            center()->showServerMsgCallBack(IMC::EServerCallbackMsg_Failure, false, nullptr, "交易日设置",
                                            "超时", true, false);
        });
        worker.join();
        QVERIFY(spy.wait(Deadline));
        QVERIFY(signalledOnGuiThread);
        QCOMPARE(center()->serverMessages().size(), 1);
        disconnect(center(), &IMC::CItsmClientCenter::sigServerMessage, this, nullptr);
    }

    void toastShowsInsideTheWindowAndClosesItself()
    {
        QWidget window;
        window.setGeometry(100, 100, 800, 600);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* toast = new IMC::CServerMessageToast("交易日设置", "操作成功", true);
        QSignalSpy destroyed(toast, &QObject::destroyed);
        toast->popUp(&window);

        QVERIFY(toast->isVisible());
        QVERIFY(window.frameGeometry().contains(toast->frameGeometry().center()));
        QVERIFY(destroyed.wait(IMC::CServerMessageToast::DisplayMilliseconds + Deadline));
    }

    void dataManagerAnswersOnTheGuiThread()
    {
        primary->seedReferenceData();
        CReferenceAnswers answers;
        auto tracks = boost::make_shared<IMC::CQueryReq>("", 12262, answers.callback(0), nullptr, false);
        tracks->queryParam = "14";
        auto instruments = boost::make_shared<IMC::CQueryReq>("", 12482, answers.callback(1), nullptr, false);
        auto bad = boost::make_shared<IMC::CQueryReq>("", 12262, answers.callback(2), nullptr, false);
        bad->queryParam = "16";
        auto* manager = utils::CSingletonT<IMC::CItsmDataManager>::instance();
        manager->queryData(tracks, false);
        manager->queryData(instruments, false);
        manager->queryData(bad, false);

        QTRY_COMPARE_WITH_TIMEOUT(answers.tags.size(), std::size_t(3), Deadline);
        QCOMPARE(answers.tags, (std::vector<int>{0, 1, 2}));
        QCOMPARE(answers.onGuiThread, (std::vector<bool>{true, true, true}));
        QCOMPARE(answers.oks, (std::vector<bool>{true, true, false}));
        QVERIFY(answers.counts[0] > 0);
        QCOMPARE(answers.counts[1], 30);
        QCOMPARE(answers.errors[2], QStringLiteral("不支持的赛道平台类型: 16"));
        QCOMPARE(answers.params[0], std::string("14"));
        const auto received = primary->receivedReferenceQueries();
        QCOMPARE(received.size(), std::size_t(3));
        QCOMPARE(received[0].queryParam, std::string("14"));
        QCOMPARE(received[1].dataKind, 12482);
    }

    void dataManagerDropsAnswersForADestroyedParent()
    {
        primary->seedReferenceData();
        CReferenceAnswers answers;
        auto* parent = new QWidget;
        auto orphaned = boost::make_shared<IMC::CQueryReq>("", 12482, answers.callback(0), parent, false);
        auto kept = boost::make_shared<IMC::CQueryReq>("", 12482, answers.callback(1), nullptr, false);
        auto client = center()->getClientByName("");
        client->holdAnswers();
        auto* manager = utils::CSingletonT<IMC::CItsmDataManager>::instance();
        manager->queryData(orphaned, false);
        manager->queryData(kept, false);
        delete parent;
        client->releaseAnswers();

        QTRY_COMPARE_WITH_TIMEOUT(answers.tags.size(), std::size_t(1), Deadline);
        QCOMPARE(answers.tags, std::vector<int>{1});
        QCOMPARE(primary->receivedReferenceQueries().size(), std::size_t(2));
    }

    void dataManagerAnswersForALivingParent()
    {
        primary->seedReferenceData();
        CReferenceAnswers answers;
        QWidget parent;
        manager()->queryData(
            boost::make_shared<IMC::CQueryReq>("", 12482, answers.callback(0), &parent, false), false);
        QTRY_COMPARE_WITH_TIMEOUT(answers.tags.size(), std::size_t(1), Deadline);
        QCOMPARE(answers.oks, std::vector<bool>{true});
    }

private:
    static IMC::CItsmDataManager* manager() { return utils::CSingletonT<IMC::CItsmDataManager>::instance(); }

    std::shared_ptr<IMC::CMemoryTradingDayBackend> primary;
    std::shared_ptr<IMC::CMemoryTradingDayBackend> secondary;
};

QTEST_MAIN(TestClientCenter)
#include "tst_clientcenter.moc"
