#include "data/CAnswerGuard.h"

#include "TestGuards.h"

#include <QtTest>

#include <chrono>
#include <future>
#include <thread>

using IMC::CAnswerGuard;

namespace {

const std::chrono::milliseconds Deadline(5000);
// Time a guard that does not wait gets to show it: its closing returns at once.
const std::chrono::milliseconds ClosingGrace(250);

bool opensWithin(const std::shared_future<void>& latch, std::chrono::milliseconds limit)
{
    return latch.wait_for(limit) == std::future_status::ready;
}

} // namespace

class TestAnswerGuard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void callbacksReachAnOpenReceiverOnly()
    {
        int calls = 0;
        boost::function<void(int)> callback;
        {
            CAnswerGuard guard;
            callback = guard.wrap<void(int)>([&calls](int n) { calls += n; });
            callback(2);
            QCOMPARE(calls, 2);
        }
        callback(5); // the receiver is gone
        QCOMPARE(calls, 2);
    }

    // A receiver destroyed on one thread while its callback runs on another is gone only after the
    // callback has ended.
    void closingWaitsForARunningCallback()
    {
        std::promise<void> entered, mayLeave, closed;
        const std::shared_future<void> hasEntered = entered.get_future().share();
        const std::shared_future<void> leave = mayLeave.get_future().share();
        const std::shared_future<void> isClosed = closed.get_future().share();
        auto guard = std::make_unique<CAnswerGuard>();
        const boost::function<void()> callback = guard->wrap<void()>([&entered, leave] {
            entered.set_value();
            opensWithin(leave, Deadline);
        });
        std::thread answering([callback] { callback(); });
        const bool callbackEntered = opensWithin(hasEntered, Deadline);
        std::thread closing([&guard, &closed] {
            guard.reset();
            closed.set_value();
        });
        const bool closedWhileTheCallbackRan = opensWithin(isClosed, ClosingGrace);
        mayLeave.set_value();
        const bool closedAfterTheCallback = opensWithin(isClosed, Deadline);
        closing.join();
        answering.join();

        QVERIFY(callbackEntered);
        QVERIFY(!closedWhileTheCallbackRan);
        QVERIFY(closedAfterTheCallback);
    }
};

QTEST_GUILESS_MAIN(TestAnswerGuard)
#include "tst_answerguard.moc"
