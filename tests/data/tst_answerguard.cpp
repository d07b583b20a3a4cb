#include "data/CAnswerGuard.h"

#include "TestGuards.h"

#include <QtTest>

#include <atomic>
#include <condition_variable>
#include <thread>

using IMC::CAnswerGuard;

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

    // A receiver destroyed on one thread while its callback runs on another waits for the callback to end.
    void closingWaitsForARunningCallback()
    {
        std::mutex mutex;
        std::condition_variable changed;
        bool callbackEntered = false;
        bool mayLeave = false;
        std::atomic<bool> callbackDone{false};

        auto guard = std::make_unique<CAnswerGuard>();
        boost::function<void()> callback = guard->wrap<void()>([&] {
            std::unique_lock<std::mutex> lock(mutex);
            callbackEntered = true;
            changed.notify_all();
            changed.wait(lock, [&] { return mayLeave; });
            callbackDone = true;
        });
        std::thread worker([callback] { callback(); });
        {
            std::unique_lock<std::mutex> lock(mutex);
            QVERIFY(changed.wait_for(lock, std::chrono::seconds(5), [&] { return callbackEntered; }));
        }
        std::thread destroyer([&] { guard.reset(); });
        {
            std::lock_guard<std::mutex> lock(mutex);
            mayLeave = true;
        }
        changed.notify_all();
        destroyer.join();
        QVERIFY(callbackDone); // the guard died only after the callback had finished
        worker.join();
    }
};

QTEST_GUILESS_MAIN(TestAnswerGuard)
#include "tst_answerguard.moc"
