#include "CHostMainWindow.h"

#include "calendar/CCalenderCellWidget.h"

#include "services/CItsmClientCenter.h"
#include "widgets/CMessageBoxScript.h"

#include "CCalendarUi.h"
#include "CHostFixture.h"
#include "CHostWindowStarter.h"

#include "TestGuards.h"
#include "calendar/CSystemTradingDayWidget.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using tds::CCalendarUi;
using tds::CHostFixture;
using tds::CHostWindowStarter;

// tradingday-host's window on a SQLite store file: what the operator saves is there after a restart.
class TestHostEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

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

private:
    void startHost()
    {
        window.reset();
        QString error;
        window = CHostWindowStarter::start(storeDir.filePath("tradingday.db"), &error);
        QVERIFY2(window, qPrintable(error));
    }

    QWidget* calendarPage() const { return CHostWindowStarter::calendarPage(*window); }

    QTemporaryDir storeDir;
    std::unique_ptr<IMC::CHostMainWindow> window;
};

QTEST_MAIN(TestHostEndToEnd)
#include "tst_hoste2e.moc"
