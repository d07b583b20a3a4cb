#pragma once

#include "CStoreAddress.h"
#include "CStoreRevision.h"

#include "records/CItsmTypedMarketTradeDate.h"
#include "records/TradeDateMap.h"
#include "services/ITradingDayBackend.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include <map>
#include <mutex>
#include <string>
#include <vector>

class QThread;

namespace IMC {

// The trading-day store: a SQLite file reached through Qt SQL. Every thread that calls it gets its own
// connection, opened at its first call; opening creates a missing file, refuses files that are not
// trading-day stores and brings older files up to the current schema. Every save, delete and restore
// runs in one transaction and is kept as a revision with the whole day set it produced; revisions are
// never changed or deleted. Failures come back as a utils::TTError with a text for the operator.
class CSqlTradingDayBackend : public ITradingDayBackend
{
public:
    // address: a file path or "sqlite://" and a path; see CStoreAddress.
    explicit CSqlTradingDayBackend(const QString& address);
    ~CSqlTradingDayBackend() override;
    CSqlTradingDayBackend(const CSqlTradingDayBackend&) = delete;
    CSqlTradingDayBackend& operator=(const CSqlTradingDayBackend&) = delete;

    utils::TTError query(const ttservice::CItsmQueryDataReq& request,
                         std::vector<boost::shared_ptr<ttservice::IData>>& records) override;
    utils::TTError operate(const ttservice::COperateDataReq& request,
                           const std::string& operatorName) override;
    utils::TTError queryReference(int dataKind, const std::string& queryParam,
                                  std::vector<boost::shared_ptr<ttservice::IData>>& records) override;

    // Opens the store for the calling thread now rather than at its first request.
    utils::TTError open();
    // Absolute path of the database file; empty when the address was refused.
    const QString& filePath() const;

    // Revisions of market 0 to 3 (platformParam as in queries) or, for market 4, of the exchange
    // named, oldest first.
    utils::TTError revisions(int marketType, const std::string& platformParam,
                             const std::string& exchangeName, std::vector<CStoreRevision>& found);
    // Makes the state that revision revisionId produced current again, kept as a new revision.
    utils::TTError restoreRevision(long long revisionId, const std::string& operatorName,
                                   CStoreRevision& restored);

private:
    QSqlDatabase connection();
    QSqlDatabase openConnection(QThread* thread);
    void forgetConnection(QThread* thread);

    QString marketPlatform(int marketType, const std::string& platformParam) const;
    boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate> loadMarket(const QSqlDatabase& db, int marketType,
                                                                       const QString& platform);
    void loadExchanges(const QSqlDatabase& db, std::vector<boost::shared_ptr<ttservice::IData>>& records);
    void loadTracks(const QSqlDatabase& db, const std::string& platformKind,
                    std::vector<boost::shared_ptr<ttservice::IData>>& records);
    void loadInstruments(const QSqlDatabase& db, std::vector<boost::shared_ptr<ttservice::IData>>& records);

    const ttservice::CItsmTypedMarketTradeDate&
    operationRecord(const ttservice::COperateDataReq& request) const;
    CStoreRevision saveMarket(const QSqlDatabase& db, int marketType, const QString& platform,
                              const TradeDateMap& days, const std::string& operatorName,
                              long long restoredFrom);
    CStoreRevision saveExchange(const QSqlDatabase& db, const ttservice::CItsmTypedMarketTradeDate& exchange,
                                const std::string& operatorName, long long restoredFrom);
    CStoreRevision deleteExchange(const QSqlDatabase& db, const std::string& exchangeName,
                                  const std::string& operatorName, long long restoredFrom);
    // Rows of table: the owner's columns and values, then each day's key, flags, valid flag and texts.
    void insertDays(const QSqlDatabase& db, const QString& table, const QStringList& ownerColumns,
                    const QVariantList& ownerValues, const TradeDateMap& days);
    CStoreRevision recordRevision(const QSqlDatabase& db, CStoreRevision revision, const TradeDateMap& days);
    CStoreRevision loadRevision(const QSqlDatabase& db, long long revisionId, TradeDateMap& days);

    const CStoreAddress address;
    const unsigned long long instanceId;
    std::mutex mutex;
    std::map<QThread*, QSqlDatabase> connections;
};

} // namespace IMC
