#include "data/CTradeDateRecords.h"

#include "utils/StringConversion.h"

#include <boost/make_shared.hpp>

namespace IMC {

QString CTradeDateRecords::dateText(int year, int month, int day)
{
    return XP::formatIntNumber(year, 2, 0) + QLatin1Char('-') + XP::formatIntNumber(month, 2, 0) +
           QLatin1Char('-') + XP::formatIntNumber(day, 2, 0);
}

boost::shared_ptr<ttservice::CItsmMarketTradeDateInfo> CTradeDateRecords::makeDay(const std::string& date,
                                                                                  int sessionFlags)
{
    auto record = boost::make_shared<ttservice::CItsmMarketTradeDateInfo>();
    record->date = date;
    record->sessionFlags = sessionFlags;
    record->valid = true;
    record->description = "交易日 " + date;
    record->tradeDate = date;
    return record;
}

void CTradeDateRecords::putDay(TradeDateMap& tradeDates, const std::string& date, int sessionFlags)
{
    tradeDates.erase(date);
    tradeDates.insert(std::make_pair(date, makeDay(date, sessionFlags)));
}

void CTradeDateRecords::removeDay(TradeDateMap& tradeDates, const std::string& date)
{
    tradeDates.erase(date);
}

int CTradeDateRecords::sessionFlagsOf(const TradeDateMap& tradeDates, const std::string& date, bool* found)
{
    const auto it = tradeDates.find(date);
    const bool present = it != tradeDates.end() && it->second;
    if (found) {
        *found = present;
    }
    return present ? it->second->sessionFlags : 0;
}

} // namespace IMC
