#include "overseas/CTradingDayDialog.h"

#include "calendar/CMonthGrid.h"
#include "calendar/CMonthTable.h"
#include "data/CTradeDateRecords.h"
#include "data/CTradeDateRequests.h"
#include "data/TradingDayTypes.h"
#include "records/CItsmTypedMarketTradeDate.h"
#include "services/CItsmClientCenter.h"
#include "services/CUserManager.h"
#include "utils/CSingletonT.h"
#include "utils/StringConversion.h"
#include "widgets/CLoadingMaskWidget.h"
#include "widgets/CSimpleTextWidget.h"
#include "widgets/CSmallNormalButton.h"
#include "widgets/CStandardSimpleTable.h"
#include "widgets/CWidgetList.h"

#include <QDateTime>

namespace IMC {

namespace {
constexpr int anchorCenter = XP::CWidgetList::eAnchorCenter;
constexpr int anchorFill = XP::CWidgetList::eAnchorFill;

std::string utf8(const QString& text)
{
    return std::string(text.toUtf8().constData());
}
} // namespace

CTradingDayDialog::CTradingDayDialog(QWidget* parent)
    : XP::CCommonDialog(parent)
    , todayButton(nullptr)
    , table(nullptr)
    , monthLabel(nullptr)
    , baseYear(0)
    , baseMonth(0)
    , yearOffset(0)
    , monthOffset(0)
    , loadingMask(nullptr)
    , trackId(-1)
{
    createUi();
    setFixedSize(1250, 850);
    connect(this, &CTradingDayDialog::sigOnOperationFinished, this,
            &CTradingDayDialog::slotOnOperationFinished);
}

CTradingDayDialog::~CTradingDayDialog()
{
    answerGuard.close();
}

void CTradingDayDialog::setExchangeInfo(TradeDateMap days, QString name, QString code, int track)
{
    tradeDates = std::move(days);
    exchangeName = name;
    exchangeCode = code;
    trackId = track;
    takeBaseMonth();
    showMonth(false);
}

void CTradingDayDialog::setTableItemWidget(int year, int month, bool setDefault)
{
    const CMonthTable monthTable(table, this, TradingDay::OverseasMarket);
    if (setDefault) {
        monthTable.fill(tradeDates, year, month, int(TradingDay::DaySession));
    } else {
        monthTable.fill(tradeDates, year, month);
    }
}

bool CTradingDayDialog::handleEvent(int type, int id, int param, QString text, void* data)
{
    switch (type) {
    case TradingDay::ButtonClickedEvent:
        navigate(id);
        return true;
    case TradingDay::DaySetEvent:
        CTradeDateRecords::putDay(tradeDates, utf8(text), param);
        return true;
    case TradingDay::DayClearedEvent:
        CTradeDateRecords::removeDay(tradeDates, utf8(text));
        if (id == 1) {
            CTradeDateRecords::putDay(tradeDates, utf8(text), TradingDay::NoSession);
        }
        return true;
    default:
        return XP::CBaseDialog::handleEvent(type, id, param, text, data);
    }
}

void CTradingDayDialog::onOperationTradingDay(const utils::TTError& error, bson::BSONObj)
{
    emit sigOnOperationFinished(!error.isSuccess(), XP::sToQs(error.errorMsg()));
}

void CTradingDayDialog::slotOnOperationFinished(bool bError, QString qsError)
{
    if (loadingMask) {
        loadingMask->hide();
    }
    const QString title = QStringLiteral("交易日设置");
    CItsmClientCenter* center = utils::CSingletonT<CItsmClientCenter>::instance();
    if (bError) {
        center->showServerMsgCallBack(EServerCallbackMsg_Failure, false, this, title,
                                      qsError.isEmpty() ? QStringLiteral("未知异常") : qsError, true, false);
    } else {
        center->showServerMsgCallBack(EServerCallbackMsg_Success, true, this, title,
                                      QStringLiteral("操作成功"), true, false);
    }
    accept();
}

void CTradingDayDialog::createUi()
{
    auto* root = new XP::CWidgetList(Qt::Vertical, this);

    auto* top = new XP::CWidgetList(Qt::Horizontal, root);
    top->setFixedHeight(30);
    top->setSpacing(0);
    const auto addButton = [this](XP::CWidgetList* row, int id, const QString& text, int width) {
        auto* button = new XP::CSmallNormalButton(id, false, 1, this);
        button->setText(text);
        button->setFixedSize(width, 26);
        row->addFixedWidget(button, anchorCenter, true);
        return button;
    };
    addButton(top, PreviousYearId, QStringLiteral("<<"), 26);
    addButton(top, PreviousMonthId, QStringLiteral("<"), 26);
    addButton(top, NextMonthId, QStringLiteral(">"), 26);
    addButton(top, NextYearId, QStringLiteral(">>"), 26);
    top->addFixedSpace(10);
    todayButton = addButton(top, TodayId, QStringLiteral("今天"), 45);
    todayButton->setEnabled(false);
    top->addFixedSpace(350);
    monthLabel = new XP::CSimpleTextWidget(false, 12, QStringLiteral("2015年12月"), this);
    top->addFixedWidget(monthLabel, anchorCenter, true);
    top->addStretchSpace(1);
    addButton(top, DefaultDaysId, QStringLiteral("设置默认交易日"), 100);
    top->addFixedSpace(10);
    addButton(top, MonthViewId, QStringLiteral("月视图"), 100)->setEnabled(false);

    table = new XP::CStandardSimpleTable(0, this);
    table->setFixedSize(1130, 664);
    table->setColumnCount(7);
    table->setRowCount(6);
    table->setItemHeight(100);
    const QStringList weekdays = {QStringLiteral("星期天"), QStringLiteral("星期一"),
                                  QStringLiteral("星期二"), QStringLiteral("星期三"),
                                  QStringLiteral("星期四"), QStringLiteral("星期五"),
                                  QStringLiteral("星期六")};
    for (int column = 0; column < weekdays.size(); ++column) {
        table->setColumnHeader(column, weekdays[column]);
    }
    table->setFlag(0);
    for (int column = 0; column < weekdays.size(); ++column) {
        table->setColumnWidth(column, 153);
    }

    auto* bottom = new XP::CWidgetList(Qt::Horizontal, root);
    bottom->setFixedHeight(30);
    if (utils::CSingletonT<CUserManager>::instance()->checkUserAuth(TradingDay::MaintenanceRight)) {
        addButton(bottom, SaveId, QStringLiteral("提交保存"), 80);
        bottom->addFixedSpace(5);
    }
    addButton(bottom, CloseId, QStringLiteral("关闭"), 80);

    root->addFixedWidget(top, anchorFill, true);
    root->addFixedWidget(table, anchorFill, true);
    root->addFixedWidget(bottom, anchorFill, true);
    setInnerWidget(root);

    takeBaseMonth();
    showMonth(false);
    loadingMask = new XP::CLoadingMaskWidget(QStringLiteral("正在加载数据"), this);
    loadingMask->hide();
}

void CTradingDayDialog::navigate(int id)
{
    switch (id) {
    case PreviousYearId:
        --yearOffset;
        break;
    case PreviousMonthId:
        if (--monthOffset <= -12) {
            monthOffset += 12;
            --yearOffset;
        }
        break;
    case NextMonthId:
        if (++monthOffset >= 12) {
            monthOffset -= 12;
            ++yearOffset;
        }
        break;
    case NextYearId:
        ++yearOffset;
        break;
    case TodayId:
        yearOffset = 0;
        monthOffset = 0;
        break;
    case DefaultDaysId:
        break;
    case SaveId:
        save();
        return;
    case CloseId:
    case TradingDay::DialogFrameCloseId:
        reject();
        return;
    default:
        return;
    }
    showMonth(id == DefaultDaysId);
}

void CTradingDayDialog::showMonth(bool setDefault)
{
    int year = 0;
    int month = 0;
    CMonthGrid::shownMonth(baseYear, baseMonth, yearOffset, monthOffset, &year, &month);
    setTableItemWidget(year, month, setDefault);
    monthLabel->setText(QStringLiteral("%1年%2月").arg(year).arg(month), 100000);
    todayButton->setEnabled(yearOffset != 0 || monthOffset != 0);
}

void CTradingDayDialog::takeBaseMonth()
{
    const QDateTime now = QDateTime::currentDateTime();
    baseYear = now.toString(QStringLiteral("yyyy")).toInt();
    baseMonth = now.toString(QStringLiteral("MM")).toInt();
    yearOffset = 0;
    monthOffset = 0;
}

void CTradingDayDialog::save()
{
    const auto record = CTradeDateRequests::makeTypedRecord(TradingDay::OverseasMarket, TradeDateMap());
    record->exchangeName = utf8(exchangeName);
    record->exchangeCode = utf8(exchangeCode);
    record->trackId = trackId;
    record->tradeDates = tradeDates;
    const auto request = CTradeDateRequests::makeOperation(TradingDay::SaveOperation, record,
                                                           TradingDay::OverseasPlatformParam);
    utils::CSingletonT<CItsmClientCenter>::instance()->operateData_async(
        request,
        answerGuard.wrap<void(const utils::TTError&, bson::BSONObj)>(
            [this](const utils::TTError& error, bson::BSONObj document) {
                onOperationTradingDay(error, document);
            }),
        0);
    if (loadingMask) {
        loadingMask->setText(QStringLiteral("正在提交数据"));
        loadingMask->attach(this);
    }
}

} // namespace IMC
