#pragma once

#include "CStoreDialect.h"

namespace IMC {

// A store in a PostgreSQL database that many hosts share. The schema version and the mark of a
// trading-day store live in the table store_identity. Transactions run at READ COMMITTED; writers of one
// market or exchange queue up on a transaction-scoped advisory lock taken before they read or write, so
// each save sees the rows the one before it committed. A lost connection (server stopped or restarted)
// is reported as CStoreException::NoConnection, which makes the store connect again.
class CPostgreSqlDialect : public CStoreDialect
{
public:
    QString driverName() const override;
    void configureConnection(QSqlDatabase& db, const CStoreAddress& address) const override;
    void configureSession(const QSqlDatabase& db) const override;

    Identity identity(const QSqlDatabase& db) const override;
    void writeIdentity(const QSqlDatabase& db, int applicationId, int version) const override;
    QString foreignDatabaseText() const override;
    QStringList schemaStatements(int version) const override;

    QString beginWriteStatement() const override;
    void lockSubject(const QSqlDatabase& db, const QString& subject) const override;
    void announceRevision(const QSqlDatabase& db, long long revisionId) const override;
    QString announcementChannel() const override;
    long long changeCounter(const QSqlDatabase& db) const override;
    QString typedPlaceholder(const QString& sqlType) const override;

    CStoreException failure(const QSqlError& error) const override;
    void recover(const QSqlDatabase& db, const CStoreException& failure) const override;

private:
    static bool isConnectionLost(const QSqlError& error);
    static bool isContention(const QSqlError& error);
};

} // namespace IMC
