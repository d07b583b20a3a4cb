#include "CStoreQuery.h"

#include "CStoreException.h"

#include <QVariant>

namespace IMC {

namespace {
// SQLite's result codes for a file that is not a database and for a busy or locked file.
const QString notADatabaseCode = QStringLiteral("26");
const QString busyCode = QStringLiteral("5");
const QString lockedCode = QStringLiteral("6");
} // namespace

QSqlQuery CStoreQuery::run(const QSqlDatabase& db, const QString& sql, const QVariantList& values)
{
    QSqlQuery query = prepare(db, sql);
    for (int i = 0; i < values.size(); ++i) {
        query.bindValue(i, values.at(i));
    }
    execPrepared(query);
    return query;
}

QSqlQuery CStoreQuery::prepare(const QSqlDatabase& db, const QString& sql)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        fail(query.lastError());
    }
    return query;
}

void CStoreQuery::execPrepared(QSqlQuery& query)
{
    if (!query.exec()) {
        fail(query.lastError());
    }
}

QVariant CStoreQuery::scalar(const QSqlDatabase& db, const QString& sql, const QVariantList& values)
{
    QSqlQuery query = run(db, sql, values);
    return query.next() ? query.value(0) : QVariant();
}

void CStoreQuery::fail(const QSqlError& error)
{
    if (isNotADatabase(error)) {
        throw CStoreException(CStoreException::StoreUnreachable,
                              QStringLiteral("文件不是交易日数据库：%1").arg(error.databaseText()));
    }
    if (error.nativeErrorCode() == busyCode || error.nativeErrorCode() == lockedCode) {
        throw CStoreException(
            CStoreException::StoreUnreachable,
            QStringLiteral("交易日数据库正被其他程序占用，请稍后重试：%1").arg(error.databaseText()));
    }
    throw CStoreException(CStoreException::DatabaseFailure,
                          QStringLiteral("交易日数据库操作失败：%1").arg(error.databaseText()));
}

bool CStoreQuery::isNotADatabase(const QSqlError& error)
{
    return error.nativeErrorCode() == notADatabaseCode;
}

} // namespace IMC
