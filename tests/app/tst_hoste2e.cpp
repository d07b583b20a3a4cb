#include "CBackendTestKit.h"
#include "CHostMainWindow.h"
#include "CSqlTradingDayBackend.h"

#include "calendar/CCalenderCellWidget.h"
#include "calendar/CSystemTradingDayWidget.h"
#include "overseas/COverSeaTradingDayWidget.h"
#include "panel/CSystemTradingDayPanel.h"
#include "services/CItsmClientCenter.h"
#include "widgets/CMessageBoxScript.h"

#include "CCalendarUi.h"
#include "CHostFixture.h"
#include "CHostWindowStarter.h"
#include "CModalDriver.h"
#include "COverseasUi.h"
#include "TestGuards.h"

#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using Kit = tds::CBackendTestKit;
using tds::CCalendarUi;
using tds::CHostFixture;
using tds::CHostWindowStarter;

namespace {

const int save = IMC::ITradingDayBackend::OperationSave;
const int deletion = IMC::ITradingDayBackend::OperationDelete;
const std::string exchangeName = "芝加哥商业交易所";

// The last outcome a page or dialog showed; announcements, shown near the main window, are left out.
QString lastOutcome(const QWidget* window)
{
    QString text;
    for (const IMC::CServerMessage& message : CHostFixture::center()->serverMessages()) {
        if (message.parent != window) {
            text = message.text;
        }
    }
    return text;
}

// The toasts that told the operator of other desks' changes.
QStringList announcements()
{
    QStringList texts;
    for (const IMC::CServerMessage& message : CHostFixture::center()->serverMessages()) {
        if (message.text.contains(QStringLiteral("交易日已被")) && message.success) {
            texts << message.text;
        }
    }
    return texts;
}

} // namespace

// tradingday-host's window on a store (SQLite, or PostgreSQL when the tests are given a server) that other
// desks share: what the operator saves is there after a restart, a save based on an older state than another
// desk's is refused, and other desks' changes are announced.
class TestHostEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void init()
    {
        storeDir = std::make_unique<QTemporaryDir>();
        address = Kit::freshStore(storeDir->path(), QStringLiteral("tds_host_e2e"));
    }

    void cleanup()
    {
        window.reset();
        QVERIFY(CHostFixture::finish());
    }

    void savedDaysAreShownAfterARestart()
    {
        startHost();
        QWidget* page = calendarPage();
        QVERIFY(CCalendarUi::clickButton(CCalendarUi::cell(page, "2026-08-20"), "+"));
        QVERIFY(CCalendarUi::clickButton(CCalendarUi::cell(page, "2026-08-21"), "+"));
        XP::CMessageBoxScript::pushAnswer(QMessageBox::Ok);
        QVERIFY(CCalendarUi::clickCheckBox(CCalendarUi::cell(page, "2026-08-21"), "夜盘"));
        QVERIFY(CCalendarUi::clickButton(page, "提交保存"));
        QVERIFY(CHostFixture::waitForAnswers());
        QCoreApplication::sendPostedEvents();
        QCOMPARE(CHostFixture::center()->serverMessages().last().text, QStringLiteral("操作成功"));

        startHost();
        QStringList shown;
        for (const char* date : {"2026-08-20", "2026-08-21", "2026-08-24"}) {
            shown << CCalendarUi::describe(CCalendarUi::cell(calendarPage(), date));
        }
        QCOMPARE(shown.join(';'), QStringLiteral("20 trade X day* night*;21 trade X day* night;24 +"));
    }

    // 乙 saves at another desk after this desk read: this desk's save is refused with who changed it when,
    // nothing changes and the operator's marks stay; read again, it goes through, and so does the next one.
    void aSaveBasedOnAnOlderStateIsRefused_data()
    {
        QTest::addColumn<bool>("overseas");
        QTest::newRow("calendar page") << false;
        QTest::newRow("overseas trading-day dialog") << true;
    }
    void aSaveBasedOnAnOlderStateIsRefused()
    {
        QFETCH(bool, overseas);
        IMC::CSqlTradingDayBackend otherDesk(address);
        if (overseas) {
            QVERIFY(Kit::operate(otherDesk, save, Kit::makeExchange(exchangeName, "CME", 1, {}), "乙")
                        .isSuccess());
        }
        startHost();
        if (overseas) {
            showOverseasPage();
        }
        const TradeDateMap days = Kit::makeDays({"2026-08-04"}, 1);
        QVERIFY((overseas
                     ? Kit::operate(otherDesk, save, Kit::makeExchange(exchangeName, "CME", 1, days), "乙")
                     : Kit::save(otherDesk, 0, "", days, "乙"))
                    .isSuccess());
        auto state = [&] { return overseas ? Kit::exchanges(otherDesk) : Kit::days(otherDesk, "0"); };
        const QStringList before = state();

        const QString shown = saveOnThisDesk(overseas, true);
        const QRegularExpressionMatch refusal =
            QRegularExpression(QStringLiteral("^交易日已被 乙 于 \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d "
                                              "修改（修订 (\\d+)），请重新刷新后再保存$"))
                .match(shown);
        QVERIFY2(refusal.hasMatch(), qPrintable(shown));
        QCOMPARE(refusal.captured(1), QString::number(overseas ? 2 : 1));
        QCOMPARE(state(), before);
        if (!overseas) {
            QCOMPARE(CCalendarUi::describe(CCalendarUi::cell(calendarPage(), "2026-08-20")),
                     QStringLiteral("20 trade X day* night*"));
            QVERIFY(CCalendarUi::clickButton(calendarPage(), QStringLiteral("重新刷新")));
            settle();
        }
        // The overseas page reads the list again once the dialog closes.
        QCOMPARE(saveOnThisDesk(overseas, true), QStringLiteral("操作成功"));
        QCOMPARE(saveOnThisDesk(overseas, false), QStringLiteral("操作成功"));
        QCOMPARE(state().join(' ').contains(QStringLiteral("2026-08-04")), true);
        QCOMPARE(state().join(' ').contains(QStringLiteral("2026-08-20")), !overseas);
    }

    // Saves, deletes and restores made elsewhere are announced while the page keeps what it shows; this
    // desk's own saves are not.
    void otherDesksChangesAreAnnounced()
    {
        startHost();
        IMC::CSqlTradingDayBackend otherDesk(address);
        QStringList expected;
        auto change = [&](const utils::TTError& error, const QString& announcement) {
            QVERIFY2(error.isSuccess(), error.errorMsg().c_str());
            expected << announcement;
            QTRY_COMPARE_WITH_TIMEOUT(announcements(), expected, 4000);
        };
        const TradeDateMap days = Kit::makeDays({"2026-08-20"}, 1);
        change(Kit::save(otherDesk, 0, "", days, "乙"),
               QStringLiteral("境内市场交易日 交易日已被 乙 修改（修订 1）"));
        change(Kit::save(otherDesk, 3, "14", days, "乙"),
               QStringLiteral("电子盘交易日 交易日已被 乙 修改（修订 2）"));
        change(Kit::operate(otherDesk, save, Kit::makeExchange(exchangeName, "CME", 1, days), "丙"),
               QStringLiteral("境外交易日 芝加哥商业交易所 交易日已被 丙 修改（修订 3）"));
        change(Kit::operate(otherDesk, deletion, Kit::makeExchange(exchangeName, "", 0, {}), "丙"),
               QStringLiteral("境外交易日 芝加哥商业交易所 交易日已被 丙 修改（修订 4）"));
        IMC::CStoreRevision restored;
        change(otherDesk.restoreRevision(3, "丁", restored),
               QStringLiteral("境外交易日 芝加哥商业交易所 交易日已被 丁 修改（修订 5）"));
        QCOMPARE(CCalendarUi::describe(CCalendarUi::cell(calendarPage(), "2026-08-20")),
                 QStringLiteral("20 +"));

        QVERIFY(CCalendarUi::clickButton(calendarPage(), QStringLiteral("重新刷新")));
        settle();
        QCOMPARE(saveOnThisDesk(false, false), QStringLiteral("操作成功"));
        expected.clear();
        change(Kit::save(otherDesk, 1, "", days, "乙"),
               QStringLiteral("港股通交易日 交易日已被 乙 修改（修订 7）"));
    }

