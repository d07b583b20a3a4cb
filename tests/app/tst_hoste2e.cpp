#include "CHostMainWindow.h"
#include "CStoreOpener.h"

#include "calendar/CCalenderCellWidget.h"
#include "calendar/CSystemTradingDayWidget.h"
#include "overseas/COverSeaTradingDayWidget.h"
#include "panel/CSystemTradingDayPanel.h"

#include "services/CItsmClient.h"
#include "services/CItsmClientCenter.h"
#include "services/CUserManager.h"
#include "services/LuaModuleCtrl.h"
#include "utils/CSingletonT.h"
#include "widgets/CComboBox.h"
#include "widgets/CMessageBoxScript.h"

#include "CCalendarUi.h"
#include "CModalDriver.h"
#include "COverseasUi.h"
#include "TestGuards.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using tds::CCalendarUi;
using tds::COverseasUi;

namespace {

const QString systemName = QStringLiteral("默认系统");
const QString exchangeName = QStringLiteral("芝加哥商业交易所");

IMC::CItsmClientCenter* clientCenter()
{
    return utils::CSingletonT<IMC::CItsmClientCenter>::instance();
}

bool waitForIdleClient()
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

// What tradingday-ctl, the operators' own tool, reads from the store file.
QString runCtl(const QString& database, const QStringList& arguments)
{
    QProcess ctl;
    ctl.start(QStringLiteral(TDS_CTL_PATH), QStringList{QStringLiteral("--db"), database} + arguments);
    if (!ctl.waitForFinished(30000) || ctl.exitCode() != 0) {
        return QStringLiteral("failed: ") + QString::fromUtf8(ctl.readAllStandardError());
    }
    return QString::fromUtf8(ctl.readAllStandardOutput());
}

} // namespace

