#pragma once

#include <QString>

#include <memory>

namespace IMC {
class CHostMainWindow;
class CSystemTradingDayWidget;
} // namespace IMC

namespace tds {

// Starts tradingday-host's window as the program does: the store at an address registered as the one system
// and handed to the window, the window shown on the domestic page, its first query answered.
class CHostWindowStarter
{
public:
    // Null, with the store's reason in error, when the store cannot be opened.
    static std::unique_ptr<IMC::CHostMainWindow> start(const QString& storeAddress, QString* error);
    // The calendar page shown.
    static IMC::CSystemTradingDayWidget* calendarPage(const IMC::CHostMainWindow& window);
};

} // namespace tds
