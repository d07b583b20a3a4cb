#pragma once

#include <QSqlDatabase>

namespace IMC {

// One write transaction. It takes the write lock at once (BEGIN IMMEDIATE), so two writers queue up
// instead of failing halfway; anything not committed is rolled back when the guard goes.
class CStoreTransaction
{
public:
    explicit CStoreTransaction(const QSqlDatabase& db);
    ~CStoreTransaction();
    CStoreTransaction(const CStoreTransaction&) = delete;
    CStoreTransaction& operator=(const CStoreTransaction&) = delete;

    void commit();

private:
    QSqlDatabase db;
    bool open = false;
};

} // namespace IMC
