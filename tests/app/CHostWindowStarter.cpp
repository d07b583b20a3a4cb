#include "CHostWindowStarter.h"

#include "CHostMainWindow.h"
#include "CStoreOpener.h"

#include "calendar/CSystemTradingDayWidget.h"
#include "panel/CSystemTradingDayPanel.h"

#include "CHostFixture.h"

#include "services/LuaModuleCtrl.h"
#include "utils/CSingletonT.h"

#include <QCoreApplication>

namespace tds {

std::unique_ptr<IMC::CHostMainWindow> CHostWindowStarter::start(const QString& storeAddress, QString* error)
{
    auto store = IMC::CStoreOpener::open(storeAddress, error);
    if (!store) {
        return nullptr;
    }
    CHostFixture::start(store);
    // Every page, as the program's first-start configuration has it.
    for (const char* module : {"mdl_tradetype", "mdl_tradetype_ggt", "mdl_tradetype_electronic"}) {
        utils::CSingletonT<luawrapper::LuaModuleCtrl>::instance()->setModule(module, true);
    }
    auto window =
        std::make_unique<IMC::CHostMainWindow>(QStringList{QString::fromStdString(CHostFixture::systemName)},
                                               std::vector<std::shared_ptr<IMC::ITradingDayBackend>>{store});
    window->show();
    window->showPanelPage(0);
    if (!CHostFixture::waitForAnswers()) {
        *error = QStringLiteral("the first query was not answered");
        return nullptr;
    }
    QCoreApplication::sendPostedEvents();
    return window;
}

IMC::CSystemTradingDayWidget* CHostWindowStarter::calendarPage(const IMC::CHostMainWindow& window)
{
    for (IMC::CSystemTradingDayWidget* page : window.panel()->findChildren<IMC::CSystemTradingDayWidget*>()) {
        if (page->isVisible()) {
            return page;
        }
    }
    return nullptr;
}

} // namespace tds
