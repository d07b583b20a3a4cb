#pragma once

#include "records/COperateDataReq.h"
#include "records/TradeDateMap.h"

class QDate;

namespace tds::bench {

// Day maps for the benchmarks: every Monday to Friday is a trading day with the given sessions and the
// texts the plug-in writes ("交易日 " and the date).

// The first count weekdays from first on. 7,500 of them from 1 January 1996 reach into 2024.
TradeDateMap weekdaysFrom(const QDate& first, int count, int sessionFlags = 3);

// Every weekday of the years firstYear to firstYear + years - 1.
TradeDateMap weekdaysOfYears(int firstYear, int years, int sessionFlags = 3);

// The save of the domestic market's whole set, as the calendar page sends it.
ttservice::COperateDataReq domesticSave(const TradeDateMap& days);

} // namespace tds::bench
