#include "CStoreTransaction.h"

#include "CStoreQuery.h"

namespace IMC {

CStoreTransaction::CStoreTransaction(const QSqlDatabase& db)
    : db(db)
{
    CStoreQuery::run(db, QStringLiteral("BEGIN IMMEDIATE"));
    open = true;
}

CStoreTransaction::~CStoreTransaction()
{
    if (open) {
        QSqlQuery rollback(db);
        rollback.exec(QStringLiteral("ROLLBACK"));
    }
}

void CStoreTransaction::commit()
{
    CStoreQuery::run(db, QStringLiteral("COMMIT"));
    open = false;
}

} // namespace IMC
