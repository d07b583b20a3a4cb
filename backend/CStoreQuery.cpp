#include "CStoreQuery.h"

#include "CStoreDialect.h"
#include "CStoreException.h"

#include <QVariant>

namespace IMC {

namespace {
thread_local unsigned long long statementsDone = 0;
} // namespace

QSqlQuery CStoreQuery::run(const QSqlDatabase& db, const QString& sql, const QVariantList& values)
{
    if (values.isEmpty()) {
        QSqlQuery query(db);
        query.setForwardOnly(true);
        if (!query.exec(sql)) {
            fail(db, query.lastError());
        }
        countDone();
        return query;
    }
    QSqlQuery query = prepare(db, sql);
    for (int i = 0; i < values.size(); ++i) {
        query.bindValue(i, values.at(i));
    }
    execPrepared(db, query);
    return query;
}

QSqlQuery CStoreQuery::prepare(const QSqlDatabase& db, const QString& sql)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        fail(db, query.lastError());
    }
    return query;
}

void CStoreQuery::execPrepared(const QSqlDatabase& db, QSqlQuery& query)
{
    if (!query.exec()) {
        fail(db, query.lastError());
    }
    countDone();
}

QVariant CStoreQuery::scalar(const QSqlDatabase& db, const QString& sql, const QVariantList& values)
{
    QSqlQuery query = run(db, sql, values);
    return query.next() ? query.value(0) : QVariant();
}

unsigned long long CStoreQuery::statementsDoneOnThisThread()
{
    return statementsDone;
}

void CStoreQuery::countDone()
{
    ++statementsDone;
}

void CStoreQuery::fail(const QSqlDatabase& db, const QSqlError& error)
{
    const CStoreDialect& dialect = CStoreDialect::of(db);
    const CStoreException failure = dialect.failure(error);
    dialect.recover(db, failure);
    throw failure;
}

} // namespace IMC
