#pragma once

#include <QSqlDatabase>
#include <QString>

namespace IMC {

// The store's tables and their versions. The schema version lives in PRAGMA user_version and the
// file is marked as a trading-day store by PRAGMA application_id; every open brings an older file up
// to the current version, step by step, each step in its own transaction. The first step also seeds
// the reference data (tracks and overseas instruments); the second adds the operators' rights.
class CStoreSchema
{
public:
    static const int currentVersion;
    static const int applicationId;

    // Refuses files that are not trading-day stores or come from a newer program before anything is
    // written; then sets the connection up (WAL, foreign keys) and migrates. Throws CStoreException.
    // A targetVersion below currentVersion stops there; it makes older files, for upgrade tests.
    static void prepare(const QSqlDatabase& db, int targetVersion = currentVersion);
    static int version(const QSqlDatabase& db);

private:
    static void checkIdentity(const QSqlDatabase& db);
    static void configureConnection(const QSqlDatabase& db);
    static void migrate(const QSqlDatabase& db, int targetVersion);
    static void createVersion1(const QSqlDatabase& db);
    static void createVersion2(const QSqlDatabase& db);
    static void seedTracks(const QSqlDatabase& db);
    static void seedInstruments(const QSqlDatabase& db);
};

} // namespace IMC
