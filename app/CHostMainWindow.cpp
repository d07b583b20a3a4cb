#include "CHostMainWindow.h"

#include "CRevisionAnnouncer.h"
#include "CRevisionHistoryDialog.h"
#include "CSqlTradingDayBackend.h"

#include "calendar/CSystemTradingDayWidget.h"
#include "panel/CSystemTradingDayPanel.h"

#include "services/CItsmClient.h"
#include "services/CItsmClientCenter.h"
#include "utils/CSingletonT.h"
#include "widgets/CBaseTabPage.h"
#include "widgets/CComboBox.h"
#include "widgets/CStandardTabControl.h"
#include "widgets/hpf/CStandardHpfTable.h"
#include "widgets/hpf/IBaseHpfTableModel.h"

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <memory>

namespace IMC {
namespace {

CItsmClientCenter* clientCenter()
{
    return utils::CSingletonT<CItsmClientCenter>::instance();
}

constexpr int settlePollMs = 50;
constexpr int settledPollsNeeded = 4; // idle across several polls: chained queries have been sent too
constexpr int screenshotDeadlineMs = 15000;
constexpr int exchangeNameColumn = 0; // of the overseas exchange table
const char* const defaultElectronicPlatform = "14";

// The electronic page's platform: the data of its platform combo.
std::string platformOf(const QWidget& page)
{
    for (const auto* combo : page.findChildren<XP::CComboBox*>()) {
        if (combo->id() == CSystemTradingDayWidget::PlatformComboId) {
            return std::to_string(combo->currentData().toInt());
        }
    }
    return defaultElectronicPlatform;
}

// The exchange selected in the overseas page's table; empty when none is.
QString selectedExchangeOf(const QWidget& page)
{
    const auto* table = page.findChild<XP::CStandardHpfTable*>();
    if (!table || !table->dataModel()) {
        return QString();
    }
    const XP::IBaseHpfTableModel::DataPtr row = table->dataModel()->getData(table->selectedRow());
    return row ? row->cellText(exchangeNameColumn) : QString();
}

} // namespace

CHostMainWindow::CHostMainWindow(const QStringList& systemNames,
                                 std::vector<std::shared_ptr<ITradingDayBackend>> stores, QWidget* parent)
    : QMainWindow(parent)
    , stores(std::move(stores))
    , systemCombo(new QComboBox(this))
    , announcer(new CRevisionAnnouncer(this))
    , tradingDayPanel(nullptr)
{
    setWindowTitle(QStringLiteral("交易日管理"));

    QToolBar* toolBar = addToolBar(QStringLiteral("系统"));
    toolBar->setMovable(false);
    toolBar->addWidget(new QLabel(QStringLiteral(" 后台系统: "), toolBar));
    systemCombo->addItems(systemNames);
    toolBar->addWidget(systemCombo);
    toolBar->addSeparator();
    historyAction = toolBar->addAction(QStringLiteral("修订历史"));
    historyAction->setToolTip(QStringLiteral("查看并恢复所显示市场（或境外交易所）的交易日修订"));
    connect(historyAction, &QAction::triggered, this, &CHostMainWindow::openRevisionHistory);

    auto* dock = new QDockWidget(QStringLiteral("交易日设置"), this);
    dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    tradingDayPanel = new CSystemTradingDayPanel(dock);
    dock->setWidget(tradingDayPanel);
    addDockWidget(Qt::LeftDockWidgetArea, dock);

    statusBar()->showMessage(QStringLiteral("就绪"));
    connect(systemCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CHostMainWindow::slotSystemChosen);
    connect(clientCenter(), &CItsmClientCenter::sigServerMessage, this, &CHostMainWindow::slotServerMessage);

    resize(1200, 940);
    if (!systemNames.isEmpty()) {
        slotSystemChosen(0);
    }
}

void CHostMainWindow::paintEvent(QPaintEvent* event)
{
    QMainWindow::paintEvent(event);
    if (!painted) {
        painted = true;
        emit sigFirstPaint();
    }
}

void CHostMainWindow::showPanelPage(int pageIndex)
{
    tradingDayPanel->showPage(pageIndex);
}

void CHostMainWindow::slotSystemChosen(int index)
{
    const QString name = systemCombo->itemText(index);
    clientCenter()->setCurrentSystem(name.toStdString());
    tradingDayPanel->switchSystem(index, name);
    historyAction->setEnabled(revisionStore() != nullptr);
    announcer->watch(revisionStore());
}

std::shared_ptr<CSqlTradingDayBackend> CHostMainWindow::revisionStore() const
{
    const int index = systemCombo->currentIndex();
    if (index < 0 || index >= int(stores.size())) {
        return nullptr;
    }
    return std::dynamic_pointer_cast<CSqlTradingDayBackend>(stores[index]);
}

int CHostMainWindow::shownMarket(std::string* platformParam, QString* exchangeName) const
{
    const auto* tabs = tradingDayPanel->findChild<XP::CStandardTabControl*>();
    const XP::CBaseTabPage* tab = tabs ? tabs->getTabPage(tabs->currentIndex()) : nullptr;
    if (!tab || !tab->page()) {
        return ttservice::EZR_MarketDomestic;
    }
    const QString title = tab->title();
    if (title == QStringLiteral("港股通交易日")) {
        return ttservice::EZR_MarketHKConnect;
    }
    if (title == QStringLiteral("电子盘交易日")) {
        *platformParam = platformOf(*tab->page());
        return ttservice::EZR_MarketElectronic;
    }
    if (title == QStringLiteral("境外交易日 ")) {
        *exchangeName = selectedExchangeOf(*tab->page());
        return ttservice::EZR_MarketOverseas;
    }
    return ttservice::EZR_MarketDomestic;
}

CRevisionHistoryDialog* CHostMainWindow::openRevisionHistory()
{
    const std::shared_ptr<CSqlTradingDayBackend> store = revisionStore();
    if (!store) {
        return nullptr;
    }
    std::string platformParam;
    QString exchangeName;
    const int marketType = shownMarket(&platformParam, &exchangeName);
    historyDialog = new CRevisionHistoryDialog(store, marketType, platformParam, exchangeName, this);
    historyDialog->setAttribute(Qt::WA_DeleteOnClose);
    historyDialog->show();
    return historyDialog;
}

void CHostMainWindow::slotServerMessage(int /*type*/, bool /*success*/, QString title, QString text)
{
    statusBar()->showMessage(QStringLiteral("%1: %2").arg(title, text), 8000);
}

void CHostMainWindow::takeScreenshotWhenSettled(const QString& path)
{
    auto* timer = new QTimer(this);
    auto elapsed = std::make_shared<QElapsedTimer>();
    auto settledPolls = std::make_shared<int>(0);
    elapsed->start();
    connect(timer, &QTimer::timeout, this, [this, timer, elapsed, settledPolls, path] {
        *settledPolls = settled() ? *settledPolls + 1 : 0;
        if (*settledPolls < settledPollsNeeded && elapsed->elapsed() < screenshotDeadlineMs) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        QWidget* shown = historyDialog ? static_cast<QWidget*>(historyDialog) : this;
        emit sigScreenshotTaken(shown->grab().save(path, "PNG"));
    });
    timer->start(settlePollMs);
}

bool CHostMainWindow::settled() const
{
    const bool historyBusy = historyDialog && historyDialog->isBusy();
    return !historyBusy && clientCenter()->getClientByName(std::string())->waitUntilIdle(0);
}

} // namespace IMC
