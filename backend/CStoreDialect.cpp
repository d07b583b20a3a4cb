#include "CStoreDialect.h"

#include "CPostgreSqlDialect.h"
#include "CSqliteDialect.h"
#include "CStoreAddress.h"

#include <QSqlDriver>

namespace IMC {

namespace {
const CSqliteDialect sqliteDialect;
const CPostgreSqlDialect postgreSqlDialect;
} // namespace

CStoreDialect::~CStoreDialect() = default;

CStoreException CStoreDialect::contentionFailure(const QString& databaseText)
{
    return CStoreException(CStoreException::StoreUnreachable,
                           QStringLiteral("交易日数据库正被其他程序占用，请稍后重试：%1").arg(databaseText));
}

CStoreException CStoreDialect::operationFailure(const QString& databaseText)
{
    return CStoreException(CStoreException::DatabaseFailure,
                           QStringLiteral("交易日数据库操作失败：%1").arg(databaseText));
}

const CStoreDialect& CStoreDialect::forAddress(const CStoreAddress& address)
{
    if (address.kind() == CStoreAddress::PostgreSql) {
        return postgreSqlDialect;
    }
    return sqliteDialect;
}

const CStoreDialect& CStoreDialect::of(const QSqlDatabase& db)
{
    return of(db.driver());
}

const CStoreDialect& CStoreDialect::of(const QSqlDriver* driver)
{
    if (driver && driver->dbmsType() == QSqlDriver::PostgreSQL) {
        return postgreSqlDialect;
    }
    return sqliteDialect;
}

} // namespace IMC
