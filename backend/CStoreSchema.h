#pragma once

#include <QSqlDatabase>
#include <QString>

namespace IMC {

class CStoreDialect;

// The store's tables and their versions. Where the version and the mark of a trading-day store are kept,
// and the DDL of each version, belong to the database's dialect; every open brings an older store up to
// the current version, step by step, each step in its own transaction. The first step also seeds the
// reference data (tracks and overseas instruments); the second adds the operators' rights, the third
// the facts that end the rights' first-start rule.
class CStoreSchema
{
public:
    static const int currentVersion;
    static const int applicationId;

    // Refuses databases that are not trading-day stores or come from a newer program before anything is
    // written; then sets the connection up and migrates. Throws CStoreException.
    // A targetVersion below currentVersion stops there; it makes older stores, for upgrade tests.
    static void prepare(const QSqlDatabase& db, int targetVersion = currentVersion);
    static int version(const QSqlDatabase& db);

private:
    static void checkIdentity(const QSqlDatabase& db, const CStoreDialect& dialect);
    static void migrate(const QSqlDatabase& db, const CStoreDialect& dialect, int targetVersion);
    static void seedTracks(const QSqlDatabase& db);
    static void seedInstruments(const QSqlDatabase& db);
};

} // namespace IMC
