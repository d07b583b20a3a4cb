#pragma once

#include <QSqlDatabase>
#include <QString>

namespace IMC {

// One write transaction on one subject (a market, an exchange, the schema). It waits at once until no
// other writer of the subject is left, so two writers queue up instead of failing halfway or mixing
// their rows; anything not committed is rolled back when the guard goes.
class CStoreTransaction
{
public:
    CStoreTransaction(const QSqlDatabase& db, const QString& subject);
    ~CStoreTransaction();
    CStoreTransaction(const CStoreTransaction&) = delete;
    CStoreTransaction& operator=(const CStoreTransaction&) = delete;

    void commit();

private:
    void rollback();

    QSqlDatabase db;
    bool open = false;
};

} // namespace IMC
