#pragma once

#include "records/CItsmQueryDataReq.h"
#include "records/COperateDataReq.h"
#include "records/IData.h"
#include "services/CSeenRevisions.h"
#include "utils/TTError.h"

#include <boost/shared_ptr.hpp>

#include <string>
#include <vector>

namespace IMC {

// The back end behind one system. Its functions are called only on the worker thread of that
// system's CItsmClient, one at a time, so an implementation may keep thread-bound resources. Bad
// requests are answered with a failure whose text says what is wrong, never by throwing.
class ITradingDayBackend
{
public:
    static constexpr int DataKindTradeDates = 12306;
    static constexpr int DataKindTracks = 12262;
    static constexpr int DataKindInstruments = 12482;
    static constexpr int OperationSave = 1;
    static constexpr int OperationDelete = 3;

    virtual ~ITradingDayBackend();

    // Trade dates (kind 12306). Market "0", "1", "2" (platform ignored) and "3" (platform "14" or
    // "15") answer one CItsmTypedMarketTradeDate of that market, with an empty map when it has no
    // days; "4" with platform "WP" answers one typed record per overseas exchange.
    virtual utils::TTError query(const ttservice::CItsmQueryDataReq& request,
                                 std::vector<boost::shared_ptr<ttservice::IData>>& records) = 0;

    // Operation on trade dates (kind 12306) carrying exactly one CItsmTypedMarketTradeDate.
    // Operation 1 on markets 0 to 3 replaces the market's whole set by the sent map; on market 4
    // (platform "WP") it creates the exchange named or replaces its code, track id and days.
    // Operation 3 on market 4 deletes the exchange named.
    virtual utils::TTError operate(const ttservice::COperateDataReq& request,
                                   const std::string& operatorName) = 0;

    // Reference data: kind 12262 with queryParam "14" or "15" answers that platform kind's tracks
    // as CItsmPlatformInfo; kind 12482 answers CItsmInstrumentDetail records.
    // The same as query and operate for a desk that shares the store with others. queryTracked remembers in
    // seen the revision each answered market or exchange reflects. operateChecked is refused when the market
    // or exchange has changed since the revision seen says (an exchange not seen must not exist), and on
    // success leaves in seen the revision it wrote. A back end that keeps no revisions checks nothing and
    // remembers nothing: these call query and operate.
    virtual utils::TTError queryTracked(const ttservice::CItsmQueryDataReq& request,
                                        std::vector<boost::shared_ptr<ttservice::IData>>& records,
                                        CSeenRevisions& seen);
    virtual utils::TTError operateChecked(const ttservice::COperateDataReq& request,
                                          const std::string& operatorName, CSeenRevisions& seen);

    virtual utils::TTError queryReference(int dataKind, const std::string& queryParam,
                                          std::vector<boost::shared_ptr<ttservice::IData>>& records) = 0;
};

} // namespace IMC
