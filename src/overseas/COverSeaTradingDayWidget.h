#pragma once

#include "TdsExport.h"

#include "data/CAnswerGuard.h"
#include "records/BSONObj.h"
#include "records/IData.h"
#include "records/TradeDateMap.h"
#include "utils/TTError.h"
#include "widgets/CBaseWidget.h"

#include <QMap>
#include <QString>

#include <boost/shared_ptr.hpp>
#include <boost/thread/recursive_mutex.hpp>

#include <map>
#include <string>
#include <vector>

namespace XP {
class CBaseTableColumnMultiButtonsDelegate;
class CLoadingMaskWidget;
class CStandardHpfTable;
} // namespace XP

namespace IMC {

class CHpfOverSeaTableModel;
class CQueryReq;
class CSafeLineEdit;

// The overseas page: one row per overseas exchange with its track, a search by name, "刷新", "新增", and
// per row "跳转" (the exchange's trading-day dialog) and "删除".
//
// Reference data: the exchange codes (instrument details) are asked for once, at construction; the two
// track lists (platform kinds 14 and 15) on every activation until both have arrived; the exchange list
// once both have arrived, and again on "刷新", after an accepted trading-day dialog and after a
// successful add or delete.
//
// Threads: exchange answers and operation outcomes arrive on a back-end thread and reach the GUI through
// the two signals; reference-data answers arrive on the GUI thread. Answers that arrive after the page is
// destroyed are dropped.
class TDS_EXPORT COverSeaTradingDayWidget : public XP::CBaseWidget
{
    Q_OBJECT

public:
    typedef std::vector<boost::shared_ptr<ttservice::IData>> Records;

    explicit COverSeaTradingDayWidget(QWidget* parent = nullptr);
    ~COverSeaTradingDayWidget() override;

    // The back-end system the page talks to from now on; sends nothing.
    void setSystem(const QString& systemName);
    void onActive() override;

signals:
    // An exchange answer; ok is true on success.
    void sigOnDataTradingDayInfo(bool ok, QString message);
    // An add or delete outcome; failed is true on failure.
    void sigOnOperationFinished(bool failed, QString message);

protected slots:
    void slotOnDataTradingDayInfo(bool ok, QString message);
    void slotOnOperationFinished(bool failed, QString message);

protected:
    enum EControlId
    {
        AddButtonId = 0,
        RefreshButtonId = 1,
        SearchEditId = 2
    };
    enum ERowButtonId
    {
        OpenButtonId = 3,
        DeleteButtonId = 4
    };

    void createUi();
    void queryData();
    void onQueryExchangeCode(const utils::TTError& error, const Records& records, int count,
                             bson::BSONObj document);
    void operationBtn(const std::string& rowKey, XP::CBaseTableColumnMultiButtonsDelegate* delegate);
    void queryInstrumentData();
    void onQueryInstrumentData(boost::shared_ptr<IMC::CQueryReq> request, bool ok, QString message,
                               const Records& records);
    void initElecPlatform();
    void onQueryPlatfrom(boost::shared_ptr<IMC::CQueryReq> request, bool ok, QString message,
                         const Records& records, int platformKind);
    bool isPlatformFinish();
    int getTrackId(const QString& trackName);
    bool handleEvent(int type, int id, int param, QString text, void* data) override;

    // Exchange maintenance.
    bool checkName(QString name);
    void saveExchangeData(QString name, int trackId);
    void deleteExchangeData();
    void onOperationTradingDay(const utils::TTError& error, bson::BSONObj document);

    boost::recursive_mutex dataMutex;
    QString systemName;
    CSafeLineEdit* searchEdit;
    CHpfOverSeaTableModel* tableModel;
    XP::CStandardHpfTable* table;
    XP::CLoadingMaskWidget* loadingMask;
    QMap<QString, QString> exchangeNames;
    Records queryResults;
    XP::CBaseTableColumnMultiButtonsDelegate* buttonsDelegate;
    QMap<QString, TradeDateMap> tradeDatesByExchange;
    std::map<int, bool> platformLoaded;
    std::map<int, std::string> trackNames;

private:
    void addExchange();
    void openExchange();
    void applySearch();
    void sendOperation(int operation, const QString& name, int trackId);
    QString exchangeCodeOfName(const QString& name, bool lastMatch) const;
    void sendTrackQuery(int platformKind);
    void warn(const QString& title, const QString& text);

    CAnswerGuard answerGuard;
};

} // namespace IMC
