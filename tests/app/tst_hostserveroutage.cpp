#include "calendar/CCalenderCellWidget.h"
#include "calendar/CSystemTradingDayWidget.h"

#include "services/CItsmClientCenter.h"
#include "services/CUserManager.h"
#include "services/LuaModuleCtrl.h"
#include "utils/CSingletonT.h"
#include "widgets/CMessageBoxScript.h"

#include "CCalendarUi.h"
#include "CHostUnderTest.h"
#include "CTestServer.h"
#include "TestGuards.h"

#include <QDate>
#include <QtTest>

using tds::CCalendarUi;
using tds::CHostUnderTest;

namespace {

QString lastServerMessage()
{
    const auto messages = CHostUnderTest::clientCenter()->serverMessages();
    return messages.isEmpty() ? QString() : messages.last().text;
}

} // namespace

// The desktop host on a PostgreSQL server that goes away and comes back while the host keeps running:
// the calendar page reports the failed submission in the operator's words, keeps the operator's
// changes, and works again once the server is back, without a restart.
class TestHostServerOutage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Qt's complaint when a statement cannot be released on a connection the server broke off.
        tds::failOnUnexpectedWarnings({QStringLiteral("Unable to free statement")});
        address = qEnvironmentVariable("TDS_TEST_PG_ADDRESS");
        QVERIFY2(!address.isEmpty() && tds::CTestServer::isGiven(),
                 "no PostgreSQL server given: run through scripts/pgcluster run DIR");
        auto* modules = utils::CSingletonT<luawrapper::LuaModuleCtrl>::instance();
        modules->setModule("mdl_tradetype", true);
        utils::CSingletonT<IMC::CUserManager>::instance()->setRights({10615});
        XP::CMessageBoxScript::enable(true);
    }

    void cleanup()
    {
        host.stop();
        QVERIFY(tds::CTestServer::start()); // a failed test may have left it stopped
    }

    void submissionFailsWhileTheServerIsDownAndWorksOnceItIsBack()
    {
        startHost();
        IMC::CSystemTradingDayWidget* page = host.calendarPage();
        QVERIFY(page);
        // Next month: every day of it may be edited, whatever today is.
        QVERIFY(CCalendarUi::clickButton(page, QStringLiteral(">")));
        const QDate day = QDate::currentDate().addMonths(1);
        const QString dayText = QDate(day.year(), day.month(), 10).toString(QStringLiteral("yyyy-MM-dd"));
        QVERIFY(CCalendarUi::clickButton(CCalendarUi::cell(page, dayText), QStringLiteral("+")));
        const QString marked = CCalendarUi::describe(CCalendarUi::cell(page, dayText));
        QVERIFY2(marked.contains(QStringLiteral("trade")), qPrintable(marked));

        QVERIFY(tds::CTestServer::stop());
        QVERIFY(CCalendarUi::clickButton(page, QStringLiteral("提交保存")));
        QTRY_VERIFY_WITH_TIMEOUT(lastServerMessage().startsWith(QStringLiteral("交易日数据库无法连接")),
                                 30000);
        QCOMPARE(CCalendarUi::describe(CCalendarUi::cell(page, dayText)), marked);

        // A refresh that fails says nothing more and shows the last data that arrived: the empty store,
        // from the base month on.
        const int messagesBefore = CHostUnderTest::clientCenter()->serverMessages().size();
        QVERIFY(CCalendarUi::clickButton(page, QStringLiteral("重新刷新")));
        QVERIFY(CHostUnderTest::waitForIdleClient());
        QCOMPARE(CHostUnderTest::clientCenter()->serverMessages().size(), messagesBefore);
        QVERIFY(CCalendarUi::clickButton(page, QStringLiteral(">")));
        QCOMPARE(CCalendarUi::describe(CCalendarUi::cell(page, dayText)), QStringLiteral("10 +"));

        QVERIFY(tds::CTestServer::start());
        QVERIFY(CCalendarUi::clickButton(CCalendarUi::cell(page, dayText), QStringLiteral("+")));
        QVERIFY(CCalendarUi::clickButton(page, QStringLiteral("提交保存")));
        QTRY_COMPARE_WITH_TIMEOUT(lastServerMessage(), QStringLiteral("操作成功"), 30000);

        // What the page shows after a refresh now comes from the server.
        QVERIFY(CCalendarUi::clickButton(page, QStringLiteral("重新刷新")));
        QVERIFY(CHostUnderTest::waitForIdleClient());
        QVERIFY(CCalendarUi::clickButton(page, QStringLiteral(">")));
        QCOMPARE(CCalendarUi::describe(CCalendarUi::cell(page, dayText)), marked);
    }

private:
    void startHost()
    {
        QString error;
        QVERIFY2(host.start(address, 0, &error), qPrintable(error));
    }

    QString address;
    CHostUnderTest host;
};

QTEST_MAIN(TestHostServerOutage)
#include "tst_hostserveroutage.moc"
