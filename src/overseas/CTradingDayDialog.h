#pragma once

#include "data/CAnswerGuard.h"
#include "records/BSONObj.h"
#include "records/TradeDateMap.h"
#include "utils/TTError.h"
#include "widgets/CCommonDialog.h"

#include <QString>

namespace XP {
class CLoadingMaskWidget;
class CSimpleTextWidget;
class CSmallNormalButton;
class CStandardSimpleTable;
} // namespace XP

namespace IMC {

// Edits the trading days of one overseas exchange a month at a time, in the day cells of market type 4,
// and saves the exchange's whole map with one operation. The dialog accepts itself after every answer to
// its save, success or failure, and rejects on "关闭". A dialog destroyed before the answer never sees it.
class CTradingDayDialog : public XP::CCommonDialog
{
    Q_OBJECT

public:
    enum EControlId
    {
        PreviousYearId = 7,
        PreviousMonthId = 8,
        NextMonthId = 9,
        NextYearId = 10,
        TodayId = 11,
        DefaultDaysId = 13,
        MonthViewId = 14,
        SaveId = 15,
        CloseId = 16
    };

    explicit CTradingDayDialog(QWidget* parent);
    ~CTradingDayDialog() override;

    // Takes the exchange's days as the dialog's own copy and shows the current month.
    void setExchangeInfo(TradeDateMap tradeDates, QString exchangeName, QString exchangeCode, int trackId);
    // Shows month (1..12) of year; setDefault first gives every Monday to Friday of it the day session.
    void setTableItemWidget(int year, int month, bool setDefault);
    bool handleEvent(int type, int id, int param, QString text, void* data) override;
    void onOperationTradingDay(const utils::TTError& error, bson::BSONObj document);

signals:
    void sigOnOperationFinished(bool bError, QString qsError);

protected slots:
    void slotOnOperationFinished(bool bError, QString qsError);

protected:
    void createUi();

    XP::CSmallNormalButton* todayButton;
    XP::CStandardSimpleTable* table;
    XP::CSimpleTextWidget* monthLabel;
    int baseYear;
    int baseMonth;
    int yearOffset;
    int monthOffset;
    QString exchangeName;
    QString exchangeCode;
    XP::CLoadingMaskWidget* loadingMask;
    TradeDateMap tradeDates;
    int trackId;

private:
    void navigate(int id);
    void showMonth(bool setDefault);
    void takeBaseMonth();
    void save();

    CAnswerGuard answerGuard;
};

} // namespace IMC
