#pragma once

#include "CStoreRevision.h"

#include <QMetaType>
#include <QObject>
#include <QSqlDatabase>
#include <QThread>

#include <memory>
#include <set>

class QTimer;

namespace IMC {

class CSqlTradingDayBackend;

// Tells a desk of the revisions other desks and programs commit to its store, within a second or so: on
// PostgreSQL the store's own channel wakes it at each commit (LISTEN/NOTIFY), on SQLite it polls the
// database's data version. Both run on a thread of the watcher's own, never the GUI thread; a notifying
// store is also checked every few seconds, for anything a broken connection missed.
// Revisions written through the watched store object itself (the desk's own saves) are not reported.
class CRevisionWatcher : public QObject
{
    Q_OBJECT

public:
    // How often a store without a notification channel (SQLite) is polled.
    static constexpr int pollIntervalMs = 250;
    // How often a store that notifies (PostgreSQL) is checked anyway, for what a broken connection missed.
    static constexpr int catchUpIntervalMs = 5000;

    explicit CRevisionWatcher(std::shared_ptr<CSqlTradingDayBackend> store, QObject* parent = nullptr);
    ~CRevisionWatcher() override;
    CRevisionWatcher(const CRevisionWatcher&) = delete;
    CRevisionWatcher& operator=(const CRevisionWatcher&) = delete;

signals:
    // Emitted on the watcher's thread, once per revision, oldest first.
    void sigRevision(IMC::CStoreRevision revision);

private:
    // These run on the watcher's thread.
    void startWatching();
    void stopWatching();
    bool listen();
    void check();
    void closeConnection();

    std::shared_ptr<CSqlTradingDayBackend> store;
    QThread thread;
    // Lives on the watcher's thread: owns its timer and receives the database's notifications.
    QObject* context;
    QTimer* timer = nullptr;
    QSqlDatabase listener;
    long long lastCounter = -1;
    bool notified = false;
    bool started = false;
    // Ids reported or present at the start, from the newest one seen less a margin on: on PostgreSQL a
    // revision with a lower id may commit after one with a higher id.
    std::set<long long> known;
};

} // namespace IMC

Q_DECLARE_METATYPE(IMC::CStoreRevision)
