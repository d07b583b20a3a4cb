#include "CRevisionWatcher.h"

#include "CSqlTradingDayBackend.h"
#include "CStoreDialect.h"
#include "CStoreException.h"

#include <QEventLoop>
#include <QSqlDriver>
#include <QTimer>

#include <atomic>

namespace IMC {
namespace {

// Revisions whose ids are this far below the newest one seen are still looked for: transactions that took
// their ids earlier may commit later.
const long long reorderMargin = 256;

std::atomic<unsigned long long> nextWatcherId{1};

} // namespace

CRevisionWatcher::CRevisionWatcher(std::shared_ptr<CSqlTradingDayBackend> store, QObject* parent)
    : QObject(parent)
    , store(std::move(store))
    , thread([this] { watch(); })
{}

CRevisionWatcher::~CRevisionWatcher()
{
    stopping = true;
    thread.join();
}

std::vector<CStoreRevision> CRevisionWatcher::takeRevisions()
{
    std::lock_guard<std::mutex> lock(foundMutex);
    std::vector<CStoreRevision> taken;
    taken.swap(found);
    return taken;
}

void CRevisionWatcher::watch()
{
    const bool notifies = !CStoreDialect::forAddress(store->storeAddress()).announcementChannel().isEmpty();
    const int ticksPerCheck = notifies ? catchUpIntervalMs / pollIntervalMs : 1;
    int tick = 0;
    {
        QEventLoop loop;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
            if (stopping) {
                loop.quit();
            } else if (++tick % ticksPerCheck == 0) {
                check();
            }
        });
        timer.start(pollIntervalMs);
        check();
        loop.exec();
    }
    closeConnection();
}

bool CRevisionWatcher::listen()
{
    if (listener.isOpen()) {
        return true;
    }
    const CStoreAddress& address = store->storeAddress();
    const CStoreDialect& dialect = CStoreDialect::forAddress(address);
    if (!address.isValid() || !QSqlDatabase::isDriverAvailable(dialect.driverName())) {
        return false;
    }
    closeConnection();
    listener = QSqlDatabase::addDatabase(dialect.driverName(),
                                         QStringLiteral("tradingday-watcher-%1").arg(nextWatcherId++));
    dialect.configureConnection(listener, address);
    if (!listener.open()) {
        return false;
    }
    const QString channel = dialect.announcementChannel();
    if (!channel.isEmpty()) {
        QObject::connect(listener.driver(),
                         QOverload<const QString&, QSqlDriver::NotificationSource, const QVariant&>::of(
                             &QSqlDriver::notification),
                         listener.driver(), [this] {
                             notified = true;
                             check();
                         });
        listener.driver()->subscribeToNotification(channel);
    }
    return true;
}

void CRevisionWatcher::check()
{
    if (!listen()) {
        return;
    }
    try {
        const long long counter = CStoreDialect::of(listener).changeCounter(listener);
        if (started && counter == lastCounter && !notified) {
            return;
        }
        lastCounter = counter;
        notified = false;
    } catch (const CStoreException&) {
        // The server went away: the next tick opens a new connection and catches up.
        closeConnection();
        return;
    }
    const long long from = known.empty() ? 0 : std::max(0LL, *known.rbegin() - reorderMargin);
    std::vector<CStoreRevision> fresh;
    if (!started) {
        long long newest = 0;
        if (!store->newestRevisionId(newest).isSuccess()) {
            return;
        }
        if (!store->revisionsAfter(std::max(0LL, newest - reorderMargin), fresh).isSuccess()) {
            return;
        }
        for (const CStoreRevision& revision : fresh) {
            known.insert(revision.id);
        }
        started = true;
        return;
    }
    if (!store->revisionsAfter(from, fresh).isSuccess()) {
        return;
    }
    bool waiting = false;
    for (const CStoreRevision& revision : fresh) {
        if (known.insert(revision.id).second && !store->wroteRevision(revision.id)) {
            std::lock_guard<std::mutex> lock(foundMutex);
            found.push_back(revision);
            waiting = true;
        }
    }
    if (waiting) {
        emit sigRevisionsWaiting();
    }
    if (!known.empty()) {
        known.erase(known.begin(), known.lower_bound(*known.rbegin() - reorderMargin));
    }
}

void CRevisionWatcher::closeConnection()
{
    if (!listener.isValid()) {
        return;
    }
    const QString name = listener.connectionName();
    listener.close();
    listener = QSqlDatabase();
    QSqlDatabase::removeDatabase(name);
}

} // namespace IMC
