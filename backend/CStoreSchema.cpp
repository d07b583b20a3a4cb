#include "CStoreSchema.h"

#include "CStoreDialect.h"
#include "CStoreException.h"
#include "CStoreQuery.h"
#include "CStoreTransaction.h"

#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <vector>

namespace IMC {

const int CStoreSchema::currentVersion = 3;
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

} // namespace

void CStoreSchema::prepare(const QSqlDatabase& db, int targetVersion)
{
    const CStoreDialect& dialect = CStoreDialect::of(db);
    checkIdentity(db, dialect);
    dialect.configureSession(db);
    migrate(db, dialect, std::min(targetVersion, currentVersion));
}

int CStoreSchema::version(const QSqlDatabase& db)
{
    return CStoreDialect::of(db).identity(db).version;
}

void CStoreSchema::checkIdentity(const QSqlDatabase& db, const CStoreDialect& dialect)
{
    const CStoreDialect::Identity identity = dialect.identity(db);
    const bool isNew = identity.applicationId == 0 && identity.version == 0 && identity.isEmpty;
    if (!isNew && identity.applicationId != applicationId) {
        throw CStoreException(CStoreException::StoreUnreachable, dialect.foreignDatabaseText());
    }
    if (identity.version > currentVersion) {
        throw CStoreException(CStoreException::StoreUnreachable,
                              QStringLiteral("交易日数据库的版本 %1 比本程序支持的版本 %2 新，请升级程序")
                                  .arg(identity.version)
                                  .arg(currentVersion));
    }
}

void CStoreSchema::migrate(const QSqlDatabase& db, const CStoreDialect& dialect, int targetVersion)
{
    while (version(db) < targetVersion) {
        CStoreTransaction transaction(db, QStringLiteral("schema"));
        // Another connection may have migrated while this one waited for the write lock.
        const int nextVersion = version(db) + 1;
        if (nextVersion > targetVersion) {
            return;
        }
        for (const QString& statement : dialect.schemaStatements(nextVersion)) {
            CStoreQuery::run(db, statement);
        }
        if (nextVersion == 1) {
            seedTracks(db);
            seedInstruments(db);
        }
        dialect.writeIdentity(db, applicationId, nextVersion);
        transaction.commit();
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
        CStoreQuery::execPrepared(db, insert);
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
        CStoreQuery::execPrepared(db, insert);
    }
}

} // namespace IMC
