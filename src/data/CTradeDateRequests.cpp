#include "data/CTradeDateRequests.h"

#include "data/TradingDayTypes.h"

#include <boost/lexical_cast.hpp>
#include <boost/make_shared.hpp>

namespace IMC {

boost::shared_ptr<ttservice::CItsmQueryDataReq> CTradeDateRequests::makeQuery(int marketType,
                                                                              const std::string& platform)
{
    auto request = boost::make_shared<ttservice::CItsmQueryDataReq>();
    request->dataType = TradingDay::TradeDatesKind;
    request->marketParam = boost::lexical_cast<std::string>(marketType);
    request->platformParam = platform;
    return request;
}

boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate>
CTradeDateRequests::makeTypedRecord(int marketType, const TradeDateMap& tradeDates)
{
    auto record = boost::make_shared<ttservice::CItsmTypedMarketTradeDate>();
    record->marketType = marketType;
    record->tradeDates = tradeDates;
    return record;
}

boost::shared_ptr<ttservice::COperateDataReq>
CTradeDateRequests::makeOperation(int operation,
                                  const boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate>& record,
                                  const std::string& platform)
{
    auto request = boost::make_shared<ttservice::COperateDataReq>();
    request->dataType = TradingDay::TradeDatesKind;
    request->operation = operation;
    request->records.push_back(record);
    request->platformParam = platform;
    return request;
}

} // namespace IMC
