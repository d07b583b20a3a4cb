#include "panel/CSystemTradingDayPanel.h"

#include "calendar/CSystemTradingDayWidget.h"
#include "data/TradingDayTypes.h"
#include "overseas/COverSeaTradingDayWidget.h"

#include "services/LuaModuleCtrl.h"
#include "utils/CSingletonT.h"
#include "widgets/CBaseTabPage.h"
#include "widgets/CScrollArea.h"
#include "widgets/CStandardTabControl.h"

#include <QResizeEvent>

namespace IMC {
namespace {

enum EPageIndex
{
    DomesticPageIndex = 0,
    HkConnectPageIndex = 1,
    ElectronicPageIndex = 2,
    OverseasPageIndex = 3
};

bool modulesSwitchedOn(const std::list<std::string>& modules)
{
    return utils::CSingletonT<luawrapper::LuaModuleCtrl>::instance()->checkModule(modules);
}

} // namespace

CSystemTradingDayPanel::CSystemTradingDayPanel(QWidget* parent)
    : IitsmDockableWidget(false, QStringLiteral("tds"), parent, true)
    , domesticPage(nullptr)
    , hkConnectPage(nullptr)
    , electronicPage(nullptr)
    , overseasPage(nullptr)
    , tabControl(nullptr)
    , scrollArea(nullptr)
{
    createUi();
}

CSystemTradingDayPanel::~CSystemTradingDayPanel() = default;

void CSystemTradingDayPanel::setParam(const QString& /*param*/) {}

QString CSystemTradingDayPanel::param() const
{
    return QString();
}

void CSystemTradingDayPanel::createUi()
{
    scrollArea = new XP::CScrollArea(this);
    tabControl = new XP::CStandardTabControl(this);

    domesticPage = new CSystemTradingDayWidget(ttservice::EZR_MarketDomestic, this);
    addPage(DomesticPageIndex, QStringLiteral("境内市场交易日"), domesticPage);

    const std::string tradeType = "mdl_tradetype";
    if (modulesSwitchedOn(tradeType << std::string("mdl_tradetype_ggt")) ||
        modulesSwitchedOn(tradeType << std::string("mdl_tradetype_sgt"))) {
        hkConnectPage = new CSystemTradingDayWidget(ttservice::EZR_MarketHKConnect, this);
        addPage(HkConnectPageIndex, QStringLiteral("港股通交易日"), hkConnectPage);
    }

    if (modulesSwitchedOn(tradeType << std::string("mdl_tradetype_electronic"))) {
        electronicPage = new CSystemTradingDayWidget(ttservice::EZR_MarketElectronic, this);
        addPage(ElectronicPageIndex, QStringLiteral("电子盘交易日"), electronicPage);
        overseasPage = new COverSeaTradingDayWidget(this);
        addPage(OverseasPageIndex, QStringLiteral("境外交易日 "), overseasPage);
    }

    // The calendar page has a fixed size; a smaller panel scrolls instead of squeezing it.
    tabControl->setMinimumSize(domesticPage->size());
    scrollArea->setWidget(tabControl);
    setInnerStretchWidget(scrollArea, 0, 0, 0, 0);
}

void CSystemTradingDayPanel::addPage(int pageIndex, const QString& title, QWidget* page)
{
    pageTabs.insert(pageIndex, tabControl->addTabWidget(title, page, nullptr));
}

void CSystemTradingDayPanel::switchSystem(int systemIndex, QString systemName)
{
    IitsmDockableWidget::switchSystem(systemIndex, systemName);
    domesticPage->setSystem(systemName);
    if (hkConnectPage) {
        hkConnectPage->setSystem(systemName);
    }
}

void CSystemTradingDayPanel::showPage(int pageIndex)
{
    XP::CBaseTabPage* tabPage = pageTabs.value(pageIndex, nullptr);
    if (!tabPage) {
        return;
    }
    const int position = getTabIndex(tabPage);
    if (position != -1) {
        tabControl->activateTab(position);
    }
}

int CSystemTradingDayPanel::getTabIndex(XP::CBaseTabPage* tabPage)
{
    for (int i = 0; i < tabControl->tabCount(); ++i) {
        if (tabControl->getTabPage(i) == tabPage) {
            return i;
        }
    }
    return -1;
}

void CSystemTradingDayPanel::resizeEvent(QResizeEvent* event)
{
    IitsmDockableWidget::resizeEvent(event);
    if (tabControl) {
        tabControl->resize(event->size());
    }
    if (scrollArea) {
        scrollArea->resize(event->size());
    }
}

bool CSystemTradingDayPanel::handleEvent(int type, int id, int param, QString text, void* data)
{
    if (type == TradingDay::PanelHostEvent) {
        return true;
    }
    return XP::CBaseWidget::handleEvent(type, id, param, text, data);
}

} // namespace IMC
