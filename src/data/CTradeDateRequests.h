#pragma once

#include "records/CItsmQueryDataReq.h"
#include "records/CItsmTypedMarketTradeDate.h"
#include "records/COperateDataReq.h"
#include "records/TradeDateMap.h"

#include <boost/shared_ptr.hpp>

#include <string>

namespace IMC {

// Builds the trade-date query and operation requests the panel hands to the host data service.
class CTradeDateRequests
{
public:
    // Data kind 12306 for one market type, narrowed by a platform parameter (may be empty).
    static boost::shared_ptr<ttservice::CItsmQueryDataReq> makeQuery(int marketType,
                                                                     const std::string& platform);

    // The trading days of one market type (calendar pages) or one overseas exchange.
    static boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate>
    makeTypedRecord(int marketType, const TradeDateMap& tradeDates);

    // Data kind 12306 carrying exactly the one typed record.
    static boost::shared_ptr<ttservice::COperateDataReq>
    makeOperation(int operation, const boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate>& record,
                  const std::string& platform);
};

} // namespace IMC
