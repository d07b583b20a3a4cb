#pragma once

#include <boost/shared_ptr.hpp>

#include <map>
#include <string>

namespace ttservice {
class CItsmMarketTradeDateInfo;
}

// Date text ("yyyy-MM-dd") to the day record of that trading day, in byte order of the keys.
typedef std::map<std::string, boost::shared_ptr<ttservice::CItsmMarketTradeDateInfo>> TradeDateMap;
