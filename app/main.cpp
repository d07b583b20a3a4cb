#include "CHostConfig.h"
#include "CHostMainWindow.h"
#include "CHostOptions.h"
#include "CStoreOpener.h"

#include "services/CItsmClientCenter.h"
#include "services/CUserManager.h"
#include "services/LuaModuleCtrl.h"
#include "utils/CSingletonT.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>

namespace {

enum EExitCode
{
    ExitOk = 0,
    ExitBadCommandLine = 2,
    ExitStoreUnusable = 3,
    ExitScreenshotFailed = 4
};

void applyOperator(const IMC::CHostConfig& config)
{
    auto* users = utils::CSingletonT<IMC::CUserManager>::instance();
    users->setUserName(config.userName.toStdString());
    users->setRights(config.rights);
    auto* modules = utils::CSingletonT<luawrapper::LuaModuleCtrl>::instance();
    for (const QString& module : config.modules) {
        modules->setModule(module.toStdString(), true);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tradingday-host"));
    QApplication::setOrganizationName(QStringLiteral("PanelSystemTradingDay"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));

    const IMC::CHostOptions options = IMC::CHostOptions::parse(app);
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "tradingday-host: %s\n", qPrintable(options.error));
        return ExitBadCommandLine;
    }
    const QString configFile =
        options.configFile.isEmpty() ? IMC::CHostConfig::defaultConfigFile() : options.configFile;
    const IMC::CHostConfig config = IMC::CHostConfig::load(configFile, options);

    QStringList systemNames;
    auto* clientCenter = utils::CSingletonT<IMC::CItsmClientCenter>::instance();
    for (const IMC::CHostConfig::System& system : config.systems) {
        QString error;
        auto backend = IMC::CStoreOpener::open(system.storeAddress, &error);
        if (!backend) {
            std::fprintf(stderr, "tradingday-host: %s: %s\n", qPrintable(system.name), qPrintable(error));
            return ExitStoreUnusable;
        }
        clientCenter->registerSystem(system.name.toStdString(), backend);
        systemNames << system.name;
    }
    applyOperator(config);

    IMC::CHostMainWindow window(systemNames);
    window.show();
    window.showPanelPage(options.page);
    if (options.exitAfterFirstPaint) {
        QObject::connect(&window, &IMC::CHostMainWindow::sigFirstPaint, &app, &QCoreApplication::quit,
                         Qt::QueuedConnection);
    }
    if (!options.screenshot.isEmpty()) {
        QObject::connect(&window, &IMC::CHostMainWindow::sigScreenshotTaken, &app, [](bool written) {
            QCoreApplication::exit(written ? ExitOk : ExitScreenshotFailed);
        });
        window.takeScreenshotWhenSettled(options.screenshot);
    }
    const int exitCode = app.exec();
    // The clients and their stores go while Qt is still alive: a store's connections belong to Qt SQL.
    clientCenter->closeAllSystems();
    return exitCode;
}
