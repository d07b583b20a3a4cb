#pragma once

#include "CStoreAddress.h"
#include "CStoreException.h"
#include "CStoreRevision.h"

#include "records/CItsmTypedMarketTradeDate.h"
#include "records/TradeDateMap.h"
#include "services/ITradingDayBackend.h"

#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

class QSqlError;
class QThread;

namespace IMC {

class CStoreDialect;

// The trading-day store: a SQLite file or a PostgreSQL database that many hosts share, reached through
// Qt SQL; what differs between the two is kept in their CStoreDialect. Every thread that calls it gets
// its own connection, opened at its first call; opening creates a missing file (or the tables of an
// empty database), refuses databases that are not trading-day stores and brings older ones up to the
// current schema. Every save, delete and restore runs in one transaction, waits for any other writer of
// the same market or exchange to finish, and is kept as a revision with the whole day set it produced;
// revisions are never changed or deleted. Failures come back as a utils::TTError with a text for the
// operator. When the server cannot be reached the request fails with CStoreException::NoConnection and
// "交易日数据库无法连接: " and the address; a connection the server dropped is replaced by a new one at
// once, so requests succeed again as soon as the server is back.
//
// Access: the store keeps which rights each operator holds. Saves and deletes (operations 1 and 3) and
// restores need right 10615 (trading-day maintenance), checked inside their transaction whatever the
// client checked before; an operator without it is refused with CStoreException::Forbidden and the text
// "操作员 <name> 没有交易日维护权限(10615)", and nothing changes. First-start rule: until 10615 is granted
// to anyone for the first time, every operator holds it, so a new store works before anyone is granted
// anything. The first grant ends that for good: a store whose last maintainer was revoked refuses every
// save, delete and restore until one is granted again.
class CSqlTradingDayBackend : public ITradingDayBackend
{
public:
    static constexpr int RightTradingDayMaintenance = 10615;

    // address: a file path, "sqlite://" and a path, or "postgresql://user@host:port/database"; see
    // CStoreAddress.
    explicit CSqlTradingDayBackend(const QString& address);
    ~CSqlTradingDayBackend() override;
    CSqlTradingDayBackend(const CSqlTradingDayBackend&) = delete;
    CSqlTradingDayBackend& operator=(const CSqlTradingDayBackend&) = delete;

    utils::TTError query(const ttservice::CItsmQueryDataReq& request,
                         std::vector<boost::shared_ptr<ttservice::IData>>& records) override;
    utils::TTError operate(const ttservice::COperateDataReq& request,
                           const std::string& operatorName) override;
    utils::TTError queryTracked(const ttservice::CItsmQueryDataReq& request,
                                std::vector<boost::shared_ptr<ttservice::IData>>& records,
                                CSeenRevisions& seen) override;
    utils::TTError operateChecked(const ttservice::COperateDataReq& request, const std::string& operatorName,
                                  CSeenRevisions& seen) override;
    utils::TTError queryReference(int dataKind, const std::string& queryParam,
                                  std::vector<boost::shared_ptr<ttservice::IData>>& records) override;

    // Opens the store for the calling thread now rather than at its first request.
    utils::TTError open();
    // Absolute path of the database file; empty when the address was refused or names a server.
    const QString& filePath() const;
    const CStoreAddress& storeAddress() const;

    // Revisions of market 0 to 3 (platformParam as in queries) or, for market 4, of the exchange
    // named, oldest first.
    utils::TTError revisions(int marketType, const std::string& platformParam,
                             const std::string& exchangeName, std::vector<CStoreRevision>& found);
    // What revision revisionId is and the whole day set it keeps.
    utils::TTError revisionDays(long long revisionId, CStoreRevision& revision, TradeDateMap& days);
    // The days of a market (or, for market 4, of the exchange named) as the store stood at revision
    // revisionId (its newest revision with an id up to that) or, with revisionId 0, at time at (its newest
    // revision saved by then); revision is the one that made them. NotFound when it had no revision by then.
    utils::TTError daysAsOf(int marketType, const std::string& platformParam, const std::string& exchangeName,
                            long long revisionId, const QDateTime& at, CStoreRevision& revision,
                            TradeDateMap& days);
    // Makes the state that revision revisionId produced current again, kept as a new revision.
    utils::TTError restoreRevision(long long revisionId, const std::string& operatorName,
                                   CStoreRevision& restored);

