#include "TestGuards.h"

#include "records/CItsmPlatformInfo.h"
#include "records/CItsmQueryDataReq.h"
#include "records/CItsmTypedMarketTradeDate.h"
#include "services/CItsmClient.h"
#include "services/CMemoryTradingDayBackend.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <boost/make_shared.hpp>

#include <mutex>

namespace {

const int Deadline = 5000;

typedef std::vector<boost::shared_ptr<ttservice::IData>> Records;

boost::shared_ptr<ttservice::CItsmQueryDataReq> makeQuery(const std::string& market,
                                                          const std::string& platform = std::string())
{
    auto query = boost::make_shared<ttservice::CItsmQueryDataReq>();
    query->dataType = 12306;
    query->marketParam = market;
    query->platformParam = platform;
    return query;
}

TradeDateMap makeDays(std::initializer_list<std::string> dates)
{
    TradeDateMap days;
    for (const std::string& date : dates) {
        auto day = boost::make_shared<ttservice::CItsmMarketTradeDateInfo>();
        day->date = date;
        day->tradeDate = date;
        day->sessionFlags = 3;
        day->valid = true;
        days[date] = day;
    }
    return days;
}

// Collects answers the way a page does: the callback copies under a lock on the client's thread and
// emits a signal; the slot runs on the thread the collector lives in.
class CAnswerCollector : public QObject
{
    Q_OBJECT

public:
    CAnswerCollector()
    {
        connect(this, &CAnswerCollector::sigAnswered, this, &CAnswerCollector::slotOnAnswered);
    }

    IMC::CItsmClient::QueryCallback callbackFor(int tag)
    {
        return [this, tag](const utils::TTError& error, const Records& records, int, bson::BSONObj) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                callbackOnGuiThread.push_back(QThread::currentThread() == thread());
                tags.push_back(tag);
                answers.push_back(records);
                errors.push_back(error);
            }
            emit sigAnswered(tag);
        };
    }

    std::vector<int> answeredTags() const
    {
        std::lock_guard<std::mutex> lock(mutex);
        return tags;
    }

    std::vector<bool> callbackThreads() const
    {
        std::lock_guard<std::mutex> lock(mutex);
        return callbackOnGuiThread;
    }

    Records answer(std::size_t index) const
    {
        std::lock_guard<std::mutex> lock(mutex);
        return answers.at(index);
    }

    utils::TTError error(std::size_t index) const
    {
        std::lock_guard<std::mutex> lock(mutex);
        return errors.at(index);
    }

    std::vector<bool> slotOnGuiThread;

signals:
    void sigAnswered(int tag);
    void sigDelivered(int tag);

private slots:
    void slotOnAnswered(int tag)
    {
        slotOnGuiThread.push_back(QThread::currentThread() == thread());
        emit sigDelivered(tag);
    }

private:
    mutable std::mutex mutex;
    std::vector<bool> callbackOnGuiThread;
    std::vector<int> tags;
    std::vector<Records> answers;
    std::vector<utils::TTError> errors;
};

} // namespace

Q_DECLARE_METATYPE(boost::shared_ptr<ttservice::IData>)

