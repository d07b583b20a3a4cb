#pragma once

#include "TdsExport.h"

#include "data/CAnswerGuard.h"

#include "records/BSONObj.h"
#include "records/EZRMarketType.h"
#include "records/IData.h"
#include "records/TradeDateMap.h"
#include "utils/TTError.h"
#include "widgets/CBaseWidget.h"

#include <boost/shared_ptr.hpp>
#include <boost/thread/recursive_mutex.hpp>

#include <QString>

#include <string>
#include <vector>

namespace XP {
class CComboBox;
class CLoadingMaskWidget;
class CSimpleTextWidget;
class CSmallNormalButton;
class CStandardSimpleTable;
} // namespace XP

namespace IMC {

class CSystemTradingDayUploadingDialog;

// The calendar page of one market type (0 domestic, 1 HK connect, 3 electronic platforms): the market's
// trading days as a map of day records, one month of them shown as a table of day cells, and the
// commands to navigate, edit, fill defaults, upload, submit and reload. Edits stay local until "提交保存".
//
// Threads: the page lives on the GUI thread. The host runs the service callbacks onQueryTradingDay and
// onOperationTradingDay on its client's worker thread; they only copy under dataMutex and emit a signal
// whose slot does the widget work on the GUI thread.
class TDS_EXPORT CSystemTradingDayWidget : public XP::CBaseWidget
{
    Q_OBJECT

public:
    enum EControlId
    {
        PreviousYearId = 0,
        PreviousMonthId = 1,
        NextMonthId = 2,
        NextYearId = 3,
        TodayId = 4,
        UploadId = 5,
        DefaultDaysId = 6,
        MonthViewId = 7,
        SubmitId = 8,
        RefreshId = 9,
        PlatformComboId = 13
    };

    explicit CSystemTradingDayWidget(ttservice::EZRMarketType marketType = ttservice::EZR_MarketDomestic,
                                     QWidget* parent = nullptr);
    ~CSystemTradingDayWidget() override;

    // Queries the market's trading days the first time the page is activated, and only then.
    void onActive() override;
    // Takes the back-end system whose client the page asks; an active page queries it at once.
    void setSystem(QString systemName);

signals:
    void sigOnDataTradingDayInfo();
    void sigOnOperationFinished(bool bError, QString qsError);

protected slots:
    void slotOnDataTradingDayInfo();
    void slotOnOperationFinished(bool bError, QString qsError);

protected:
    void queryData();
    void onQueryTradingDay(const utils::TTError& error,
                           const std::vector<boost::shared_ptr<ttservice::IData>>& records, int count,
                           bson::BSONObj document);
    void onOperationTradingDay(const utils::TTError& error, bson::BSONObj document);

    bool handleEvent(int type, int id, int param, QString text, void* data) override;
    bool hasUploadTradeDateAuth();
    void scaleChanged() override;
    void createUi();

    // The month grid: rebuilds the day table for month (1..12) of year; with setDefault the month's
    // weekdays first get default trading-day records.
    void setTableItemWidget(int year, int month, bool setDefault);
    int leap(int year);
    int week(int year);

    XP::CStandardSimpleTable* dayTable;
    XP::CSimpleTextWidget* monthLabel;
    int baseYear;
    int baseMonth;
    int baseDay;
    int yearOffset;
    int monthOffset;
    ttservice::EZRMarketType marketType;
    QString systemName;
    boost::recursive_mutex dataMutex;
    std::vector<boost::shared_ptr<ttservice::IData>> queryResults;
    XP::CLoadingMaskWidget* loadingMask;
    CSystemTradingDayUploadingDialog* uploadDialog;
    XP::CSmallNormalButton* todayButton;
    TradeDateMap tradeDates;
    bool needsQuery;
    XP::CComboBox* platformCombo;

private:
    QWidget* createToolRow();
    QWidget* createDayTable();
    QWidget* createCommandRow();
    XP::CSmallNormalButton* createButton(int id, const QString& text, int width);
    void navigate(int id);
    void fillDefaultDays();
    void setDayFromCell(const QString& date, int sessionFlags);
    void clearDayFromCell(const QString& date, bool keepWithoutSessions);
    void openUploadDialog();
    void takeUploadedDays();
    void submit();
    void showShownMonth(bool setDefault);
    void shownMonth(int* year, int* month) const;
    void updateMonthLabel();
    void updateTodayButton();
    void readToday(bool withDay);
    std::string platformParam() const;

    // Shared with the callbacks handed to the host, so that none reaches the page after its end.
    CAnswerGuard answerGuard;
};

} // namespace IMC
