#include "CRevisionWatcher.h"

#include "CSqlTradingDayBackend.h"
#include "CStoreDialect.h"
#include "CStoreException.h"

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
    , context(new QObject)
{
    qRegisterMetaType<IMC::CStoreRevision>();
    thread.setObjectName(QStringLiteral("tradingday-revision-watcher"));
    context->moveToThread(&thread);
    thread.start();
    QMetaObject::invokeMethod(context, [this] { startWatching(); });
}

CRevisionWatcher::~CRevisionWatcher()
{
    QMetaObject::invokeMethod(
        context, [this] { stopWatching(); }, Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
    delete context;
}

void CRevisionWatcher::startWatching()
{
    timer = new QTimer(context);
    connect(timer, &QTimer::timeout, context, [this] { check(); });
    const bool notifies = !CStoreDialect::forAddress(store->storeAddress()).announcementChannel().isEmpty();
    timer->start(notifies ? catchUpIntervalMs : pollIntervalMs);
    check();
}

void CRevisionWatcher::stopWatching()
{
    delete timer;
    timer = nullptr;
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
        connect(listener.driver(),
                QOverload<const QString&, QSqlDriver::NotificationSource, const QVariant&>::of(
                    &QSqlDriver::notification),
                context, [this] {
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
    std::vector<CStoreRevision> found;
    if (!started) {
        long long newest = 0;
        if (!store->newestRevisionId(newest).isSuccess()) {
            return;
        }
        if (!store->revisionsAfter(std::max(0LL, newest - reorderMargin), found).isSuccess()) {
            return;
        }
        for (const CStoreRevision& revision : found) {
            known.insert(revision.id);
        }
        started = true;
        return;
    }
    if (!store->revisionsAfter(from, found).isSuccess()) {
        return;
    }
    for (const CStoreRevision& revision : found) {
        if (known.insert(revision.id).second && !store->wroteRevision(revision.id)) {
            emit sigRevision(revision);
        }
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
