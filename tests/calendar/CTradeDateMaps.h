#pragma once

#include "records/TradeDateMap.h"

#include <QStringList>

#include <initializer_list>
#include <utility>

namespace tds {

// Trade-date maps as tests write and read them: built through the plug-in's own record maker from
// (date, sessions) pairs or from "date=flags date=flags", and described as "date=flags" in date order.
class CTradeDateMaps
{
public:
    static TradeDateMap daysOf(std::initializer_list<std::pair<const char*, int>> days);
    static TradeDateMap parse(const QString& days);
    static QStringList describe(const TradeDateMap& days);
};

} // namespace tds
