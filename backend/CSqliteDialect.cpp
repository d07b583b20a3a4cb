#include "CSqliteDialect.h"

#include "CStoreAddress.h"
#include "CStoreQuery.h"

#include <QElapsedTimer>
#include <QSqlQuery>
#include <QThread>

namespace IMC {

namespace {

// SQLite's result codes for a file that is not a database and for a busy or locked file.
const QString notADatabaseCode = QStringLiteral("26");
const QString busyCode = QStringLiteral("5");
const QString lockedCode = QStringLiteral("6");

// How long a connection waits for another one's write lock.
const int busyTimeoutMs = 5000;
const unsigned long walRetryPauseMs = 20;

bool isBusy(const QSqlError& error)
{
    return error.nativeErrorCode() == busyCode || error.nativeErrorCode() == lockedCode;
}

// Day rows keep only what differs from the usual texts; see CDaySetCodec.
const char* const version1Statements[] = {
    "CREATE TABLE market_day ("
    " market_type INTEGER NOT NULL CHECK (market_type BETWEEN 0 AND 3),"
    " platform TEXT NOT NULL,"
    " day_key TEXT NOT NULL,"
    " session_flags INTEGER NOT NULL,"
    " valid INTEGER NOT NULL,"
    " date_text TEXT,"
    " description TEXT,"
    " trade_date TEXT,"
    " PRIMARY KEY (market_type, platform, day_key)) WITHOUT ROWID",
    "CREATE TABLE exchange ("
    " id INTEGER PRIMARY KEY,"
    " name TEXT NOT NULL UNIQUE,"
    " code TEXT NOT NULL,"
    " track_id INTEGER NOT NULL)",
    "CREATE TABLE exchange_day ("
    " exchange_id INTEGER NOT NULL REFERENCES exchange (id) ON DELETE CASCADE,"
    " day_key TEXT NOT NULL,"
    " session_flags INTEGER NOT NULL,"
    " valid INTEGER NOT NULL,"
    " date_text TEXT,"
    " description TEXT,"
    " trade_date TEXT,"
    " PRIMARY KEY (exchange_id, day_key)) WITHOUT ROWID",
    "CREATE TABLE track ("
    " platform_kind TEXT NOT NULL,"
    " track_id INTEGER NOT NULL,"
    " name TEXT NOT NULL,"
    " PRIMARY KEY (platform_kind, track_id))",
    "CREATE TABLE instrument ("
    " id INTEGER PRIMARY KEY,"
    " instrument_code TEXT NOT NULL,"
    " instrument_name TEXT NOT NULL,"
    " exchange_code TEXT NOT NULL,"
    " exchange_name TEXT NOT NULL)",
    // One row per save, delete or restore: market type and platform for markets, the exchange's name,
    // code and track for market 4; days holds the whole day set the operation produced.
    "CREATE TABLE revision ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " market_type INTEGER NOT NULL,"
    " platform TEXT NOT NULL,"
    " exchange_name TEXT NOT NULL,"
    " exchange_code TEXT NOT NULL,"
    " track_id INTEGER NOT NULL,"
    " operation INTEGER NOT NULL,"
    " restored_from INTEGER REFERENCES revision (id),"
    " operator TEXT NOT NULL,"
    " saved_at TEXT NOT NULL,"
    " day_count INTEGER NOT NULL,"
    " days BLOB NOT NULL)",
    "CREATE INDEX revision_by_subject ON revision (market_type, platform, exchange_name, id)",
    "CREATE TRIGGER revision_never_deleted BEFORE DELETE ON revision"
    " BEGIN SELECT RAISE(ABORT, 'revisions are never deleted'); END",
    "CREATE TRIGGER revision_never_changed BEFORE UPDATE ON revision"
    " BEGIN SELECT RAISE(ABORT, 'revisions are never changed'); END",
};

// One row per right an operator holds.
const char* const version2Statements[] = {
    "CREATE TABLE operator_right ("
    " operator TEXT NOT NULL,"
    " right_id INTEGER NOT NULL,"
    " PRIMARY KEY (operator, right_id)) WITHOUT ROWID",
    "CREATE INDEX operator_right_by_right ON operator_right (right_id)",
};

// Facts about the store that, once true, stay true: "maintainer_granted" once right 10615 was first granted
// (also for stores that already had a maintainer when they were upgraded).
const char* const version3Statements[] = {
    "CREATE TABLE store_fact (name TEXT PRIMARY KEY) WITHOUT ROWID",
    "INSERT INTO store_fact (name) SELECT 'maintainer_granted' WHERE EXISTS"
    " (SELECT 1 FROM operator_right WHERE right_id = 10615)",
};

} // namespace

QString CSqliteDialect::driverName() const
{
    return QStringLiteral("QSQLITE");
}

void CSqliteDialect::configureConnection(QSqlDatabase& db, const CStoreAddress& address) const
{
    db.setDatabaseName(address.filePath());
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
}

void CSqliteDialect::configureSession(const QSqlDatabase& db) const
{
    switchToWal(db);
    // In WAL mode NORMAL keeps the file consistent on power loss; only the last commits may be lost.
    CStoreQuery::run(db, QStringLiteral("PRAGMA synchronous = NORMAL"));
    CStoreQuery::run(db, QStringLiteral("PRAGMA foreign_keys = ON"));
}

CStoreDialect::Identity CSqliteDialect::identity(const QSqlDatabase& db) const
{
    // One statement reads one snapshot, so a migration committed by another connection in between
    // cannot make a new store look like a foreign one.
    QSqlQuery row =
        CStoreQuery::run(db, QStringLiteral("SELECT (SELECT application_id FROM pragma_application_id), "
                                            "(SELECT user_version FROM pragma_user_version), "
                                            "(SELECT count(*) FROM sqlite_master)"));
    row.next();
    Identity found;
    found.applicationId = row.value(0).toInt();
    found.version = row.value(1).toInt();
    found.isEmpty = row.value(2).toInt() == 0;
    return found;
}

void CSqliteDialect::writeIdentity(const QSqlDatabase& db, int applicationId, int version) const
{
    // PRAGMA takes no bound values; both are numbers of the program's own.
    CStoreQuery::run(db, QStringLiteral("PRAGMA application_id = %1").arg(applicationId));
    CStoreQuery::run(db, QStringLiteral("PRAGMA user_version = %1").arg(version));
}

QString CSqliteDialect::foreignDatabaseText() const
{
    return QStringLiteral("文件是其他程序的 SQLite 数据库，不是交易日数据库");
}

QStringList CSqliteDialect::schemaStatements(int version) const
{
    switch (version) {
    case 1:
        return statementList(version1Statements);
    case 2:
        return statementList(version2Statements);
    default:
        return statementList(version3Statements);
    }
}

QString CSqliteDialect::beginWriteStatement() const
{
    return QStringLiteral("BEGIN IMMEDIATE");
}

void CSqliteDialect::lockSubject(const QSqlDatabase&, const QString&) const {}

void CSqliteDialect::announceRevision(const QSqlDatabase&, long long) const {}

QString CSqliteDialect::announcementChannel() const
{
    return QString();
}

long long CSqliteDialect::changeCounter(const QSqlDatabase& db) const
{
    return CStoreQuery::scalar(db, QStringLiteral("PRAGMA data_version")).toLongLong();
}

QString CSqliteDialect::typedPlaceholder(const QString&) const
{
    return QStringLiteral("?");
}

void CSqliteDialect::switchToWal(const QSqlDatabase& db)
{
    // Switching needs the file to itself for a moment. While another connection creates or switches the
    // same file SQLite refuses at once instead of waiting, so the switch is tried again for as long as a
    // connection waits for a write lock.
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        QSqlQuery query(db);
        if (query.exec(QStringLiteral("PRAGMA journal_mode = WAL"))) {
            return;
        }
        if (!isBusy(query.lastError()) || waited.hasExpired(busyTimeoutMs)) {
            CStoreQuery::fail(db, query.lastError());
        }
        QThread::msleep(walRetryPauseMs);
    }
}

CStoreException CSqliteDialect::failure(const QSqlError& error) const
{
    if (error.nativeErrorCode() == notADatabaseCode) {
        return CStoreException(CStoreException::StoreUnreachable,
                               QStringLiteral("文件不是交易日数据库：%1").arg(error.databaseText()));
    }
    if (isBusy(error)) {
        return contentionFailure(error.databaseText());
    }
    return operationFailure(error.databaseText());
}

void CSqliteDialect::recover(const QSqlDatabase&, const CStoreException&) const {}

} // namespace IMC
