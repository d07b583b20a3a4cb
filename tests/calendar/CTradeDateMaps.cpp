#include "CTradeDateMaps.h"

#include "data/CTradeDateRecords.h"

namespace tds {

TradeDateMap CTradeDateMaps::daysOf(std::initializer_list<std::pair<const char*, int>> days)
{
    TradeDateMap map;
    for (const auto& day : days) {
        IMC::CTradeDateRecords::putDay(map, day.first, day.second);
    }
    return map;
}

TradeDateMap CTradeDateMaps::parse(const QString& days)
{
    TradeDateMap map;
    for (const QString& day : days.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        IMC::CTradeDateRecords::putDay(map, day.section('=', 0, 0).toStdString(),
                                       day.section('=', 1).toInt());
    }
    return map;
}

QStringList CTradeDateMaps::describe(const TradeDateMap& days)
{
    QStringList described;
    for (const auto& day : days) {
        described
            << QStringLiteral("%1=%2").arg(QString::fromStdString(day.first)).arg(day.second->sessionFlags);
    }
    return described;
}

} // namespace tds