    // Revisions of every market and exchange newer than revisionId, oldest first.
    utils::TTError revisionsAfter(long long revisionId, std::vector<CStoreRevision>& found);
    utils::TTError newestRevisionId(long long& revisionId);
    // True when revisionId was written through this object: a desk is not told of its own changes.
    bool wroteRevision(long long revisionId) const;

    // The rights operatorName holds, added to rights: those granted and, under the first-start rule,
    // 10615. The host's user manager answers from this.
    utils::TTError rightsOf(const std::string& operatorName, QSet<int>& rights);
    // Granting a right held already, or revoking one not held, changes nothing and succeeds. The
    // operator name must not be empty and the right must be a positive number.
    utils::TTError grantRight(const std::string& operatorName, int right);
    utils::TTError revokeRight(const std::string& operatorName, int right);
    // The operators granted 10615, sorted.
    utils::TTError maintainers(std::vector<std::string>& operators);

private:
    typedef CSeenRevisions::Subject Subject;

    template<typename Work> utils::TTError guarded(Work&& work);
    // seen null: an unconditional operation that remembers nothing.
    utils::TTError queryDays(const ttservice::CItsmQueryDataReq& request,
                             std::vector<boost::shared_ptr<ttservice::IData>>& records, CSeenRevisions* seen);
    utils::TTError operateOnDays(const ttservice::COperateDataReq& request, const std::string& operatorName,
                                 CSeenRevisions* seen);
    QSqlDatabase connection();
    QSqlDatabase openConnection(QThread* thread);
    CStoreException openFailure(const QSqlError& error) const;
    // failure as the caller sees it: a lost connection names the store's address.
    CStoreException reported(const CStoreException& failure) const;
    // False when the thread had no connection.
    bool forgetConnection(QThread* thread);

    QString marketPlatform(int marketType, const std::string& platformParam) const;
    // What a revision query of market (or exchange) is about; refuses market 4 without an exchange name.
    Subject subjectOf(int marketType, const std::string& platformParam,
                      const std::string& exchangeName) const;
    boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate> loadMarket(const QSqlDatabase& db, int marketType,
                                                                       const QString& platform);
    void loadExchanges(const QSqlDatabase& db, std::vector<boost::shared_ptr<ttservice::IData>>& records);
    void loadTracks(const QSqlDatabase& db, const std::string& platformKind,
                    std::vector<boost::shared_ptr<ttservice::IData>>& records);
    void loadInstruments(const QSqlDatabase& db, std::vector<boost::shared_ptr<ttservice::IData>>& records);

    void requireMaintenanceRight(const QSqlDatabase& db, const std::string& operatorName);
    bool maintainerEverGranted(const QSqlDatabase& db);
    // The newest revision of subject; id 0 when it has none.
    CStoreRevision latestRevision(const QSqlDatabase& db, const Subject& subject);
    // Exchange name to the id of its newest revision.
    std::map<std::string, long long> latestExchangeRevisions(const QSqlDatabase& db);
    // Inside the operation's transaction: refuses it when subject changed since what seen says.
    void requireUnchanged(const QSqlDatabase& db, const Subject& subject, const CSeenRevisions& seen);
    void checkRightArguments(const std::string& operatorName, int right) const;

    const ttservice::CItsmTypedMarketTradeDate&
    operationRecord(const ttservice::COperateDataReq& request) const;
    // With seen, each refuses a change based on an older state and remembers the revision it wrote.
    CStoreRevision saveMarket(const QSqlDatabase& db, int marketType, const QString& platform,
                              const TradeDateMap& days, const std::string& operatorName,
                              long long restoredFrom, CSeenRevisions* seen = nullptr);
    CStoreRevision saveExchange(const QSqlDatabase& db, const ttservice::CItsmTypedMarketTradeDate& exchange,
                                const std::string& operatorName, long long restoredFrom,
                                CSeenRevisions* seen = nullptr);
    CStoreRevision deleteExchange(const QSqlDatabase& db, const std::string& exchangeName,
                                  const std::string& operatorName, long long restoredFrom,
                                  CSeenRevisions* seen = nullptr);
    CStoreRevision recordRevision(const QSqlDatabase& db, CStoreRevision revision, const TradeDateMap& days);
    CStoreRevision loadRevision(const QSqlDatabase& db, long long revisionId, TradeDateMap& days);

    const CStoreAddress address;
    const CStoreDialect& dialect;
    const unsigned long long instanceId;
    mutable std::mutex mutex;
    std::map<QThread*, QSqlDatabase> connections;
    std::set<long long> writtenRevisions;
};

} // namespace IMC
