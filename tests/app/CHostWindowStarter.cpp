#include "CHostWindowStarter.h"

#include "CHostMainWindow.h"
#include "CStoreOpener.h"

#include "calendar/CSystemTradingDayWidget.h"
#include "panel/CSystemTradingDayPanel.h"

#include "CHostFixture.h"

#include <QCoreApplication>

namespace tds {

std::unique_ptr<IMC::CHostMainWindow> CHostWindowStarter::start(const QString& storeAddress, QString* error)
{
    auto store = IMC::CStoreOpener::open(storeAddress, error);
    if (!store) {
        return nullptr;
    }
    CHostFixture::start(store);
    auto window =
        std::make_unique<IMC::CHostMainWindow>(QStringList{QString::fromStdString(CHostFixture::systemName)});
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
    return window.panel()->findChild<IMC::CSystemTradingDayWidget*>();
}

} // namespace tds
