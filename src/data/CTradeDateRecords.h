#pragma once

#include "records/CItsmMarketTradeDateInfo.h"
#include "records/TradeDateMap.h"

#include <boost/shared_ptr.hpp>

#include <QString>

#include <string>

namespace IMC {

// The one way the panel makes day records and changes a trade-date map. A record already in a map is
// never changed in place: it may still be shared with the records of the last query answer.
class CTradeDateRecords
{
public:
    // "yyyy-MM-dd", each part at least two digits: the key of every trade-date map.
    static QString dateText(int year, int month, int day);

    static boost::shared_ptr<ttservice::CItsmMarketTradeDateInfo> makeDay(const std::string& date,
                                                                          int sessionFlags);

    // Erases any record under date, then inserts a new one with the given sessions.
    static void putDay(TradeDateMap& tradeDates, const std::string& date, int sessionFlags);

    static void removeDay(TradeDateMap& tradeDates, const std::string& date);

    // Session flags of the record under date, or 0 when the map has none; found tells which.
    static int sessionFlagsOf(const TradeDateMap& tradeDates, const std::string& date, bool* found);
};

} // namespace IMC