// The desktop host on a real store file: what an operator saves is there after a restart, and the
// administration tool sees the same data.
class TestHostEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        tds::failOnUnexpectedWarnings();
        QVERIFY(storeDir.isValid());
        database = storeDir.filePath(QStringLiteral("tradingday.db"));
        auto* modules = utils::CSingletonT<luawrapper::LuaModuleCtrl>::instance();
        for (const char* module : {"mdl_tradetype", "mdl_tradetype_ggt", "mdl_tradetype_electronic"}) {
            modules->setModule(module, true);
        }
        utils::CSingletonT<IMC::CUserManager>::instance()->setRights({10615});
        XP::CMessageBoxScript::enable(true);
    }

    void cleanup() { stopHost(); }

    void domesticDaysSurviveARestart()
    {
        startHost(0);
        IMC::CSystemTradingDayWidget* page = calendarPage();
        QCOMPARE(CCalendarUi::monthLabel(page), QStringLiteral("2026年8月"));

        QVERIFY(CCalendarUi::clickButton(CCalendarUi::cell(page, QStringLiteral("2026-08-20")),
                                         QStringLiteral("+")));
        QVERIFY(CCalendarUi::clickButton(CCalendarUi::cell(page, QStringLiteral("2026-08-21")),
                                         QStringLiteral("+")));
        QVERIFY(CCalendarUi::clickCheckBox(CCalendarUi::cell(page, QStringLiteral("2026-08-21")),
                                           QStringLiteral("夜盘")));
        XP::CMessageBoxScript::pushAnswer(QMessageBox::Ok); // confirm switching the night session off
        QVERIFY(CCalendarUi::clickButton(page, QStringLiteral("提交保存")));
        QTRY_VERIFY_WITH_TIMEOUT(!clientCenter()->serverMessages().isEmpty(), 10000);
        QCOMPARE(clientCenter()->serverMessages().last().text, QStringLiteral("操作成功"));
        stopHost();

        const QString exported =
            runCtl(database, {QStringLiteral("export"), QStringLiteral("--market"), QStringLiteral("0")});
        QVERIFY2(exported.contains(QStringLiteral("2026-08-20,1")), qPrintable(exported));
        QVERIFY2(exported.contains(QStringLiteral("2026-08-21,1")), qPrintable(exported));

        startHost(0);
        page = calendarPage();
        QCOMPARE(CCalendarUi::describe(CCalendarUi::cell(page, QStringLiteral("2026-08-20"))),
                 QStringLiteral("20 trade X day* night*"));
        QCOMPARE(CCalendarUi::describe(CCalendarUi::cell(page, QStringLiteral("2026-08-21"))),
                 QStringLiteral("21 trade X day* night"));
        QCOMPARE(CCalendarUi::describe(CCalendarUi::cell(page, QStringLiteral("2026-08-24"))),
                 QStringLiteral("24 +"));
    }

    void overseasExchangeAddedEditedAndDeleted()
    {
        startHost(3);
        QWidget* page = window->panel()->findChild<IMC::COverSeaTradingDayWidget*>();
        QVERIFY(page);
        QVERIFY(!COverseasUi::shownRows(page).join(QLatin1Char(';')).contains(exchangeName));

        tds::CModalDriver driver;
        driver.arm([](QWidget* dialog) {
            XP::CComboBox* exchanges = COverseasUi::comboById(dialog, 0);
            for (int i = 0; i < exchanges->count(); ++i) {
                if (exchanges->itemText(i) == exchangeName) {
                    exchanges->setCurrentIndex(i);
                }
            }
            COverseasUi::comboById(dialog, 1)->setCurrentIndex(0);
            CCalendarUi::clickButton(dialog, QStringLiteral("保存"));
        });
        QVERIFY(CCalendarUi::clickButton(page, QStringLiteral("新增")));
        QVERIFY(waitForIdleClient());
        const QStringList rows = COverseasUi::shownRows(page);
        const int row =
            rows.indexOf(QRegularExpression(QStringLiteral("^") + exchangeName + QStringLiteral("\\|.+")));
        QVERIFY2(row >= 0, qPrintable(rows.join(QLatin1Char(';'))));

        driver.arm([](QWidget* dialog) {
            CCalendarUi::clickButton(CCalendarUi::cell(dialog, QStringLiteral("2026-08-20")),
                                     QStringLiteral("+"));
            CCalendarUi::clickButton(dialog, QStringLiteral("提交保存"));
        });
        QVERIFY(COverseasUi::clickRowButton(page, row, QStringLiteral("跳转")));
        QVERIFY(waitForIdleClient());
        const QString exported =
            runCtl(database, {QStringLiteral("export"), QStringLiteral("--market"), QStringLiteral("4"),
                              QStringLiteral("--exchange"), exchangeName});
        QVERIFY2(exported.contains(QStringLiteral("2026-08-20,1")), qPrintable(exported));

        XP::CMessageBoxScript::pushAnswer(QMessageBox::Ok); // confirm the deletion
        QVERIFY(COverseasUi::clickRowButton(page, row, QStringLiteral("删除")));
        QVERIFY(waitForIdleClient());
        QVERIFY(!COverseasUi::shownRows(page).join(QLatin1Char(';')).contains(exchangeName));
        stopHost();
        QVERIFY(!runCtl(database, {QStringLiteral("list-exchanges")}).contains(exchangeName));
    }

private:
    void startHost(int page)
    {
        QString error;
        auto store = IMC::CStoreOpener::open(database, &error);
        QVERIFY2(store, qPrintable(error));
        clientCenter()->registerSystem(systemName.toStdString(), store);
        window = std::make_unique<IMC::CHostMainWindow>(QStringList{systemName});
        window->show();
        window->showPanelPage(page);
        QVERIFY(waitForIdleClient());
    }

    void stopHost()
    {
        window.reset();
        clientCenter()->resetForTests();
    }

    IMC::CSystemTradingDayWidget* calendarPage() const
    {
        for (auto* page : window->panel()->findChildren<IMC::CSystemTradingDayWidget*>()) {
            if (page->isVisible()) {
                return page;
            }
        }
        return nullptr;
    }

    QTemporaryDir storeDir;
    QString database;
    std::unique_ptr<IMC::CHostMainWindow> window;
};

QTEST_MAIN(TestHostEndToEnd)
#include "tst_hoste2e.moc"
