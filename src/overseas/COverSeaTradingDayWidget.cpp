#include "overseas/COverSeaTradingDayWidget.h"

#include "data/CTradeDateRequests.h"
#include "data/TradingDayTypes.h"
#include "overseas/CAddExchangDialog.h"
#include "overseas/CHpfOverSeaData.h"
#include "overseas/CHpfOverSeaTableModel.h"
#include "overseas/CTradingDayDialog.h"
#include "records/CItsmInstrumentDetail.h"
#include "records/CItsmPlatformInfo.h"
#include "records/CItsmTypedMarketTradeDate.h"
#include "services/CItsmClientCenter.h"
#include "services/CItsmDataManager.h"
#include "services/CQueryReq.h"
#include "utils/CSingletonT.h"
#include "utils/StringConversion.h"
#include "widgets/CLoadingMaskWidget.h"
#include "widgets/CMessageBox.h"
#include "widgets/CSafeLineEdit.h"
#include "widgets/CSimpleTextWidget.h"
#include "widgets/CSmallNormalButton.h"
#include "widgets/CWidgetList.h"
#include "widgets/hpf/CBaseTableColumnMultiButtonsDelegate.h"
#include "widgets/hpf/CStandardHpfTable.h"

#include <boost/make_shared.hpp>
#include <boost/pointer_cast.hpp>
#include <boost/thread/lock_guard.hpp>

#include <QPointer>

