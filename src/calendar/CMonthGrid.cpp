#include "calendar/CMonthGrid.h"

#include "data/CTradeDateRecords.h"

namespace IMC {
namespace {

constexpr int monthLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr int firstCountedYear = 1900;
constexpr int weekdayOfFirstCountedNewYear = 1; // 1 January 1900 was a Monday

} // namespace

int CMonthGrid::leap(int year)
{
    return ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0) ? 1 : 0;
}

int CMonthGrid::week(int year)
{
    long long days = 0;
    for (int y = firstCountedYear; y < year; ++y) {
        days += 365 + leap(y);
    }
    return static_cast<int>((days + weekdayOfFirstCountedNewYear) % 7);
}

int CMonthGrid::monthLength(int year, int month)
{
    return month == 2 ? monthLengths[1] + leap(year) : monthLengths[month - 1];
}

int CMonthGrid::firstWeekday(int year, int month)
{
    int weekday = week(year);
    for (int m = 1; m < month; ++m) {
        weekday = (weekday + monthLength(year, m)) % 7;
    }
    return weekday;
}

std::array<CMonthGrid::Position, CMonthGrid::positionCount> CMonthGrid::layout(int year, int month)
{
    const int first = firstWeekday(year, month);
    const int length = monthLength(year, month);
    const int previousYear = month == 1 ? year - 1 : year;
    const int previousMonth = month == 1 ? 12 : month - 1;
    const int previousLength = monthLength(previousYear, previousMonth);
    const int nextYear = month == 12 ? year + 1 : year;
    const int nextMonth = month == 12 ? 1 : month + 1;

    std::array<Position, positionCount> positions;
    int shownDay = 1;
    int nextDay = 1;
    bool begun = false;
    for (int row = 0; row < rowCount; ++row) {
        for (int column = 0; column < columnCount; ++column) {
            Position& position = positions[row * columnCount + column];
            position.row = row;
            position.column = column;
            begun = begun || column == first;
            if (!begun) {
                position = {
                    row,          column, previousYear, previousMonth, previousLength - first + column + 1,
                    PreviousMonth};
            } else if (shownDay <= length) {
                position = {row, column, year, month, shownDay++, ShownMonth};
            } else {
                position = {row, column, nextYear, nextMonth, nextDay++, NextMonth};
            }
        }
    }
    return positions;
}

void CMonthGrid::fillWeekdays(TradeDateMap& tradeDates, int year, int month, int sessionFlags)
{
    for (const Position& position : layout(year, month)) {
        const bool weekday = position.column >= 1 && position.column <= 5;
        if (position.part == ShownMonth && weekday) {
            const std::string date = CTradeDateRecords::dateText(year, month, position.day).toStdString();
            CTradeDateRecords::putDay(tradeDates, date, sessionFlags);
        }
    }
}

void CMonthGrid::shownMonth(int baseYear, int baseMonth, int yearOffset, int monthOffset, int* year,
                            int* month)
{
    int y = baseYear + yearOffset;
    int m = baseMonth + monthOffset;
    if (m < 1) {
        m += 12;
        y -= 1;
    } else if (m > 12) {
        m -= 12;
        y += 1;
    }
    *year = y;
    *month = m;
}

} // namespace IMC
