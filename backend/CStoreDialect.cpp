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
