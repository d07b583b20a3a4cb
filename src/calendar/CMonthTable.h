#pragma once

#include "records/TradeDateMap.h"

#include <boost/optional.hpp>

class QWidget;

namespace XP {
class CBaseNormalTable;
}

namespace IMC {

// Fills a 6 x 7 day table with one month of day cells (CCalenderCellWidget), laid out by CMonthGrid:
// the tail of the previous month, the shown month and the head of the next month. Days of the
// neighbouring months are never editable; days of the shown month are editable from today on.
//
// Usage (the calendar page; the overseas trading-day dialog passes market type 4 and sessions 1):
//     CMonthTable(dayTable, this, marketType).fill(tradeDates, year, month);
//     CMonthTable(dayTable, this, marketType).fill(tradeDates, year, month, defaultSessions);
//
// Ownership: every call builds 42 new cells with owner as parent (so their events 3027 and 3028 reach
// owner's handleEvent) and hands them to the table, which destroys the cells they replace at once. Do
// not call it from inside a cell's own event handling. GUI thread only.
class CMonthTable
{
public:
    // table: a table of at least 6 rows and 7 columns; owner: the cells' parent and event owner.
    CMonthTable(XP::CBaseNormalTable* table, QWidget* owner, int marketType);

    // Shows month (1..12) of year from tradeDates. With defaultSessions, every Monday to Friday of the
    // shown month first gets a new record with those session flags in tradeDates (weekend records and
    // days of the neighbouring months stay as they are). Repaints the table at the end.
    void fill(TradeDateMap& tradeDates, int year, int month,
              boost::optional<int> defaultSessions = boost::none) const;

private:
    XP::CBaseNormalTable* table;
    QWidget* owner;
    int marketType;
};

} // namespace IMC
