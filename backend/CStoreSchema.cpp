#include "CStoreSchema.h"

#include "CStoreException.h"
#include "CStoreQuery.h"
#include "CStoreTransaction.h"

#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <functional>
#include <vector>

namespace IMC {

const int CStoreSchema::currentVersion = 2;
// "TDS1" in ASCII.
const int CStoreSchema::applicationId = 0x54445331;

namespace {

struct SeedTrack
{
    const char* platformKind;
    int trackId;
    const char* name;
};

struct SeedInstrument
{
    const char* instrumentCode;
    const char* instrumentName;
    const char* exchangeCode;
    const char* exchangeName;
};

const SeedTrack trackSeeds[] = {
    {"14", 1, "能源化工赛道"},     {"14", 2, "有色金属赛道"}, {"14", 3, "农产品赛道"},
    {"14", 4, "股指期货赛道"},     {"15", 5, "国债期货赛道"}, {"15", 6, "利率互换赛道"},
    {"15", 7, "短期利率期货赛道"},
};

const SeedInstrument instrumentSeeds[] = {
    {"ES", "E-mini标普500指数期货", "CME", "芝加哥商业交易所"},
    {"NQ", "E-mini纳斯达克100指数期货", "CME", "芝加哥商业交易所"},
    {"6E", "欧元兑美元期货", "CME", "芝加哥商业交易所"},
    {"ZC", "玉米期货", "CBOT", "芝加哥期货交易所"},
    {"ZS", "大豆期货", "CBOT", "芝加哥期货交易所"},
    {"ZW", "小麦期货", "CBOT", "芝加哥期货交易所"},
    {"ZN", "10年期美国国债期货", "CBOT", "芝加哥期货交易所"},
    {"CL", "WTI原油期货", "NYMEX", "纽约商业交易所"},
    {"NG", "天然气期货", "NYMEX", "纽约商业交易所"},
    {"GC", "黄金期货", "COMEX", "纽约商品交易所"},
    {"SI", "白银期货", "COMEX", "纽约商品交易所"},
    {"HG", "铜期货", "COMEX", "纽约商品交易所"},
    {"B", "布伦特原油期货", "ICE", "洲际交易所"},
    {"CT", "2号棉花期货", "ICE", "洲际交易所"},
    {"SB", "11号原糖期货", "ICE", "洲际交易所"},
    {"CAD", "LME铜", "LME", "伦敦金属交易所"},
    {"AHD", "LME铝", "LME", "伦敦金属交易所"},
    {"ZSD", "LME锌", "LME", "伦敦金属交易所"},
    {"NID", "LME镍", "LME", "伦敦金属交易所"},
    {"FEF", "铁矿石期货", "SGX", "新加坡交易所"},
    {"CN", "富时中国A50指数期货", "SGX", "新加坡交易所"},
    {"HSI", "恒生指数期货", "HKEX", "香港交易所"},
    {"MHI", "小型恒生指数期货", "HKEX", "香港交易所"},
    {"HHI", "恒生中国企业指数期货", "HKEX", "香港交易所"},
    {"FDAX", "DAX指数期货", "Eurex", "欧洲期货交易所"},
    {"FESX", "欧洲斯托克50指数期货", "Eurex", "欧洲期货交易所"},
    {"FGBL", "德国10年期国债期货", "Eurex", "欧洲期货交易所"},
    {"NK225", "日经225指数期货", "OSE", "大阪交易所"},
    {"JGBL", "日本10年期国债期货", "OSE", "大阪交易所"},
};

// Day rows keep only what differs from the usual texts; see CDaySetCodec.
const char* const version1Statements[] = {
    "CREATE TABLE market_day ("
    " market_type INTEGER NOT NULL CHECK (market_type BETWEEN 0 AND 3),"
    " platform TEXT NOT NULL,"
    " day_key TEXT NOT NULL,"
    " session_flags INTEGER NOT NULL,"
    " valid INTEGER NOT NULL,"
    " date_text TEXT,"
    " description TEXT,"
    " trade_date TEXT,"
    " PRIMARY KEY (market_type, platform, day_key)) WITHOUT ROWID",
    "CREATE TABLE exchange ("
    " id INTEGER PRIMARY KEY,"
    " name TEXT NOT NULL UNIQUE,"
    " code TEXT NOT NULL,"
    " track_id INTEGER NOT NULL)",
    "CREATE TABLE exchange_day ("
    " exchange_id INTEGER NOT NULL REFERENCES exchange (id) ON DELETE CASCADE,"
    " day_key TEXT NOT NULL,"
    " session_flags INTEGER NOT NULL,"
    " valid INTEGER NOT NULL,"
    " date_text TEXT,"
    " description TEXT,"
    " trade_date TEXT,"
    " PRIMARY KEY (exchange_id, day_key)) WITHOUT ROWID",
    "CREATE TABLE track ("
    " platform_kind TEXT NOT NULL,"
    " track_id INTEGER NOT NULL,"
    " name TEXT NOT NULL,"
    " PRIMARY KEY (platform_kind, track_id))",
    "CREATE TABLE instrument ("
    " id INTEGER PRIMARY KEY,"
    " instrument_code TEXT NOT NULL,"
    " instrument_name TEXT NOT NULL,"
    " exchange_code TEXT NOT NULL,"
    " exchange_name TEXT NOT NULL)",
    // One row per save, delete or restore: market type and platform for markets, the exchange's name,
    // code and track for market 4; days holds the whole day set the operation produced.
    "CREATE TABLE revision ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " market_type INTEGER NOT NULL,"
    " platform TEXT NOT NULL,"
    " exchange_name TEXT NOT NULL,"
    " exchange_code TEXT NOT NULL,"
    " track_id INTEGER NOT NULL,"
    " operation INTEGER NOT NULL,"
    " restored_from INTEGER REFERENCES revision (id),"
    " operator TEXT NOT NULL,"
    " saved_at TEXT NOT NULL,"
    " day_count INTEGER NOT NULL,"
    " days BLOB NOT NULL)",
    "CREATE INDEX revision_by_subject ON revision (market_type, platform, exchange_name, id)",
    "CREATE TRIGGER revision_never_deleted BEFORE DELETE ON revision"
    " BEGIN SELECT RAISE(ABORT, 'revisions are never deleted'); END",
    "CREATE TRIGGER revision_never_changed BEFORE UPDATE ON revision"
    " BEGIN SELECT RAISE(ABORT, 'revisions are never changed'); END",
};

// One row per right an operator holds.
const char* const version2Statements[] = {
    "CREATE TABLE operator_right ("
    " operator TEXT NOT NULL,"
    " right_id INTEGER NOT NULL,"
    " PRIMARY KEY (operator, right_id)) WITHOUT ROWID",
    "CREATE INDEX operator_right_by_right ON operator_right (right_id)",
};

} // namespace

void CStoreSchema::prepare(const QSqlDatabase& db, int targetVersion)
{
    checkIdentity(db);
    configureConnection(db);
    migrate(db, std::min(targetVersion, currentVersion));
}

int CStoreSchema::version(const QSqlDatabase& db)
{
    return CStoreQuery::scalar(db, QStringLiteral("PRAGMA user_version")).toInt();
}

void CStoreSchema::checkIdentity(const QSqlDatabase& db)
{
    // One statement reads one snapshot, so a migration committed by another connection in between
    // cannot make a new store look like a foreign one.
    QSqlQuery identity =
        CStoreQuery::run(db, QStringLiteral("SELECT (SELECT application_id FROM pragma_application_id), "
                                            "(SELECT user_version FROM pragma_user_version), "
                                            "(SELECT count(*) FROM sqlite_master)"));
    identity.next();
    const int fileApplicationId = identity.value(0).toInt();
    const int fileVersion = identity.value(1).toInt();
    const int objectCount = identity.value(2).toInt();
    identity.finish();
    const bool isNew = fileApplicationId == 0 && fileVersion == 0 && objectCount == 0;
    if (!isNew && fileApplicationId != applicationId) {
        throw CStoreException(CStoreException::StoreUnreachable,
                              QStringLiteral("文件是其他程序的 SQLite 数据库，不是交易日数据库"));
    }
    if (fileVersion > currentVersion) {
        throw CStoreException(CStoreException::StoreUnreachable,
                              QStringLiteral("交易日数据库的版本 %1 比本程序支持的版本 %2 新，请升级程序")
                                  .arg(fileVersion)
                                  .arg(currentVersion));
    }
}

void CStoreSchema::configureConnection(const QSqlDatabase& db)
{
    CStoreQuery::run(db, QStringLiteral("PRAGMA journal_mode = WAL"));
    // In WAL mode NORMAL keeps the file consistent on power loss; only the last commits may be lost.
    CStoreQuery::run(db, QStringLiteral("PRAGMA synchronous = NORMAL"));
    CStoreQuery::run(db, QStringLiteral("PRAGMA foreign_keys = ON"));
}

void CStoreSchema::migrate(const QSqlDatabase& db, int targetVersion)
{
    const std::vector<std::function<void(const QSqlDatabase&)>> steps = {&CStoreSchema::createVersion1,
                                                                         &CStoreSchema::createVersion2};
    while (version(db) < targetVersion) {
        CStoreTransaction transaction(db);
        // Another connection may have migrated while this one waited for the write lock.
        const int fileVersion = version(db);
        if (fileVersion >= targetVersion) {
            return;
        }
        steps.at(static_cast<std::size_t>(fileVersion))(db);
        CStoreQuery::run(db, QStringLiteral("PRAGMA application_id = %1").arg(applicationId));
        CStoreQuery::run(db, QStringLiteral("PRAGMA user_version = %1").arg(fileVersion + 1));
        transaction.commit();
    }
}

void CStoreSchema::createVersion1(const QSqlDatabase& db)
{
    for (const char* statement : version1Statements) {
        CStoreQuery::run(db, QString::fromUtf8(statement));
    }
    seedTracks(db);
    seedInstruments(db);
}

void CStoreSchema::createVersion2(const QSqlDatabase& db)
{
    for (const char* statement : version2Statements) {
        CStoreQuery::run(db, QString::fromUtf8(statement));
    }
}

void CStoreSchema::seedTracks(const QSqlDatabase& db)
{
    QSqlQuery insert = CStoreQuery::prepare(
        db, QStringLiteral("INSERT INTO track (platform_kind, track_id, name) VALUES (?, ?, ?)"));
    for (const SeedTrack& track : trackSeeds) {
        insert.bindValue(0, QString::fromUtf8(track.platformKind));
        insert.bindValue(1, track.trackId);
        insert.bindValue(2, QString::fromUtf8(track.name));
        CStoreQuery::execPrepared(insert);
    }
}

void CStoreSchema::seedInstruments(const QSqlDatabase& db)
{
    QSqlQuery insert =
        CStoreQuery::prepare(db, QStringLiteral("INSERT INTO instrument (instrument_code, "
                                                "instrument_name, exchange_code, exchange_name) "
                                                "VALUES (?, ?, ?, ?)"));
    for (const SeedInstrument& instrument : instrumentSeeds) {
        insert.bindValue(0, QString::fromUtf8(instrument.instrumentCode));
        insert.bindValue(1, QString::fromUtf8(instrument.instrumentName));
        insert.bindValue(2, QString::fromUtf8(instrument.exchangeCode));
        insert.bindValue(3, QString::fromUtf8(instrument.exchangeName));
        CStoreQuery::execPrepared(insert);
    }
}

} // namespace IMC