private:
    void startHost()
    {
        window.reset();
        QString error;
        window = CHostWindowStarter::start(address, &error);
        QVERIFY2(window, qPrintable(error));
    }

    // Lets the window's requests be answered and the answers reach the pages.
    static void settle()
    {
        for (int round = 0; round < 4; ++round) {
            QVERIFY(CHostFixture::waitForAnswers());
            QCoreApplication::sendPostedEvents();
        }
    }

    void showOverseasPage()
    {
        window->showPanelPage(3);
        settle();
        QTRY_COMPARE(overseasPage()->findChild<QTableView*>()->model()->rowCount(), 1);
    }

    IMC::COverSeaTradingDayWidget* overseasPage() const
    {
        return window->panel()->findChild<IMC::COverSeaTradingDayWidget*>();
    }

    // Saves as the operator does: on the calendar page (marking 2026-08-20 first when asked), or in the
    // first exchange's trading-day dialog. The text the host showed.
    QString saveOnThisDesk(bool overseas, bool mark)
    {
        CHostFixture::center()->clearServerMessages();
        if (overseas) {
            tds::CModalDriver driver;
            driver.arm([](QWidget* dialog) { CCalendarUi::clickButton(dialog, QStringLiteral("提交保存")); });
            if (!tds::COverseasUi::clickRowButton(overseasPage(), 0, QStringLiteral("跳转"))) {
                return QStringLiteral("no row");
            }
        } else {
            if (mark && !CCalendarUi::clickButton(CCalendarUi::cell(calendarPage(), "2026-08-20"), "+")) {
                return QStringLiteral("no cell");
            }
            if (!CCalendarUi::clickButton(calendarPage(), QStringLiteral("提交保存"))) {
                return QStringLiteral("no submit");
            }
        }
        settle();
        return lastOutcome(window.get());
    }

    QWidget* calendarPage() const { return CHostWindowStarter::calendarPage(*window); }

    QString address;
    std::unique_ptr<QTemporaryDir> storeDir;
    std::unique_ptr<IMC::CHostMainWindow> window;
};

QTEST_MAIN(TestHostEndToEnd)
#include "tst_hoste2e.moc"
