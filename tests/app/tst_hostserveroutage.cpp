#include "CHostMainWindow.h"

#include "calendar/CCalenderCellWidget.h"

#include "services/CItsmClientCenter.h"

#include "CCalendarUi.h"
#include "CHostFixture.h"
#include "CHostWindowStarter.h"

#include "CTestServer.h"
#include "TestGuards.h"
#include "calendar/CSystemTradingDayWidget.h"

#include <QDate>
#include <QtTest>

#include <memory>

using tds::CCalendarUi;
using tds::CHostFixture;
using tds::CHostWindowStarter;

// tradingday-host on a PostgreSQL server that goes away and comes back while the host keeps running: the
// calendar page reports the failed save in the operator's words, keeps the operator's changes and saves
// them once the server is back, without a restart.
class TestHostServerOutage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Qt's complaints when a statement cannot be released on a connection the server broke off, and when
        // the connection that listens for other desks' changes loses its socket.
        tds::failOnUnexpectedWarnings(
            {QStringLiteral("Unable to free statement"), QStringLiteral("QSocketNotifier: Invalid socket")});
        QVERIFY2(tds::CTestServer::isGiven(),
                 "no PostgreSQL server given: run through scripts/pgcluster run DIR");
    }

    void cleanup()
    {
        window.reset();
        QVERIFY(CHostFixture::finish());
        QVERIFY(tds::CTestServer::start()); // a failed test may have left it stopped
    }

    void failedSaveIsReportedAndSucceedsOnceTheServerIsBack()
    {
        QString error;
        window = CHostWindowStarter::start(qEnvironmentVariable("TDS_TEST_PG_ADDRESS"), &error);
        QVERIFY2(window, qPrintable(error));
        QWidget* page = CHostWindowStarter::calendarPage(*window);

        // Next month's weekdays, every one of them editable whatever today is.
        QVERIFY(CCalendarUi::clickButton(page, ">"));
        QVERIFY(CCalendarUi::clickButton(page, "设置默认交易日"));
        const QDate today = QDate::currentDate();
        const QDate first = QDate(today.year(), today.month(), 1).addMonths(1);
        const QString monday = first.addDays((8 - first.dayOfWeek()) % 7).toString("yyyy-MM-dd");
        const QString marked = CCalendarUi::describe(CCalendarUi::cell(page, monday));
        QVERIFY2(marked.endsWith("trade X day* night*"), qPrintable(marked));

        QVERIFY(tds::CTestServer::stop());
        QVERIFY(CCalendarUi::clickButton(page, "提交保存"));
        QTRY_COMPARE_WITH_TIMEOUT(CHostFixture::center()->serverMessages().size(), 1, 30000);
        QVERIFY(CHostFixture::center()->serverMessages().last().text.startsWith("交易日数据库无法连接"));
        QVERIFY(tds::CTestServer::start());
        QVERIFY(CCalendarUi::clickButton(page, "提交保存"));
        QTRY_COMPARE_WITH_TIMEOUT(CHostFixture::center()->serverMessages().size(), 2, 30000);
        QCOMPARE(CHostFixture::center()->serverMessages().last().text, QStringLiteral("操作成功"));

        QVERIFY(CCalendarUi::clickButton(page, "重新刷新"));
        QVERIFY(CHostFixture::waitForAnswers());
        QCoreApplication::sendPostedEvents();
        QVERIFY(CCalendarUi::clickButton(page, ">"));
        QCOMPARE(CCalendarUi::describe(CCalendarUi::cell(page, monday)), marked);
    }

private:
    std::unique_ptr<IMC::CHostMainWindow> window;
};

QTEST_MAIN(TestHostServerOutage)
#include "tst_hostserveroutage.moc"
