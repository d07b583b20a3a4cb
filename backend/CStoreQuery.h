#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

namespace IMC {

// Runs one statement of the store with its values bound; a failure aborts the store operation with a
// CStoreException that names what went wrong.
class CStoreQuery
{
public:
    static QSqlQuery run(const QSqlDatabase& db, const QString& sql, const QVariantList& values = {});
    static QSqlQuery prepare(const QSqlDatabase& db, const QString& sql);
    static void execPrepared(QSqlQuery& query);
    // The first column of the first row, or an invalid value when there is no row.
    static QVariant scalar(const QSqlDatabase& db, const QString& sql, const QVariantList& values = {});

    [[noreturn]] static void fail(const QSqlError& error);
    static bool isNotADatabase(const QSqlError& error);
};

} // namespace IMC
