#include "CHostUnderTest.h"

#include "CHostMainWindow.h"
#include "CStoreOpener.h"

#include "calendar/CSystemTradingDayWidget.h"
#include "panel/CSystemTradingDayPanel.h"
#include "services/CItsmClient.h"
#include "services/CItsmClientCenter.h"
#include "utils/CSingletonT.h"

#include <QCoreApplication>
#include <QStringList>

namespace tds {

const QString CHostUnderTest::systemName = QStringLiteral("默认系统");

CHostUnderTest::CHostUnderTest() = default;

CHostUnderTest::~CHostUnderTest() = default;

bool CHostUnderTest::start(const QString& storeAddress, int page, QString* error)
{
    auto store = IMC::CStoreOpener::open(storeAddress, error);
    if (!store) {
        return false;
    }
    clientCenter()->registerSystem(systemName.toStdString(), store);
    mainWindow = std::make_unique<IMC::CHostMainWindow>(QStringList{systemName});
    mainWindow->show();
    mainWindow->showPanelPage(page);
    if (!waitForIdleClient()) {
        *error = QStringLiteral("the first queries were not answered");
        return false;
    }
    return true;
}

void CHostUnderTest::stop()
{
    mainWindow.reset();
    clientCenter()->resetForTests();
}

IMC::CSystemTradingDayWidget* CHostUnderTest::calendarPage() const
{
    for (auto* page : mainWindow->panel()->findChildren<IMC::CSystemTradingDayWidget*>()) {
        if (page->isVisible()) {
            return page;
        }
    }
    return nullptr;
}

IMC::CItsmClientCenter* CHostUnderTest::clientCenter()
{
    return utils::CSingletonT<IMC::CItsmClientCenter>::instance();
}

bool CHostUnderTest::waitForIdleClient()
{
    // Chained requests (tracks, then exchanges) need the GUI thread between them.
    for (int settled = 0, round = 0; round < 200; ++round) {
        QCoreApplication::processEvents();
        settled = clientCenter()->getClientByName(std::string())->waitUntilIdle(50) ? settled + 1 : 0;
        if (settled >= 4) {
            return true;
        }
    }
    return false;
}

} // namespace tds
