#include "data/TradingDayTypes.h"

namespace IMC {
namespace TradingDay {

const std::string FuturesPlatformParam = "14";
const std::string InterestRatePlatformParam = "15";
const std::string OverseasPlatformParam = "WP";

int defaultSessionFlags(int marketType)
{
    return marketType == DomesticMarket ? BothSessions : DaySession;
}

} // namespace TradingDay
} // namespace IMC
