#pragma once

#include "CStoreDialect.h"

namespace IMC {

// A store in one SQLite file. The schema version lives in PRAGMA user_version and the file is marked as
// a trading-day store by PRAGMA application_id; BEGIN IMMEDIATE takes the file's write lock at once, so
// writers queue up and every subject is locked by the transaction itself.
class CSqliteDialect : public CStoreDialect
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
    static void switchToWal(const QSqlDatabase& db);
};

} // namespace IMC
