#pragma once

#include <QString>

#include <memory>

namespace IMC {
class CHostMainWindow;
class CItsmClientCenter;
class CSystemTradingDayWidget;
} // namespace IMC

namespace tds {

// tradingday-host's window on a store, as the host program starts it: the default system registered on the
// store at an address, the window shown on one of the panel's pages, the first queries answered.
class CHostUnderTest
{
public:
    static const QString systemName;

    CHostUnderTest();
    ~CHostUnderTest();

    // False, with the store's reason in error, when the store cannot be opened.
    bool start(const QString& storeAddress, int page, QString* error);
    // Closes the window and forgets the systems, as quitting the host does.
    void stop();

    IMC::CHostMainWindow* window() const { return mainWindow.get(); }
    // The calendar page on show, or null.
    IMC::CSystemTradingDayWidget* calendarPage() const;

    static IMC::CItsmClientCenter* clientCenter();
    // Waits until the default system's client has answered everything, chained requests included.
    static bool waitForIdleClient();

private:
    std::unique_ptr<IMC::CHostMainWindow> mainWindow;
};

} // namespace tds
