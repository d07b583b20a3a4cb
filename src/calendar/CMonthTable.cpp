#include "calendar/CMonthTable.h"

#include "calendar/CCalenderCellWidget.h"
#include "calendar/CMonthGrid.h"
#include "data/CLocalToday.h"
#include "data/CTradeDateRecords.h"
#include "widgets/CBaseNormalTable.h"

#include <QDate>

namespace IMC {

CMonthTable::CMonthTable(XP::CBaseNormalTable* table, QWidget* owner, int marketType)
    : table(table)
    , owner(owner)
    , marketType(marketType)
{}

void CMonthTable::fill(TradeDateMap& tradeDates, int year, int month,
                       boost::optional<int> defaultSessions) const
{
    if (defaultSessions) {
        CMonthGrid::fillWeekdays(tradeDates, year, month, *defaultSessions);
    }
    const QDate today = CLocalToday::date();
    for (const CMonthGrid::Position& position : CMonthGrid::layout(year, month)) {
        const std::string date =
            CTradeDateRecords::dateText(position.year, position.month, position.day).toStdString();
        bool found = false;
        const int flags = CTradeDateRecords::sessionFlagsOf(tradeDates, date, &found);
        const bool editable = position.part == CMonthGrid::ShownMonth &&
                              QDate(position.year, position.month, position.day) >= today;

        auto* cell = new CCalenderCellWidget(static_cast<ttservice::EZRMarketType>(marketType), owner);
        cell->setBasicInfo(position.year, position.month, position.day, editable, found, flags);
        table->setItemWidget(position.row, position.column, cell, XP::eAlignCenter, true);
    }
    table->update();
}

} // namespace IMC
