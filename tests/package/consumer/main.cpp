// A minimal host: switches every module on, builds the panel and reports its tabs, and whether the installed
// sheet reader helper is where the installed library looks for it and runs there.
#include "panel/CSystemTradingDayPanel.h"

#include "services/CItsmClientCenter.h"
#include "services/CMemoryTradingDayBackend.h"
#include "services/LuaModuleCtrl.h"
#include "spreadsheet/CSheetReaderProcess.h"
#include "utils/CSingletonT.h"
#include "widgets/CStandardTabControl.h"

#include <QApplication>
#include <QProcess>

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    auto backend = std::make_shared<IMC::CMemoryTradingDayBackend>();
    utils::CSingletonT<IMC::CItsmClientCenter>::instance()->registerSystem("demo", backend);
    auto* modules = utils::CSingletonT<luawrapper::LuaModuleCtrl>::instance();
    for (const char* module : {"mdl_tradetype", "mdl_tradetype_ggt", "mdl_tradetype_electronic"}) {
        modules->setModule(module, true);
    }
    IMC::CSystemTradingDayPanel panel;
    const auto* tabs = panel.findChild<XP::CStandardTabControl*>();
    std::printf("tabs: %d\n", tabs ? tabs->tabCount() : 0);
    // Without a file the helper answers with its usage code, 2: it was found, its libraries load.
    std::printf("sheet reader: %d\n", QProcess::execute(XP::CSheetReaderProcess::helperPath(), {}));
    return 0;
}
