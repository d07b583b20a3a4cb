#pragma once

#include "CStoreException.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>

#include <cstddef>

class QSqlDriver;

namespace IMC {

class CStoreAddress;

// What differs between the SQL databases the store runs on: opening a connection, the tables' DDL,
// where the schema version is kept, how writers of one market or exchange wait for each other, how a
// typed value is bound and what a failure means. Everything else is the same SQL on every database.
class CStoreDialect
{
public:
    // What a database says about itself before the store touches it.
    struct Identity
    {
        int applicationId = 0;
        int version = 0;
        // No table (or other schema object) at all: a new store.
        bool isEmpty = true;
    };

    virtual ~CStoreDialect();

    static const CStoreDialect& forAddress(const CStoreAddress& address);
    static const CStoreDialect& of(const QSqlDatabase& db);
    static const CStoreDialect& of(const QSqlDriver* driver);

    virtual QString driverName() const = 0;
    // Points a new, not yet opened connection at address.
    virtual void configureConnection(QSqlDatabase& db, const CStoreAddress& address) const = 0;
    // Settings of an opened connection, made once the database is known to be a trading-day store.
    virtual void configureSession(const QSqlDatabase& db) const = 0;

    virtual Identity identity(const QSqlDatabase& db) const = 0;
    // Marks the database as a trading-day store of version; inside the migration's transaction.
    virtual void writeIdentity(const QSqlDatabase& db, int applicationId, int version) const = 0;
    // Why a database that holds something else is refused, in the operator's words.
    virtual QString foreignDatabaseText() const = 0;
    // The DDL that takes a store from version - 1 to version.
    virtual QStringList schemaStatements(int version) const = 0;

    // Starts a write transaction.
    virtual QString beginWriteStatement() const = 0;
    // Inside a write transaction: waits until no other transaction writes subject, and keeps others
    // waiting for this one until it ends.
    virtual void lockSubject(const QSqlDatabase& db, const QString& subject) const = 0;

    // Inside the transaction that wrote revision revisionId: tells the database's listeners once it commits,
    // where the database has a way to (CRevisionWatcher).
    virtual void announceRevision(const QSqlDatabase& db, long long revisionId) const = 0;
    // The channel the announcements go to; empty where the database has none and watchers poll.
    virtual QString announcementChannel() const = 0;
    // A value that changes when another connection commits a revision (it may also change on other commits);
    // watchers poll it.
    virtual long long changeCounter(const QSqlDatabase& db) const = 0;

    // A placeholder for a value of sqlType where the statement alone does not give the type.
    virtual QString typedPlaceholder(const QString& sqlType) const = 0;

    // The store failure a failed statement or connection stands for.
    virtual CStoreException failure(const QSqlError& error) const = 0;
    // Called after a statement failed, before the failure leaves the store: leaves the connection fit for
    // the statements that clean up.
    virtual void recover(const QSqlDatabase& db, const CStoreException& failure) const = 0;

protected:
    // The failures both databases name alike, with the database's own text appended.
    static CStoreException contentionFailure(const QString& databaseText);
    static CStoreException operationFailure(const QString& databaseText);

    // A dialect's DDL, kept as a C array of statements, as the list schemaStatements gives.
    template<std::size_t count> static QStringList statementList(const char* const (&statements)[count])
    {
        QStringList list;
        for (const char* statement : statements) {
            list << QString::fromUtf8(statement);
        }
        return list;
    }
};

} // namespace IMC
