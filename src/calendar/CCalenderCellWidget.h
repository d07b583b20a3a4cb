#pragma once

#include "TdsExport.h"

#include "records/EZRMarketType.h"
#include "widgets/CBaseWidget.h"

#include <QString>

namespace XP {
class CCheckBox;
class CGroupBox;
class CSimpleTextWidget;
class CSmallNormalButton;
class CWidgetList;
} // namespace XP

namespace IMC {

// One day of a calendar month table. Shows the day number and, while the day may still be edited,
// whether it is a trading day and which sessions it holds. The operator's changes are confirmed where
// they take something away and are then delivered to the owner (the nearest event-bus node above the
// parent given at construction) with the cell's date text:
//   (3027, 0, session flags, date)  the date is a trading day with these sessions;
//   (3028, 0, 0, date)              the trading day was deleted;
//   (3028, 1, 1 or 0, date)         both sessions were switched off, the day stays without sessions.
// The cell keeps no data of its own beyond its display; the owner keeps the records.
class TDS_EXPORT CCalenderCellWidget : public XP::CBaseWidget
{
    Q_OBJECT

public:
    static constexpr int cellWidth = 160;
    static constexpr int cellHeight = 100;

    enum EControlId
    {
        DaySessionBoxId = 0,
        NightSessionBoxId = 1,
        DeleteButtonId = 11,
        AddButtonId = 12
    };

    explicit CCalenderCellWidget(ttservice::EZRMarketType marketType = ttservice::EZR_MarketDomestic,
                                 QWidget* parent = nullptr);
    ~CCalenderCellWidget() override;

    // Called once on each new cell. editable: the date may still be changed; hasTradeDay: the owner holds
    // a trading-day record for the date; sessionFlags: that record's flags, or 0.
    void setBasicInfo(int year, int month, int day, bool editable, bool hasTradeDay, int sessionFlags);

    void onActive() override;

protected:
    void createUi();
    bool handleEvent(int type, int id, int param, QString text, void* data) override;

private:
    void confirmDelete();
    void makeTradeDay();
    void confirmSessionOff(int boxId);
    void reportSessions();
    void showTradeDayControls(bool visible);
    bool hasNightSession() const;
    int defaultSessionFlags() const;
    int checkedSessionFlags() const;
    bool askOperator(const QString& question);

protected:
    XP::CWidgetList* topRow;
    XP::CSimpleTextWidget* dayNumberText;
    XP::CWidgetList* lowerArea;
    XP::CSimpleTextWidget* tradeDayText;
    XP::CSmallNormalButton* deleteButton;
    XP::CSmallNormalButton* addButton;
    XP::CCheckBox* daySessionCheckBox;
    XP::CCheckBox* nightSessionCheckBox;
    XP::CGroupBox* frame;
    bool isTradeDay;
    ttservice::EZRMarketType marketType;
    QString dateText;
};

} // namespace IMC
