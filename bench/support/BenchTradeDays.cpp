#include "support/BenchTradeDays.h"

#include "data/CTradeDateRecords.h"
#include "data/CTradeDateRequests.h"
#include "data/TradingDayTypes.h"

#include <QDate>

namespace tds::bench {
namespace {

void addTradingDay(TradeDateMap& days, const QDate& date, int sessionFlags)
{
    IMC::CTradeDateRecords::putDay(days, date.toString(QStringLiteral("yyyy-MM-dd")).toStdString(),
                                   sessionFlags);
}

bool isWeekday(const QDate& date)
{
    return date.dayOfWeek() <= 5;
}

} // namespace

TradeDateMap weekdaysFrom(const QDate& first, int count, int sessionFlags)
{
    TradeDateMap days;
    for (QDate date = first; static_cast<int>(days.size()) < count; date = date.addDays(1)) {
        if (isWeekday(date)) {
            addTradingDay(days, date, sessionFlags);
        }
    }
    return days;
}

TradeDateMap weekdaysOfYears(int firstYear, int years, int sessionFlags)
{
    TradeDateMap days;
    for (QDate date(firstYear, 1, 1); date < QDate(firstYear + years, 1, 1); date = date.addDays(1)) {
        if (isWeekday(date)) {
            addTradingDay(days, date, sessionFlags);
        }
    }
    return days;
}

ttservice::COperateDataReq domesticSave(const TradeDateMap& days)
{
    return *IMC::CTradeDateRequests::makeOperation(
        IMC::TradingDay::SaveOperation, IMC::CTradeDateRequests::makeTypedRecord(0, days), std::string());
}

} // namespace tds::bench
