#pragma once

#include "records/CItsmInstrumentDetail.h"
#include "records/CItsmPlatformInfo.h"
#include "records/CItsmTypedMarketTradeDate.h"
#include "records/TradeDateMap.h"
#include "services/CReceivedOperation.h"
#include "services/CReceivedReferenceQuery.h"
#include "services/ITradingDayBackend.h"

#include <boost/optional.hpp>

#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace IMC {

// Back end that keeps everything in memory. Thread-safe: the worker thread answers requests while
// tests or tools fill it and read what arrived from any thread. Records handed in and out are deep
// copies, so nobody shares a record with the store.
class CMemoryTradingDayBackend : public ITradingDayBackend
{
public:
    CMemoryTradingDayBackend();
    ~CMemoryTradingDayBackend() override;

    utils::TTError query(const ttservice::CItsmQueryDataReq& request,
                         std::vector<boost::shared_ptr<ttservice::IData>>& records) override;
    utils::TTError operate(const ttservice::COperateDataReq& request,
                           const std::string& operatorName) override;
    utils::TTError queryReference(int dataKind, const std::string& queryParam,
                                  std::vector<boost::shared_ptr<ttservice::IData>>& records) override;

    // Tracks of kinds "14" and "15" and the instruments of ten overseas exchanges.
    void seedReferenceData();

    // Replaces the days of market 0, 1 or 2 (platformParam ignored) or of market 3 on platform
    // "14" or "15".
    void setMarketDays(int marketType, const TradeDateMap& days,
                       const std::string& platformParam = std::string());
    TradeDateMap marketDays(int marketType, const std::string& platformParam = std::string()) const;
    // Replaces the overseas exchange list (market 4), in the given order.
    void
    setTypedRecords(const std::vector<boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate>>& exchanges);
    void setTracks(const std::string& platformKind,
                   const std::vector<boost::shared_ptr<ttservice::CItsmPlatformInfo>>& tracks);
    void setInstruments(const std::vector<boost::shared_ptr<ttservice::CItsmInstrumentDetail>>& instruments);

    // The next request of any kind fails with text (which may be empty) and changes nothing.
    void failNext(const std::string& text);

    // What arrived, in order; trade-date queries, operations and reference queries apart.
    std::vector<ttservice::CItsmQueryDataReq> receivedQueries() const;
    std::vector<CReceivedOperation> receivedOperations() const;
    std::vector<CReceivedReferenceQuery> receivedReferenceQueries() const;
    void clearReceived();

private:
    typedef std::pair<int, std::string> MarketKey;

    boost::optional<utils::TTError> takePendingFailure();
    utils::TTError marketKeyOf(int marketType, const std::string& platformParam, MarketKey& key) const;
    utils::TTError saveMarket(const ttservice::CItsmTypedMarketTradeDate& record,
                              const std::string& platformParam);
    utils::TTError saveExchange(const ttservice::CItsmTypedMarketTradeDate& record);
    utils::TTError deleteExchange(const ttservice::CItsmTypedMarketTradeDate& record);

    mutable std::mutex mutex;
    std::map<MarketKey, TradeDateMap> markets;
    std::vector<boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate>> exchanges;
    std::map<std::string, std::vector<boost::shared_ptr<ttservice::CItsmPlatformInfo>>> tracks;
    std::vector<boost::shared_ptr<ttservice::CItsmInstrumentDetail>> instruments;
    boost::optional<std::string> pendingFailure;
    std::vector<ttservice::CItsmQueryDataReq> queries;
    std::vector<CReceivedOperation> operations;
    std::vector<CReceivedReferenceQuery> referenceQueries;
};

} // namespace IMC
