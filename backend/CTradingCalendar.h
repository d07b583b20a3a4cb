#pragma once

#include "records/TradeDateMap.h"

#include <QDate>

#include <vector>

namespace IMC {

// What the systems that consume a market's calendar ask of it, answered from one of the store's day sets: is
// a date a trading day and with which sessions, which trading days come next or came before, which lie in a
// range. A date is a trading day exactly when the set holds a record for it. The set knows its days from its
// first to its last stored day only: a question about a date outside them, or an answer that would need days
// past them, is beyond what the store knows, and the calendar says so (covers, and the short answers of next
// and previous) rather than answering "no". Keys that are not ISO dates are not days of the calendar.
class CTradingCalendar
{
public:
    explicit CTradingCalendar(const TradeDateMap& days);

    // The date a text names when it is exactly "yyyy-MM-dd", as the store keys its days; invalid otherwise.
    static QDate dayOf(const QString& text);

    bool isEmpty() const;
    // Invalid dates when the calendar is empty.
    QDate firstStoredDay() const;
    QDate lastStoredDay() const;
    bool covers(const QDate& date) const;

    // For dates the calendar covers.
    bool isTradingDay(const QDate& date) const;
    // The day's session flags (1 day, 2 night, 3 both, 0 none); -1 when it is not a trading day.
    int sessionFlags(const QDate& date) const;

    // Up to count trading days strictly after (before) date, nearest first; fewer when the stored days end.
    std::vector<QDate> next(const QDate& date, int count) const;
    std::vector<QDate> previous(const QDate& date, int count) const;
    // The trading days from first to last, both included, in order.
    std::vector<QDate> range(const QDate& first, const QDate& last) const;
    int count(const QDate& first, const QDate& last) const;

private:
    std::vector<qint64>::const_iterator find(const QDate& date) const;

    // Julian day numbers of the trading days, ascending, and their session flags.
    std::vector<qint64> tradingDays;
    std::vector<int> flags;
};

} // namespace IMC