class TestItsmClient : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void init()
    {
        backend = std::make_shared<IMC::CMemoryTradingDayBackend>();
        client = std::make_unique<IMC::CItsmClient>("主系统", backend);
    }

    void cleanup()
    {
        client.reset();
        backend.reset();
    }

    void answerArrivesOffTheGuiThreadAndReachesTheSlotOnIt()
    {
        backend->setMarketDays(0, makeDays({"2026-08-03", "2026-08-04"}));
        CAnswerCollector collector;
        QSignalSpy delivered(&collector, &CAnswerCollector::sigDelivered);

        client->queryData_async(makeQuery("0"), collector.callbackFor(1), 0);

        QVERIFY(delivered.wait(Deadline));
        QCOMPARE(collector.callbackThreads(), std::vector<bool>{false});
        QCOMPARE(collector.slotOnGuiThread, std::vector<bool>{true});
        QVERIFY(collector.error(0).isSuccess());
        const Records records = collector.answer(0);
        QCOMPARE(records.size(), std::size_t(1));
        auto typed = boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(records.front());
        QVERIFY(typed);
        QCOMPARE(typed->tradeDates.size(), std::size_t(2));
        QCOMPARE(typed->getOffset(), 0);
    }

    void answersKeepRequestOrderUnderLoad()
    {
        backend->setMarketDays(0, makeDays({"2026-08-03"}));
        CAnswerCollector collector;
        const int requests = 300;
        std::vector<int> sent;
        for (int tag = 0; tag < requests; ++tag) {
            const std::string market = tag % 3 == 0 ? "0" : (tag % 3 == 1 ? "1" : "3");
            client->queryData_async(makeQuery(market, market == "3" ? "15" : ""), collector.callbackFor(tag),
                                    0);
            sent.push_back(tag);
        }

        QVERIFY(client->waitUntilIdle(Deadline));
        QCOMPARE(collector.answeredTags(), sent);
        QTRY_COMPARE_WITH_TIMEOUT(collector.slotOnGuiThread.size(), std::size_t(requests), Deadline);
        QCOMPARE(backend->receivedQueries().size(), std::size_t(requests));
    }

    void heldAnswersWaitAndThenRunInOrder()
    {
        CAnswerCollector collector;
        client->holdAnswers();
        for (int tag = 0; tag < 3; ++tag) {
            client->queryData_async(makeQuery("0"), collector.callbackFor(tag), 0);
        }

        QVERIFY(!client->waitUntilIdle(100));
        QVERIFY(collector.answeredTags().empty());
        QVERIFY(backend->receivedQueries().empty());

        client->releaseAnswers();
        QVERIFY(client->waitUntilIdle(Deadline));
        QCOMPARE(collector.answeredTags(), (std::vector<int>{0, 1, 2}));
    }

    void failNextFailsOneAnswer_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("with text") << "网络中断";
        QTest::newRow("without text") << "";
    }

    void failNextFailsOneAnswer()
    {
        QFETCH(QString, text);
        CAnswerCollector collector;
        backend->failNext(text.toStdString());
        client->queryData_async(makeQuery("0"), collector.callbackFor(0), 0);
        client->queryData_async(makeQuery("0"), collector.callbackFor(1), 0);
        QVERIFY(client->waitUntilIdle(Deadline));

        QVERIFY(!collector.error(0).isSuccess());
        QCOMPARE(QString::fromStdString(collector.error(0).errorMsg()), text);
        QVERIFY(collector.answer(0).empty());
        QVERIFY(collector.error(1).isSuccess());
        QCOMPARE(collector.answer(1).size(), std::size_t(1));
    }

    void requestsThatAreNoQueryFail_data()
    {
        QTest::addColumn<boost::shared_ptr<ttservice::IData>>("request");
        QTest::newRow("platform record")
            << boost::shared_ptr<ttservice::IData>(boost::make_shared<ttservice::CItsmPlatformInfo>());
        QTest::newRow("null") << boost::shared_ptr<ttservice::IData>();
    }

    void requestsThatAreNoQueryFail()
    {
        QFETCH(boost::shared_ptr<ttservice::IData>, request);
        CAnswerCollector collector;
        client->queryData_async(request, collector.callbackFor(0), 0);
        QVERIFY(client->waitUntilIdle(Deadline));
        QVERIFY(!collector.error(0).isSuccess());
        QCOMPARE(collector.error(0).errorMsg(), std::string("请求不是交易日查询请求"));
        QVERIFY(backend->receivedQueries().empty());
    }

    void callbacksGetCopiesTheyMayChange()
    {
        backend->setMarketDays(0, makeDays({"2026-08-03"}));
        CAnswerCollector collector;
        client->queryData_async(makeQuery("0"), collector.callbackFor(0), 0);
        QVERIFY(client->waitUntilIdle(Deadline));
        auto first =
            boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(collector.answer(0).front());
        first->tradeDates.at("2026-08-03")->sessionFlags = 0;

        client->queryData_async(makeQuery("0"), collector.callbackFor(1), 0);
        QVERIFY(client->waitUntilIdle(Deadline));
        auto second =
            boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(collector.answer(1).front());
        QCOMPARE(second->tradeDates.at("2026-08-03")->sessionFlags, 3);
    }

    void requestIsTakenAsItWasSent()
    {
        CAnswerCollector collector;
        client->holdAnswers();
        auto query = makeQuery("1");
        client->queryData_async(query, collector.callbackFor(0), 0);
        query->marketParam = "9";
        client->releaseAnswers();
        QVERIFY(client->waitUntilIdle(Deadline));
        QVERIFY(collector.error(0).isSuccess());
        QCOMPARE(backend->receivedQueries().front().marketParam, std::string("1"));
    }

    void operationsAndReferenceQueriesShareTheOrder()
    {
        std::mutex mutex;
        std::vector<std::string> events;
        auto record = [&mutex, &events](const std::string& event) {
            std::lock_guard<std::mutex> lock(mutex);
            events.push_back(event);
        };
        auto save = boost::make_shared<ttservice::COperateDataReq>();
        save->dataType = 12306;
        save->operation = 1;
        auto typed = boost::make_shared<ttservice::CItsmTypedMarketTradeDate>();
        typed->tradeDates = makeDays({"2026-08-05"});
        save->records.push_back(typed);

        client->operateData_async(
            save,
            [&record](const utils::TTError& error, bson::BSONObj) {
                record(error.isSuccess() ? "saved" : "x");
            },
            "alice");
        client->queryData_async(
            makeQuery("0"),
            [&record](const utils::TTError&, const Records& records, int count, bson::BSONObj reply) {
                auto answer =
                    boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(records.front());
                record("days " + std::to_string(answer->tradeDates.size()) + " count " +
                       std::to_string(count) + " " + reply.text("systemName"));
            },
            0);
        client->queryReference_async(12262, "16", [&record](const utils::TTError& error, const Records&) {
            record(error.errorMsg());
        });

        QVERIFY(client->waitUntilIdle(Deadline));
        QCOMPARE(events,
                 (std::vector<std::string>{"saved", "days 1 count 1 主系统", "不支持的赛道平台类型: 16"}));
        QCOMPARE(backend->receivedOperations().front().operatorName, std::string("alice"));
    }

    void unreachableSystemFailsEveryRequest()
    {
        IMC::CItsmClient unreachable("备用系统", std::string("系统 备用系统 不存在"));
        CAnswerCollector collector;
        unreachable.queryData_async(makeQuery("0"), collector.callbackFor(0), 0);
        std::string operationText;
        unreachable.operateData_async(
            boost::make_shared<ttservice::COperateDataReq>(),
            [&operationText](const utils::TTError& error, bson::BSONObj) {
                operationText = error.errorMsg();
            },
            "a");
        QVERIFY(unreachable.waitUntilIdle(Deadline));
        QCOMPARE(collector.error(0).errorMsg(), std::string("系统 备用系统 不存在"));
        QCOMPARE(operationText, std::string("系统 备用系统 不存在"));
    }

    void clientDroppedInsideItsOwnCallbackFinishesItsQueue()
    {
        auto keeper = std::make_shared<boost::shared_ptr<IMC::CItsmClient>>(
            boost::make_shared<IMC::CItsmClient>("主系统", backend));
        IMC::CItsmClient* dropped = keeper->get();
        CAnswerCollector collector;
        QSignalSpy delivered(&collector, &CAnswerCollector::sigDelivered);
        dropped->holdAnswers();
        dropped->queryData_async(
            makeQuery("0"),
            [keeper](const utils::TTError&, const Records&, int, bson::BSONObj) { keeper->reset(); }, 0);
        dropped->queryData_async(makeQuery("1"), collector.callbackFor(1), 0);
        dropped->releaseAnswers();

        QVERIFY(delivered.wait(Deadline));
        QCOMPARE(collector.answeredTags(), std::vector<int>{1});
        QCOMPARE(backend->receivedQueries().size(), std::size_t(2));
    }

private:
    std::shared_ptr<IMC::CMemoryTradingDayBackend> backend;
    std::unique_ptr<IMC::CItsmClient> client;
};

QTEST_GUILESS_MAIN(TestItsmClient)
#include "tst_itsmclient.moc"
