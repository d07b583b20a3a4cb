#pragma once

#include <QString>
#include <QStringList>

#include <boost/shared_ptr.hpp>

#include <memory>
#include <string>

namespace IMC {
class CItsmClient;
class CItsmClientCenter;
class CUserManager;
class ITradingDayBackend;
} // namespace IMC

namespace tds {

// The host as every page and dialog test needs it: one system on a back end the test hands in, the
// operator back to the default (right 10615 held) and message boxes answered by script instead of shown.
class CHostFixture
{
public:
    static const std::string systemName;

    // Call from init(): forgets every system, message and right change of the test before, then registers
    // backend as the current system.
    static void start(std::shared_ptr<IMC::ITradingDayBackend> backend);
    // Call from cleanup(): waits until the system has answered everything; false when it did not in time.
    static bool finish();

    static IMC::CItsmClientCenter* center();
    static IMC::CUserManager* user();
    static boost::shared_ptr<IMC::CItsmClient> client();
    // Waits until the current system's client has answered every request sent so far. Answers bound for the
    // GUI thread are then still in its event queue, and requests they lead to are not sent yet.
    static bool waitForAnswers();

    // The message boxes shown so far, each as "kind|title|text".
    static QStringList boxes();
};

} // namespace tds
