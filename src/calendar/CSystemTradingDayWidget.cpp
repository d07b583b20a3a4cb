#include "calendar/CSystemTradingDayWidget.h"

#include "calendar/CMonthGrid.h"
#include "calendar/CMonthTable.h"
#include "data/CAnswerGuard.h"
#include "data/CTradeDateRecords.h"
#include "data/CTradeDateRequests.h"
#include "data/TradingDayTypes.h"
#include "records/CItsmTypedMarketTradeDate.h"
#include "services/CItsmClientCenter.h"
#include "services/CUserManager.h"
#include "upload/CSystemTradingDayUploadingDialog.h"
#include "utils/CSingletonT.h"
#include "utils/StringConversion.h"
#include "widgets/CComboBox.h"
#include "widgets/CLoadingMaskWidget.h"
#include "widgets/CSimpleTextWidget.h"
#include "widgets/CSmallNormalButton.h"
#include "widgets/CStandardSimpleTable.h"
#include "widgets/CWidgetList.h"

#include <boost/lexical_cast.hpp>
#include <boost/make_shared.hpp>
#include <boost/pointer_cast.hpp>
#include <boost/thread/lock_guard.hpp>

#include <QDateTime>

namespace IMC {
namespace {

constexpr int standardButtonType = XP::CSmallNormalButton::eStandard;
constexpr int fullText = 100000;
constexpr int columnWidth = 153;
constexpr int rowHeight = 100;
constexpr int smallButtonSize = 26;
constexpr int commandButtonWidth = 100;
const char* const dialogTitle = "交易日设置";

CItsmClientCenter* clientCenter()
{
    return utils::CSingletonT<CItsmClientCenter>::instance();
}

} // namespace

CSystemTradingDayWidget::CSystemTradingDayWidget(ttservice::EZRMarketType marketType, QWidget* parent)
    : XP::CBaseWidget(QStringLiteral("system_trading_day"), false, parent)
    , dayTable(nullptr)
    , monthLabel(nullptr)
    , baseYear(0)
    , baseMonth(0)
    , baseDay(0)
    , yearOffset(0)
    , monthOffset(0)
    , marketType(marketType)
    , loadingMask(nullptr)
    , uploadDialog(nullptr)
    , todayButton(nullptr)
    , needsQuery(true)
    , platformCombo(nullptr)
{
    connect(this, &CSystemTradingDayWidget::sigOnDataTradingDayInfo, this,
            &CSystemTradingDayWidget::slotOnDataTradingDayInfo);
    connect(this, &CSystemTradingDayWidget::sigOnOperationFinished, this,
            &CSystemTradingDayWidget::slotOnOperationFinished);
    createUi();
    setFixedSize(1150, 800);
}

CSystemTradingDayWidget::~CSystemTradingDayWidget()
{
    answerGuard.close();
}

void CSystemTradingDayWidget::onActive()
{
    XP::CBaseWidget::onActive();
    if (needsQuery) {
        needsQuery = false;
        queryData();
    }
}

void CSystemTradingDayWidget::setSystem(QString systemName)
{
    this->systemName = systemName;
    if (isActive()) {
        queryData();
    }
}

void CSystemTradingDayWidget::createUi()
{
    auto* content = new XP::CWidgetList(Qt::Vertical, this);
    content->addFixedWidget(createToolRow(), XP::CWidgetList::eAnchorFill, true);
    content->addFixedWidget(createDayTable(), XP::CWidgetList::eAnchorFill, true);

    readToday(false);
    setTableItemWidget(baseYear, baseMonth, false);
    updateMonthLabel();

    content->addFixedWidget(createCommandRow(), XP::CWidgetList::eAnchorFill, true);
    setInnerStretchWidget(content, 0, 0, 0, 0);

    loadingMask = new XP::CLoadingMaskWidget(QStringLiteral("正在加载数据"), this);
    loadingMask->hide();
}

QWidget* CSystemTradingDayWidget::createToolRow()
{
    auto* row = new XP::CWidgetList(Qt::Horizontal, this);
    row->setSpacing(0);
    row->setFixedHeight(30);
    const auto addWidget = [row](QWidget* widget) {
        row->addFixedWidget(widget, XP::CWidgetList::eAnchorCenter, true);
    };

    addWidget(createButton(PreviousYearId, QStringLiteral("<<"), smallButtonSize));
    addWidget(createButton(PreviousMonthId, QStringLiteral("<"), smallButtonSize));
    addWidget(createButton(NextMonthId, QStringLiteral(">"), smallButtonSize));
    addWidget(createButton(NextYearId, QStringLiteral(">>"), smallButtonSize));
    row->addFixedSpace(10);
    todayButton = createButton(TodayId, QStringLiteral("今天"), 45);
    todayButton->setEnabled(false);
    addWidget(todayButton);

    const bool electronic = marketType == ttservice::EZR_MarketElectronic;
    if (electronic) {
        row->addFixedSpace(15);
        addWidget(new XP::CSimpleTextWidget(false, 0, QStringLiteral("市场类型"), this));
        row->addFixedSpace(10);
        platformCombo = new XP::CComboBox(PlatformComboId, this);
        platformCombo->addItem(QStringLiteral("期货电子盘市场"), 14);
        platformCombo->addItem(QStringLiteral("利率电子盘市场"), 15);
        platformCombo->setCurrentIndex(0);
        addWidget(platformCombo);
    }
    row->addFixedSpace(electronic ? 200 : 350);

    monthLabel = new XP::CSimpleTextWidget(false, 10, QStringLiteral("2015年12月"), this);
    addWidget(monthLabel);
    row->addStretchSpace(1);

    XP::CSmallNormalButton* uploadButton =
        createButton(UploadId, QStringLiteral("上传设置交易日"), commandButtonWidth);
    uploadButton->setVisible(hasUploadTradeDateAuth());
    addWidget(uploadButton);
    row->addFixedSpace(10);
    addWidget(createButton(DefaultDaysId, QStringLiteral("设置默认交易日"), commandButtonWidth));
    row->addFixedSpace(10);
    XP::CSmallNormalButton* monthViewButton =
        createButton(MonthViewId, QStringLiteral("月视图"), commandButtonWidth);
    monthViewButton->setEnabled(false);
    addWidget(monthViewButton);
    return row;
}

QWidget* CSystemTradingDayWidget::createDayTable()
{
    dayTable = new XP::CStandardSimpleTable(0, this);
    dayTable->setFixedSize(1130, 664);
    dayTable->setColumnCount(CMonthGrid::columnCount);
    dayTable->setRowCount(CMonthGrid::rowCount);
    dayTable->setItemHeight(rowHeight);
    const QStringList headers = {QStringLiteral("星期天"), QStringLiteral("星期一"), QStringLiteral("星期二"),
                                 QStringLiteral("星期三"), QStringLiteral("星期四"), QStringLiteral("星期五"),
                                 QStringLiteral("星期六")};
    for (int column = 0; column < headers.size(); ++column) {
        dayTable->setColumnHeader(column, headers.at(column));
    }
    dayTable->setFlag(0);
    for (int column = 0; column < CMonthGrid::columnCount; ++column) {
        dayTable->setColumnWidth(column, columnWidth);
    }
    return dayTable;
}

QWidget* CSystemTradingDayWidget::createCommandRow()
{
    auto* row = new XP::CWidgetList(Qt::Horizontal, this);
    row->setFixedHeight(30);
    if (utils::CSingletonT<CUserManager>::instance()->checkUserAuth(TradingDay::MaintenanceRight)) {
        row->addFixedWidget(createButton(SubmitId, QStringLiteral("提交保存"), 80),
                            XP::CWidgetList::eAnchorCenter, true);
        row->addFixedSpace(5);
    }
    row->addFixedWidget(createButton(RefreshId, QStringLiteral("重新刷新"), 80),
                        XP::CWidgetList::eAnchorCenter, true);
    return row;
}

XP::CSmallNormalButton* CSystemTradingDayWidget::createButton(int id, const QString& text, int width)
{
    auto* button = new XP::CSmallNormalButton(id, false, standardButtonType, this);
    button->setText(text);
    button->setFixedSize(width, smallButtonSize);
    return button;
}

bool CSystemTradingDayWidget::handleEvent(int type, int id, int param, QString text, void* data)
{
    switch (type) {
    case TradingDay::ButtonClickedEvent:
        if (id >= PreviousYearId && id <= TodayId) {
            navigate(id);
        } else if (id == UploadId) {
            openUploadDialog();
        } else if (id == DefaultDaysId) {
            fillDefaultDays();
        } else if (id == SubmitId) {
            submit();
        } else if (id == RefreshId) {
            queryData();
        }
        return true;
    case TradingDay::ComboChangedEvent:
        if (id == PlatformComboId) {
            queryData();
        }
        return true;
    case TradingDay::DaySetEvent:
        setDayFromCell(text, param);
        return true;
    case TradingDay::DayClearedEvent:
        clearDayFromCell(text, id == 1);
        return true;
    case TradingDay::UploadReadyEvent:
        takeUploadedDays();
        return true;
    default:
        return XP::CBaseWidget::handleEvent(type, id, param, text, data);
    }
}

void CSystemTradingDayWidget::navigate(int id)
{
    switch (id) {
    case PreviousYearId:
        --yearOffset;
        break;
    case NextYearId:
        ++yearOffset;
        break;
    case PreviousMonthId:
        if (--monthOffset < -11) {
            --yearOffset;
            monthOffset = 0;
        }
        break;
    case NextMonthId:
        if (++monthOffset > 11) {
            ++yearOffset;
            monthOffset = 0;
        }
        break;
    default:
        yearOffset = 0;
        monthOffset = 0;
        break;
    }
    showShownMonth(false);
    updateTodayButton();
}

void CSystemTradingDayWidget::fillDefaultDays()
{
    showShownMonth(true);
    updateTodayButton();
}

void CSystemTradingDayWidget::setDayFromCell(const QString& date, int sessionFlags)
{
    CTradeDateRecords::putDay(tradeDates, date.toUtf8().toStdString(), sessionFlags);
}

void CSystemTradingDayWidget::clearDayFromCell(const QString& date, bool keepWithoutSessions)
{
    const std::string key = date.toUtf8().toStdString();
    CTradeDateRecords::removeDay(tradeDates, key);
    if (keepWithoutSessions) {
        CTradeDateRecords::putDay(tradeDates, key, TradingDay::NoSession);
    }
}

void CSystemTradingDayWidget::openUploadDialog()
{
    if (!uploadDialog) {
        uploadDialog = new CSystemTradingDayUploadingDialog(this);
    }
    uploadDialog->setShowRule(0);
    uploadDialog->update();
    uploadDialog->exec();
}

// The uploaded file replaces every day of the market, local edits included.
void CSystemTradingDayWidget::takeUploadedDays()
{
    if (!uploadDialog) {
        return;
    }
    tradeDates = uploadDialog->getTradeDateMap();
    showShownMonth(false);
}

void CSystemTradingDayWidget::queryData()
{
    if (loadingMask) {
        loadingMask->setText(QStringLiteral("正在加载数据"));
    }
    const auto request = CTradeDateRequests::makeQuery(marketType, platformParam());
    const auto callback = answerGuard.wrap<void(
        const utils::TTError&, const std::vector<boost::shared_ptr<ttservice::IData>>&, int, bson::BSONObj)>(
        [this](const utils::TTError& error, const std::vector<boost::shared_ptr<ttservice::IData>>& records,
               int count, bson::BSONObj document) { onQueryTradingDay(error, records, count, document); });
    const boost::shared_ptr<CItsmClient> client =
        clientCenter()->getClientByName(systemName.toUtf8().toStdString());
    client->queryData_async(request, callback, 0);
}

void CSystemTradingDayWidget::onQueryTradingDay(
    const utils::TTError& error, const std::vector<boost::shared_ptr<ttservice::IData>>& records, int count,
    bson::BSONObj document)
{
    boost::lock_guard<boost::recursive_mutex> lock(dataMutex);
    if (error.isSuccess()) {
        queryResults = records;
    }
    emit sigOnDataTradingDayInfo();
}

void CSystemTradingDayWidget::slotOnDataTradingDayInfo()
{
    boost::lock_guard<boost::recursive_mutex> lock(dataMutex);
    if (loadingMask) {
        loadingMask->hide();
    }
    const boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate> market =
        queryResults.empty()
            ? nullptr
            : boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(queryResults.front());
    // Assigning over the old map reuses its nodes; a large answer is copied without a round of frees.
    if (market) {
        tradeDates = market->tradeDates;
    } else {
        tradeDates.clear();
    }
    readToday(true);
    yearOffset = 0;
    monthOffset = 0;
    setTableItemWidget(baseYear, baseMonth, false);
    updateMonthLabel();
    todayButton->setEnabled(false);
}

void CSystemTradingDayWidget::submit()
{
    const auto record = CTradeDateRequests::makeTypedRecord(marketType, tradeDates);
    const auto request =
        CTradeDateRequests::makeOperation(TradingDay::SaveOperation, record, platformParam());
    const auto callback = answerGuard.wrap<void(const utils::TTError&, bson::BSONObj)>(
        [this](const utils::TTError& error, bson::BSONObj document) {
            onOperationTradingDay(error, document);
        });
    // The mask goes up before the request leaves: the result may come back at once (on the GUI thread,
    // or on the host's thread while this one still re-parents the mask) and must find it to take down.
    if (loadingMask) {
        loadingMask->setText(QStringLiteral("正在提交数据"));
        loadingMask->attach(this);
    }
    clientCenter()->operateData_async(request, callback, 0);
}

void CSystemTradingDayWidget::onOperationTradingDay(const utils::TTError& error, bson::BSONObj document)
{
    boost::lock_guard<boost::recursive_mutex> lock(dataMutex);
    emit sigOnOperationFinished(!error.isSuccess(), XP::sToQs(error.errorMsg()));
}

void CSystemTradingDayWidget::slotOnOperationFinished(bool bError, QString qsError)
{
    boost::lock_guard<boost::recursive_mutex> lock(dataMutex);
    if (loadingMask) {
        loadingMask->hide();
    }
    const QString title = QString::fromUtf8(dialogTitle);
    // A failure without a text must not read as a success.
    if (!bError && qsError.isEmpty()) {
        clientCenter()->showServerMsgCallBack(EServerCallbackMsg_Success, true, this, title,
                                              QStringLiteral("操作成功"), true, false);
    } else {
        const QString text = qsError.isEmpty() ? QStringLiteral("未知异常") : qsError;
        clientCenter()->showServerMsgCallBack(EServerCallbackMsg_Failure, false, this, title, text, true,
                                              false);
    }
}

bool CSystemTradingDayWidget::hasUploadTradeDateAuth()
{
    return marketType == ttservice::EZR_MarketHKConnect || marketType == ttservice::EZR_MarketReserved;
}

void CSystemTradingDayWidget::scaleChanged()
{
    XP::CBaseWidget::scaleChanged();
    for (int column = 0; column < CMonthGrid::columnCount; ++column) {
        dayTable->setColumnWidth(column, columnWidth);
    }
    dayTable->updateUi();
}

void CSystemTradingDayWidget::setTableItemWidget(int year, int month, bool setDefault)
{
    const boost::optional<int> defaultSessions =
        setDefault ? boost::make_optional(TradingDay::defaultSessionFlags(marketType)) : boost::none;
    CMonthTable(dayTable, this, marketType).fill(tradeDates, year, month, defaultSessions);
}

int CSystemTradingDayWidget::leap(int year)
{
    return CMonthGrid::leap(year);
}

int CSystemTradingDayWidget::week(int year)
{
    return CMonthGrid::week(year);
}

void CSystemTradingDayWidget::showShownMonth(bool setDefault)
{
    int year = 0;
    int month = 0;
    shownMonth(&year, &month);
    setTableItemWidget(year, month, setDefault);
    updateMonthLabel();
}

void CSystemTradingDayWidget::shownMonth(int* year, int* month) const
{
    CMonthGrid::shownMonth(baseYear, baseMonth, yearOffset, monthOffset, year, month);
}

void CSystemTradingDayWidget::updateMonthLabel()
{
    int year = 0;
    int month = 0;
    shownMonth(&year, &month);
    monthLabel->setText(QStringLiteral("%1年%2月").arg(year).arg(month), fullText);
}

void CSystemTradingDayWidget::updateTodayButton()
{
    todayButton->setEnabled(yearOffset != 0 || monthOffset != 0);
}

void CSystemTradingDayWidget::readToday(bool withDay)
{
    const QDateTime now = QDateTime::currentDateTime();
    baseYear = now.toString(QStringLiteral("yyyy")).toInt();
    baseMonth = now.toString(QStringLiteral("MM")).toInt();
    if (withDay) {
        baseDay = now.toString(QStringLiteral("dd")).toInt();
    }
}

std::string CSystemTradingDayWidget::platformParam() const
{
    if (marketType != ttservice::EZR_MarketElectronic || !platformCombo) {
        return std::string();
    }
    return boost::lexical_cast<std::string>(platformCombo->currentData(Qt::UserRole).toInt());
}

} // namespace IMC
