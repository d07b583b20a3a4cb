#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

namespace IMC {

// Runs one statement of the store with its values bound; a failure aborts the store operation with a
// CStoreException that names what went wrong, after the database's dialect has made the connection fit
// for the clean-up that follows.
class CStoreQuery
{
public:
    // A statement without values (DDL, transaction control, settings) is sent as it is; one with values
    // is prepared and its values bound.
    static QSqlQuery run(const QSqlDatabase& db, const QString& sql, const QVariantList& values = {});
    static QSqlQuery prepare(const QSqlDatabase& db, const QString& sql);
    static void execPrepared(const QSqlDatabase& db, QSqlQuery& query);
    // The first column of the first row, or an invalid value when there is no row.
    static QVariant scalar(const QSqlDatabase& db, const QString& sql, const QVariantList& values = {});

    [[noreturn]] static void fail(const QSqlDatabase& db, const QSqlError& error);

    // How many statements have run without failing on the calling thread so far.
    static unsigned long long statementsDoneOnThisThread();

private:
    static void countDone();
};

} // namespace IMC
