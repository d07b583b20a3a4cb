#include "CStoreTransaction.h"

#include "CStoreDialect.h"
#include "CStoreQuery.h"

namespace IMC {

CStoreTransaction::CStoreTransaction(const QSqlDatabase& db, const QString& subject)
    : db(db)
{
    const CStoreDialect& dialect = CStoreDialect::of(db);
    CStoreQuery::run(db, dialect.beginWriteStatement());
    open = true;
    try {
        dialect.lockSubject(db, subject);
    } catch (...) {
        rollback();
        throw;
    }
}

CStoreTransaction::~CStoreTransaction()
{
    if (open) {
        rollback();
    }
}

void CStoreTransaction::commit()
{
    CStoreQuery::run(db, QStringLiteral("COMMIT"));
    open = false;
}

void CStoreTransaction::rollback()
{
    open = false;
    // A connection the server broke off is closed by the driver; the server has rolled back already.
    if (db.isOpen()) {
        QSqlQuery statement(db);
        statement.exec(QStringLiteral("ROLLBACK"));
    }
}

} // namespace IMC
