#include "CHostConfig.h"
#include "CHostMainWindow.h"
#include "CHostOptions.h"
#include "CStoreOpener.h"

#include "CSqlTradingDayBackend.h"

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

// The operator's rights: from the command line when given, else from the default system's store (which
// also enforces them), else from the configuration.
QSet<int> operatorRights(const IMC::CHostConfig& config, const IMC::CHostOptions& options,
                         const std::shared_ptr<IMC::ITradingDayBackend>& defaultStore)
{
    if (options.rightsGiven) {
        return options.rights;
    }
    QSet<int> rights;
    const auto store = std::dynamic_pointer_cast<IMC::CSqlTradingDayBackend>(defaultStore);
    if (store && store->rightsOf(config.userName.toStdString(), rights).isSuccess()) {
        return rights;
    }
    return config.rights;
}

void applyOperator(const IMC::CHostConfig& config, const QSet<int>& rights)
{
    auto* users = utils::CSingletonT<IMC::CUserManager>::instance();
    users->setUserName(config.userName.toStdString());
    users->setRights(rights);
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
    std::vector<std::shared_ptr<IMC::ITradingDayBackend>> stores;
    std::shared_ptr<IMC::ITradingDayBackend> defaultStore;
    auto* clientCenter = utils::CSingletonT<IMC::CItsmClientCenter>::instance();
    for (const IMC::CHostConfig::System& system : config.systems) {
        QString error;
        auto backend = IMC::CStoreOpener::open(system.storeAddress, &error);
        if (!backend) {
            std::fprintf(stderr, "tradingday-host: %s: %s\n", qPrintable(system.name), qPrintable(error));
            return ExitStoreUnusable;
        }
        clientCenter->registerSystem(system.name.toStdString(), backend);
        if (!defaultStore) {
            defaultStore = backend;
        }
        systemNames << system.name;
        stores.push_back(backend);
    }
    applyOperator(config, operatorRights(config, options, defaultStore));

    IMC::CHostMainWindow window(systemNames, stores);
    window.show();
    window.showPanelPage(options.page);
    if (options.history) {
        window.openRevisionHistory();
    }
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