namespace IMC {

namespace {
constexpr int futuresPlatformKind = 14;
constexpr int interestRatePlatformKind = 15;
constexpr int nameColumn = 0;
constexpr int buttonColumn = 1;
constexpr int trackColumn = 2;
constexpr int tableMenuFlags = 0xEF;

const QString unknownError = QStringLiteral("未知异常");

// Record texts take the UTF-8 bytes up to the first zero byte.
std::string utf8(const QString& text)
{
    return std::string(text.toUtf8().constData());
}

CItsmClientCenter* clientCenter()
{
    return utils::CSingletonT<CItsmClientCenter>::instance();
}
} // namespace

COverSeaTradingDayWidget::COverSeaTradingDayWidget(QWidget* parent)
    : XP::CBaseWidget(QStringLiteral("system_trading_day"), false, parent)
    , searchEdit(nullptr)
    , tableModel(nullptr)
    , table(nullptr)
    , loadingMask(nullptr)
    , buttonsDelegate(nullptr)
{
    createUi();
    queryInstrumentData();
    connect(this, &COverSeaTradingDayWidget::sigOnDataTradingDayInfo, this,
            &COverSeaTradingDayWidget::slotOnDataTradingDayInfo);
    connect(this, &COverSeaTradingDayWidget::sigOnOperationFinished, this,
            &COverSeaTradingDayWidget::slotOnOperationFinished);
}

COverSeaTradingDayWidget::~COverSeaTradingDayWidget()
{
    answerGuard.close();
}

void COverSeaTradingDayWidget::setSystem(const QString& name)
{
    systemName = name;
}

void COverSeaTradingDayWidget::onActive()
{
    XP::CBaseWidget::onActive();
    if (!isPlatformFinish()) {
        initElecPlatform();
    }
}

void COverSeaTradingDayWidget::createUi()
{
    auto* outer = new XP::CWidgetList(Qt::Vertical, this);
    outer->setMargin(10, 10, 0, 0);
    outer->setSpacing(0);

    auto* topRow = new XP::CWidgetList(Qt::Horizontal, outer);
    topRow->setMargin(0, 0, 0, 0);
    topRow->setSpacing(0);
    auto* searchLabel = new XP::CSimpleTextWidget(false, 0, QStringLiteral("查询交易所:"), topRow);
    searchEdit = new CSafeLineEdit(SearchEditId, topRow);
    searchEdit->setFixedSize(190, 26);
    searchEdit->setEmptyHint(QStringLiteral("请输入交易所名称, 按Enter查询"));
    searchEdit->setEmptyHintColorKey(QStringLiteral("clr_lineedit_empty_hint"));
    auto* refreshButton = new XP::CSmallNormalButton(RefreshButtonId, false, 1, topRow);
    refreshButton->setText(QStringLiteral("刷新"));
    refreshButton->setFixedSize(100, 26);
    auto* addButton = new XP::CSmallNormalButton(AddButtonId, false, 1, topRow);
    addButton->setText(QStringLiteral("新增"));
    addButton->setFixedSize(100, 26);
    topRow->addFixedWidget(searchLabel, XP::CWidgetList::eAnchorFill, true);
    topRow->addFixedWidget(searchEdit, XP::CWidgetList::eAnchorFill, true);
    topRow->addFixedSpace(10);
    topRow->addFixedWidget(refreshButton, XP::CWidgetList::eAnchorFill, true);
    topRow->addFixedSpace(10);
    topRow->addFixedWidget(addButton, XP::CWidgetList::eAnchorFill, true);
    outer->addFixedWidget(topRow, XP::CWidgetList::eAnchorFill, true);
    outer->addFixedSpace(10);

    tableModel = new CHpfOverSeaTableModel();
    table = new XP::CStandardHpfTable(0, this, tableMenuFlags);
    table->setDataModel(tableModel);
    table->setFlag((table->flag() & ~XP::CStandardHpfTable::eTableMultiSelect) |
                   XP::CStandardHpfTable::eTableSelectRows);
    buttonsDelegate = new XP::CBaseTableColumnMultiButtonsDelegate(buttonColumn, table);
    table->setColumnDelegate(buttonColumn, buttonsDelegate);
    outer->addStretchWidget(table, 1, XP::CWidgetList::eAnchorFill, false);
    setInnerStretchWidget(outer, 0, 0, 0, 0);

    loadingMask = new XP::CLoadingMaskWidget(QStringLiteral("正在加载数据"), this);
    loadingMask->hide();
}

void COverSeaTradingDayWidget::queryData()
{
    if (loadingMask) {
        loadingMask->setText(QStringLiteral("正在加载数据"));
    }
    const auto request =
        CTradeDateRequests::makeQuery(TradingDay::OverseasMarket, TradingDay::OverseasPlatformParam);
    const boost::shared_ptr<CItsmClient> client = clientCenter()->getClientByName(utf8(systemName));
    if (!client) {
        return;
    }
    client->queryData_async(
        request,
        answerGuard.wrap<void(const utils::TTError&, const Records&, int, bson::BSONObj)>(
            [this](const utils::TTError& error, const Records& records, int count, bson::BSONObj document) {
                onQueryExchangeCode(error, records, count, document);
            }),
        0);
}

void COverSeaTradingDayWidget::onQueryExchangeCode(const utils::TTError& error, const Records& records, int,
                                                   bson::BSONObj)
{
    boost::lock_guard<boost::recursive_mutex> lock(dataMutex);
    if (error.isSuccess()) {
        queryResults = records;
    }
    emit sigOnDataTradingDayInfo(error.isSuccess(), XP::sToQs(error.errorMsg()));
}

void COverSeaTradingDayWidget::slotOnDataTradingDayInfo(bool ok, QString message)
{
    if (loadingMask) {
        loadingMask->hide();
    }
    if (!ok) {
        warn(QStringLiteral("请求数据失败"), message.isEmpty() ? unknownError : message);
    }
    boost::lock_guard<boost::recursive_mutex> lock(dataMutex);
    tradeDatesByExchange.clear();
    tableModel->clear();
    for (const boost::shared_ptr<ttservice::IData>& record : queryResults) {
        const auto exchange = boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(record);
        if (!exchange) {
            continue;
        }
        const QString name = XP::sToQs(exchange->exchangeName);
        tradeDatesByExchange[name] = exchange->tradeDates;
        const auto row = boost::make_shared<CHpfOverSeaData>(name, XP::sToQs(exchange->exchangeCode),
                                                             XP::sToQs(trackNames[exchange->trackId]));
        operationBtn(row->rowKey(), buttonsDelegate);
        tableModel->addData(row);
    }
    table->updateTable();
}

void COverSeaTradingDayWidget::operationBtn(const std::string& rowKey,
                                            XP::CBaseTableColumnMultiButtonsDelegate* delegate)
{
    if (!delegate) {
        return;
    }
    QVector<XP::ButtonData> buttons;
    buttons.append(XP::ButtonData(OpenButtonId, QStringLiteral("跳转"), 1, false, QMap<int, QString>()));
    buttons.append(XP::ButtonData(DeleteButtonId, QStringLiteral("删除"), 1, false, QMap<int, QString>()));
    delegate->setItemButtons(rowKey, buttons, true);
    delegate->setItemVisible(rowKey, true, true);
}

void COverSeaTradingDayWidget::queryInstrumentData()
{
    const QPointer<COverSeaTradingDayWidget> page(this);
    const auto request = boost::make_shared<CQueryReq>(
        std::string(), TradingDay::InstrumentDetailsKind,
        [page](boost::shared_ptr<CQueryReq> answered, bool ok, QString message, const Records& records, int) {
            if (page) {
                page->onQueryInstrumentData(answered, ok, message, records);
            }
        },
        nullptr, false);
    utils::CSingletonT<CItsmDataManager>::instance()->queryData(request, false);
}

void COverSeaTradingDayWidget::onQueryInstrumentData(boost::shared_ptr<CQueryReq>, bool ok, QString message,
                                                     const Records& records)
{
    exchangeNames.clear();
    if (!ok) {
        warn(QStringLiteral("请求数据失败"), message);
        return;
    }
    for (const boost::shared_ptr<ttservice::IData>& record : records) {
        const auto instrument = boost::dynamic_pointer_cast<ttservice::CItsmInstrumentDetail>(record);
        if (instrument && instrument->detail) {
            exchangeNames[XP::sToQs(instrument->detail->exchangeCode)] =
                XP::sToQs(instrument->detail->exchangeName);
        }
    }
}

void COverSeaTradingDayWidget::initElecPlatform()
{
    sendTrackQuery(futuresPlatformKind);
    sendTrackQuery(interestRatePlatformKind);
}

void COverSeaTradingDayWidget::onQueryPlatfrom(boost::shared_ptr<CQueryReq>, bool ok, QString message,
                                               const Records& records, int platformKind)
{
    if (!ok) {
        warn(QStringLiteral("请求平台数据失败"), message);
        return;
    }
    platformLoaded[platformKind] = true;
    for (const boost::shared_ptr<ttservice::IData>& record : records) {
        if (const auto track = boost::dynamic_pointer_cast<ttservice::CItsmPlatformInfo>(record)) {
            trackNames[track->platformId] = track->platformName;
        }
    }
    if (isPlatformFinish()) {
        queryData();
    }
}

bool COverSeaTradingDayWidget::isPlatformFinish()
{
    return platformLoaded[futuresPlatformKind] && platformLoaded[interestRatePlatformKind];
}

int COverSeaTradingDayWidget::getTrackId(const QString& trackName)
{
    const std::string name = utf8(trackName);
    for (const auto& track : trackNames) {
        if (track.second == name) {
            return track.first;
        }
    }
    return -1;
}

bool COverSeaTradingDayWidget::handleEvent(int type, int id, int param, QString text, void* data)
{
    switch (type) {
    case TradingDay::ButtonClickedEvent:
        if (id == RefreshButtonId) {
            queryData();
        } else if (id == AddButtonId) {
            addExchange();
        }
        return true;
    case TradingDay::EnterPressedEvent:
        if (id == SearchEditId) {
            applySearch();
        }
        return true;
    case TradingDay::RowButtonEvent:
        if (param == OpenButtonId) {
            openExchange();
        } else if (param == DeleteButtonId) {
            deleteExchangeData();
        }
        return XP::CBaseWidget::handleEvent(type, id, param, text, data);
    default:
        return XP::CBaseWidget::handleEvent(type, id, param, text, data);
    }
}

bool COverSeaTradingDayWidget::checkName(QString name)
{
    for (int row = 0; row < table->rowCount(); ++row) {
        const XP::IBaseHpfTableModel::DataPtr data = tableModel->getData(row);
        if (data && data->cellText(nameColumn) == name) {
            XP::CMessageBox::warning(this, QStringLiteral("提示"), QStringLiteral("交易所名称已存在！"),
                                     QMessageBox::Ok, QMessageBox::NoButton, 0, false);
            return false;
        }
    }
    return true;
}

void COverSeaTradingDayWidget::saveExchangeData(QString name, int trackId)
{
    sendOperation(TradingDay::SaveOperation, name, trackId);
}

void COverSeaTradingDayWidget::deleteExchangeData()
{
    const QMessageBox::StandardButton answer =
        XP::CMessageBox::warning(nullptr, QStringLiteral("警告"), QStringLiteral("是否确认删除该条数据？"),
                                 QMessageBox::Ok | QMessageBox::No, QMessageBox::NoButton, 0, false);
    if (answer == QMessageBox::No) {
        return;
    }
    const XP::IBaseHpfTableModel::DataPtr row = tableModel->getData(table->selectedRow());
    if (!row) {
        return;
    }
    sendOperation(TradingDay::DeleteOperation, row->cellText(nameColumn),
                  getTrackId(row->cellText(trackColumn)));
}

void COverSeaTradingDayWidget::onOperationTradingDay(const utils::TTError& error, bson::BSONObj)
{
    emit sigOnOperationFinished(!error.isSuccess(), XP::sToQs(error.errorMsg()));
}

void COverSeaTradingDayWidget::slotOnOperationFinished(bool failed, QString message)
{
    if (loadingMask) {
        loadingMask->hide();
    }
    if (failed) {
        warn(QStringLiteral("请求失败"), message.isEmpty() ? unknownError : message);
        return;
    }
    queryData();
}

void COverSeaTradingDayWidget::addExchange()
{
    CAddExchangDialog dialog(this);
    dialog.setExchangeNames(exchangeNames);
    dialog.setTracks(trackNames);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const QString name = dialog.selectedExchangeName();
    if (!checkName(name)) {
        return;
    }
    saveExchangeData(name, dialog.selectedTrackId());
}

void COverSeaTradingDayWidget::openExchange()
{
    const XP::IBaseHpfTableModel::DataPtr row = tableModel->getData(table->selectedRow());
    if (!row) {
        return;
    }
    const QString name = row->cellText(nameColumn);
    CTradingDayDialog dialog(this);
    dialog.setExchangeInfo(tradeDatesByExchange[name], name, exchangeCodeOfName(name, false),
                           getTrackId(row->cellText(trackColumn)));
    dialog.setTitle(name + QStringLiteral("交易日设置"));
    if (dialog.exec() == QDialog::Accepted) {
        queryData();
    }
}

void COverSeaTradingDayWidget::applySearch()
{
    const QString text = searchEdit->text();
    if (text.isEmpty()) {
        tableModel->clearFilter();
    } else {
        tableModel->filterColumn(nameColumn, qMakePair(XP::eFilterContains, QSet<QString>{text}));
    }
    table->updateTable();
}

void COverSeaTradingDayWidget::sendOperation(int operation, const QString& name, int trackId)
{
    const auto record = CTradeDateRequests::makeTypedRecord(TradingDay::OverseasMarket, TradeDateMap());
    record->exchangeName = utf8(name);
    record->exchangeCode = utf8(exchangeCodeOfName(name, true));
    record->trackId = trackId;
    const auto request =
        CTradeDateRequests::makeOperation(operation, record, TradingDay::OverseasPlatformParam);
    clientCenter()->operateData_async(request,
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

QString COverSeaTradingDayWidget::exchangeCodeOfName(const QString& name, bool lastMatch) const
{
    QString code;
    for (auto entry = exchangeNames.cbegin(); entry != exchangeNames.cend(); ++entry) {
        if (entry.value() == name) {
            code = entry.key();
            if (!lastMatch) {
                break;
            }
        }
    }
    return code;
}

void COverSeaTradingDayWidget::sendTrackQuery(int platformKind)
{
    const QPointer<COverSeaTradingDayWidget> page(this);
    const auto request = boost::make_shared<CQueryReq>(
        std::string(), TradingDay::TracksKind,
        [page, platformKind](boost::shared_ptr<CQueryReq> answered, bool ok, QString message,
                             const Records& records, int) {
            if (page) {
                page->onQueryPlatfrom(answered, ok, message, records, platformKind);
            }
        },
        nullptr, false);
    request->queryParam = std::to_string(platformKind);
    utils::CSingletonT<CItsmDataManager>::instance()->queryData(request, false);
}

void COverSeaTradingDayWidget::warn(const QString& title, const QString& text)
{
    XP::CMessageBox::warning(this, title, text, QMessageBox::Ok, QMessageBox::NoButton, 0, false);
}

} // namespace IMC
