#include "CHostMainWindow.h"

#include "panel/CSystemTradingDayPanel.h"

#include "services/CItsmClient.h"
#include "services/CItsmClientCenter.h"
#include "utils/CSingletonT.h"

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

} // namespace

CHostMainWindow::CHostMainWindow(const QStringList& systemNames, QWidget* parent)
    : QMainWindow(parent)
    , systemCombo(new QComboBox(this))
    , tradingDayPanel(nullptr)
{
    setWindowTitle(QStringLiteral("交易日管理"));

    QToolBar* toolBar = addToolBar(QStringLiteral("系统"));
    toolBar->setMovable(false);
    toolBar->addWidget(new QLabel(QStringLiteral(" 后台系统: "), toolBar));
    systemCombo->addItems(systemNames);
    toolBar->addWidget(systemCombo);

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
        const bool idle = clientCenter()->getClientByName(std::string())->waitUntilIdle(0);
        *settledPolls = idle ? *settledPolls + 1 : 0;
        if (*settledPolls < settledPollsNeeded && elapsed->elapsed() < screenshotDeadlineMs) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        emit sigScreenshotTaken(grab().save(path, "PNG"));
    });
    timer->start(settlePollMs);
}

} // namespace IMC
