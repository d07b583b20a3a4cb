#pragma once

#include "CStoreRevision.h"

#include <QObject>
#include <QSqlDatabase>

#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace IMC {

class CSqlTradingDayBackend;

// Tells a desk of the revisions other desks and programs commit to its store, within a second or so: on
// PostgreSQL the store's own channel wakes it at each commit (LISTEN/NOTIFY), on SQLite it polls the
// database's data version. Both run on a thread of the watcher's own, never the GUI thread; a notifying
// store is also checked every few seconds, for anything a broken connection missed. Revisions written through
// the watched store object itself (the desk's own saves) are not reported.
//
// Threads: the watcher's thread keeps what it found under a mutex and emits sigRevisionsWaiting; a receiver
// on the GUI thread (queued connection) takes them with takeRevisions. The destructor stops the thread.
class CRevisionWatcher : public QObject
{
    Q_OBJECT

public:
    // How often the watcher's thread looks: a store without a notification channel (SQLite) is polled then.
    static constexpr int pollIntervalMs = 250;
    // How often a store that notifies (PostgreSQL) is checked anyway, for what a broken connection missed.
    static constexpr int catchUpIntervalMs = 5000;

    explicit CRevisionWatcher(std::shared_ptr<CSqlTradingDayBackend> store, QObject* parent = nullptr);
    ~CRevisionWatcher() override;
    CRevisionWatcher(const CRevisionWatcher&) = delete;
    CRevisionWatcher& operator=(const CRevisionWatcher&) = delete;

    // The revisions found since the last call, oldest first.
    std::vector<CStoreRevision> takeRevisions();

signals:
    // Emitted on the watcher's thread when takeRevisions has something.
    void sigRevisionsWaiting();

private:
    // These run on the watcher's thread.
    void watch();
    bool listen();
    void check();
    void closeConnection();

    std::shared_ptr<CSqlTradingDayBackend> store;
    std::atomic<bool> stopping{false};
    QSqlDatabase listener;
    long long lastCounter = -1;
    bool notified = false;
    bool started = false;
    // Ids reported or present at the start, from the newest one seen less a margin on: on PostgreSQL a
    // revision with a lower id may commit after one with a higher id.
    std::set<long long> known;
    std::mutex foundMutex;
    std::vector<CStoreRevision> found;
    // Last, so that it starts once everything else exists.
    std::thread thread;
};

} // namespace IMC
