#pragma once

#include "CTradingCalendar.h"

#include <QStringList>
#include <QTextStream>

namespace IMC {

// One of tradingday-ctl's questions to a market's calendar (is-trading-day, sessions, next, previous, range,
// count), answered as text (one date per line, for shell pipes), JSON or CSV. An answer that needs days the
// store does not hold fails with CStoreCtl::ExitBeyondData instead of answering "no".
class CCalendarQuery
{
public:
    static const QStringList commands;
    static const QStringList formats;

    // arguments: the command's dates; count: for next and previous; revision: the store revision the days
    // are from (0 when none), reported in JSON.
    CCalendarQuery(const QString& command, const QStringList& arguments, int count, const QString& format,
                   long long revision);

    // Checks the dates before the store is opened; throws CCtlException.
    void checkArguments() const;
    // Writes the answer; the exit code: 1 for an is-trading-day answer "no", else 0. Throws CCtlException.
    int answer(const CTradingCalendar& calendar, QTextStream& out) const;

private:
    QDate date(int position) const;
    void requireCovered(const CTradingCalendar& calendar, const QDate& day) const;
    int answerDay(const CTradingCalendar& calendar, QTextStream& out) const;
    void answerDates(const std::vector<QDate>& dates, QTextStream& out) const;

    QString command;
    QStringList arguments;
    int count;
    QString format;
    long long revision;
};

} // namespace IMC
