#include "CTradingCalendar.h"

#include "records/CItsmMarketTradeDateInfo.h"

#include <algorithm>

namespace IMC {

CTradingCalendar::CTradingCalendar(const TradeDateMap& days)
{
    tradingDays.reserve(days.size());
    flags.reserve(days.size());
    // The map is ordered by key bytes, which for ISO dates is date order.
    for (const auto& day : days) {
        const QDate date = dayOf(QString::fromStdString(day.first));
        if (!date.isValid()) {
            continue;
        }
        tradingDays.push_back(date.toJulianDay());
        flags.push_back(day.second ? day.second->sessionFlags : 0);
    }
}

QDate CTradingCalendar::dayOf(const QString& text)
{
    return text.size() == 10 ? QDate::fromString(text, Qt::ISODate) : QDate();
}

bool CTradingCalendar::isEmpty() const
{
    return tradingDays.empty();
}

QDate CTradingCalendar::firstStoredDay() const
{
    return isEmpty() ? QDate() : QDate::fromJulianDay(tradingDays.front());
}

QDate CTradingCalendar::lastStoredDay() const
{
    return isEmpty() ? QDate() : QDate::fromJulianDay(tradingDays.back());
}

bool CTradingCalendar::covers(const QDate& date) const
{
    return !isEmpty() && date.isValid() && date.toJulianDay() >= tradingDays.front() &&
           date.toJulianDay() <= tradingDays.back();
}

std::vector<qint64>::const_iterator CTradingCalendar::find(const QDate& date) const
{
    const auto found = std::lower_bound(tradingDays.begin(), tradingDays.end(), date.toJulianDay());
    return found != tradingDays.end() && *found == date.toJulianDay() ? found : tradingDays.end();
}

bool CTradingCalendar::isTradingDay(const QDate& date) const
{
    return find(date) != tradingDays.end();
}

int CTradingCalendar::sessionFlags(const QDate& date) const
{
    const auto found = find(date);
    return found == tradingDays.end() ? -1 : flags[static_cast<std::size_t>(found - tradingDays.begin())];
}

std::vector<QDate> CTradingCalendar::next(const QDate& date, int count) const
{
    std::vector<QDate> found;
    auto day = std::upper_bound(tradingDays.begin(), tradingDays.end(), date.toJulianDay());
    for (; day != tradingDays.end() && static_cast<int>(found.size()) < count; ++day) {
        found.push_back(QDate::fromJulianDay(*day));
    }
    return found;
}

std::vector<QDate> CTradingCalendar::previous(const QDate& date, int count) const
{
    std::vector<QDate> found;
    auto day = std::lower_bound(tradingDays.begin(), tradingDays.end(), date.toJulianDay());
    while (day != tradingDays.begin() && static_cast<int>(found.size()) < count) {
        found.push_back(QDate::fromJulianDay(*--day));
    }
    return found;
}

std::vector<QDate> CTradingCalendar::range(const QDate& first, const QDate& last) const
{
    std::vector<QDate> found;
    const auto from = std::lower_bound(tradingDays.begin(), tradingDays.end(), first.toJulianDay());
    const auto to = std::upper_bound(from, tradingDays.end(), last.toJulianDay());
    found.reserve(static_cast<std::size_t>(to - from));
    for (auto day = from; day != to; ++day) {
        found.push_back(QDate::fromJulianDay(*day));
    }
    return found;
}

int CTradingCalendar::count(const QDate& first, const QDate& last) const
{
    if (last < first) {
        return 0;
    }
    const auto from = std::lower_bound(tradingDays.begin(), tradingDays.end(), first.toJulianDay());
    const auto to = std::upper_bound(from, tradingDays.end(), last.toJulianDay());
    return static_cast<int>(to - from);
}

} // namespace IMC
