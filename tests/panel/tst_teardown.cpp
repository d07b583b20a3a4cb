#include "panel/CSystemTradingDayPanel.h"

#include "calendar/CSystemTradingDayWidget.h"
#include "overseas/CTradingDayDialog.h"

#include "services/CItsmClient.h"
#include "services/CItsmClientCenter.h"
#include "services/CMemoryTradingDayBackend.h"
#include "services/CUserManager.h"
#include "services/LuaModuleCtrl.h"
#include "utils/CSingletonT.h"
#include "widgets/CSmallNormalButton.h"

#include "TestGuards.h"

#include <QtTest>

#include <memory>

namespace {

IMC::CItsmClientCenter* clientCenter()
{
    return utils::CSingletonT<IMC::CItsmClientCenter>::instance();
}

void clickButton(QWidget* root, const QString& text)
{
    for (auto* button : root->findChildren<XP::CSmallNormalButton*>()) {
        if (button->text() == text) {
            QTest::mouseClick(button, Qt::LeftButton);
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no button ") + text));
}

// Lets every held answer through and gives queued GUI-thread callbacks their turn.
void deliverEverything(const boost::shared_ptr<IMC::CItsmClient>& client)
{
    client->releaseAnswers();
    QVERIFY(client->waitUntilIdle(10000));
    for (int round = 0; round < 5; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

} // namespace

// Pages and dialogs destroyed while their requests are outstanding are never called back: the answers
// that arrive afterwards, on the client's thread or queued for the GUI thread, go nowhere. Run under
// AddressSanitizer this catches any use of a destroyed receiver.
class TestTeardown : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        tds::failOnUnexpectedWarnings();
        auto* modules = utils::CSingletonT<luawrapper::LuaModuleCtrl>::instance();
        for (const char* module : {"mdl_tradetype", "mdl_tradetype_ggt", "mdl_tradetype_electronic"}) {
            modules->setModule(module, true);
        }
        utils::CSingletonT<IMC::CUserManager>::instance()->setRights({10615});
    }

    void init()
    {
        clientCenter()->resetForTests();
        backend = std::make_shared<IMC::CMemoryTradingDayBackend>();
        backend->seedReferenceData();
        clientCenter()->registerSystem("A", backend);
        client = clientCenter()->getClientByName("A");
        client->holdAnswers();
    }

    void cleanup() { clientCenter()->resetForTests(); }

    void panelDestroyedWithQueriesAndSaveOutstanding()
    {
        auto panel = std::make_unique<IMC::CSystemTradingDayPanel>();
        panel->show();
        for (int page = 0; page < 4; ++page) {
            panel->showPage(page); // each page's first activation sends its queries
        }
        panel->showPage(0);
        clickButton(panel->findChildren<IMC::CSystemTradingDayWidget*>().first(), QStringLiteral("提交保存"));
        panel.reset();

        deliverEverything(client);
        QVERIFY(!backend->receivedQueries().empty()); // the requests did go out
        QCOMPARE(backend->receivedOperations().size(), std::size_t(1));
        QVERIFY(clientCenter()->serverMessages().isEmpty()); // nobody was left to report the outcome
    }

    void dialogDestroyedWithSaveOutstanding()
    {
        auto dialog = std::make_unique<IMC::CTradingDayDialog>(nullptr);
        dialog->setExchangeInfo(TradeDateMap(), QStringLiteral("芝加哥商业交易所"), QStringLiteral("CME"), 1);
        clickButton(dialog.get(), QStringLiteral("提交保存"));
        dialog.reset();

        deliverEverything(client);
        QCOMPARE(backend->receivedOperations().size(), std::size_t(1));
        QVERIFY(clientCenter()->serverMessages().isEmpty());
    }

private:
    std::shared_ptr<IMC::CMemoryTradingDayBackend> backend;
    boost::shared_ptr<IMC::CItsmClient> client;
};

QTEST_MAIN(TestTeardown)
#include "tst_teardown.moc"
