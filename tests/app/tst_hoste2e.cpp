#include "CHostMainWindow.h"

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
#include "CHostUnderTest.h"
#include "CModalDriver.h"
#include "COverseasUi.h"
#include "TestGuards.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using tds::CCalendarUi;
using tds::CHostUnderTest;
using tds::COverseasUi;

namespace {

const QString exchangeName = QStringLiteral("芝加哥商业交易所");

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

    void cleanup() { host.stop(); }

    void domesticDaysSurviveARestart()
    {
        startHost(0);
        IMC::CSystemTradingDayWidget* page = host.calendarPage();
        QCOMPARE(CCalendarUi::monthLabel(page), QStringLiteral("2026年8月"));

        QVERIFY(CCalendarUi::clickButton(CCalendarUi::cell(page, QStringLiteral("2026-08-20")),
                                         QStringLiteral("+")));
        QVERIFY(CCalendarUi::clickButton(CCalendarUi::cell(page, QStringLiteral("2026-08-21")),
                                         QStringLiteral("+")));
        QVERIFY(CCalendarUi::clickCheckBox(CCalendarUi::cell(page, QStringLiteral("2026-08-21")),
                                           QStringLiteral("夜盘")));
        XP::CMessageBoxScript::pushAnswer(QMessageBox::Ok); // confirm switching the night session off
        QVERIFY(CCalendarUi::clickButton(page, QStringLiteral("提交保存")));
        QTRY_VERIFY_WITH_TIMEOUT(!CHostUnderTest::clientCenter()->serverMessages().isEmpty(), 10000);
        QCOMPARE(CHostUnderTest::clientCenter()->serverMessages().last().text, QStringLiteral("操作成功"));
        host.stop();

        const QString exported =
            runCtl(database, {QStringLiteral("export"), QStringLiteral("--market"), QStringLiteral("0")});
        QVERIFY2(exported.contains(QStringLiteral("2026-08-20,1")), qPrintable(exported));
        QVERIFY2(exported.contains(QStringLiteral("2026-08-21,1")), qPrintable(exported));

        startHost(0);
        page = host.calendarPage();
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
        QWidget* page = host.window()->panel()->findChild<IMC::COverSeaTradingDayWidget*>();
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
        QVERIFY(CHostUnderTest::waitForIdleClient());
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
        QVERIFY(CHostUnderTest::waitForIdleClient());
        const QString exported =
            runCtl(database, {QStringLiteral("export"), QStringLiteral("--market"), QStringLiteral("4"),
                              QStringLiteral("--exchange"), exchangeName});
        QVERIFY2(exported.contains(QStringLiteral("2026-08-20,1")), qPrintable(exported));

        XP::CMessageBoxScript::pushAnswer(QMessageBox::Ok); // confirm the deletion
        QVERIFY(COverseasUi::clickRowButton(page, row, QStringLiteral("删除")));
        QVERIFY(CHostUnderTest::waitForIdleClient());
        QVERIFY(!COverseasUi::shownRows(page).join(QLatin1Char(';')).contains(exchangeName));
        host.stop();
        QVERIFY(!runCtl(database, {QStringLiteral("list-exchanges")}).contains(exchangeName));
    }

private:
    void startHost(int page)
    {
        QString error;
        QVERIFY2(host.start(database, page, &error), qPrintable(error));
    }

    QTemporaryDir storeDir;
    QString database;
    CHostUnderTest host;
};

QTEST_MAIN(TestHostEndToEnd)
#include "tst_hoste2e.moc"
