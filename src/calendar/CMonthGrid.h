#pragma once

#include "records/TradeDateMap.h"

#include <array>
#include <functional>

namespace IMC {

// The layout rules of a month table: six weeks of seven days, column 0 Sunday, the tail of the previous
// month before the first day and the head of the next month after the last. The calendar page and the
// overseas trading-day dialog both lay their months out through this class.
class CMonthGrid
{
public:
    static constexpr int rowCount = 6;
    static constexpr int columnCount = 7;
    static constexpr int positionCount = rowCount * columnCount;

    enum EMonthPart
    {
        PreviousMonth,
        ShownMonth,
        NextMonth
    };

    struct Position
    {
        int row = 0;
        int column = 0;
        int year = 0;
        int month = 0;
        int day = 0;
        EMonthPart part = ShownMonth;
    };

    // 1 when year is a Gregorian leap year, else 0.
    static int leap(int year);

    // Weekday (0 Sunday .. 6 Saturday) of 1 January of year, counted in whole years from 1900, whose
    // 1 January was a Monday. 1900 and every earlier year give 1.
    static int week(int year);

    static int monthLength(int year, int month);

    // Weekday of the first day of month (1..12) of year.
    static int firstWeekday(int year, int month);

    // All 42 positions of the table for month (1..12) of year, row by row.
    static std::array<Position, positionCount> layout(int year, int month);

    // Replaces every Monday-to-Friday record of the month by a new record with the given sessions; weekend
    // records and days of the neighbouring months stay as they are.
    static void fillWeekdays(TradeDateMap& tradeDates, int year, int month, int sessionFlags);

    // Shown month of a base month moved by offsets; monthOffset lies within -11..11, so one correction
    // of the month is always enough.
    static void shownMonth(int baseYear, int baseMonth, int yearOffset, int monthOffset, int* year,
                           int* month);
};

} // namespace IMC
