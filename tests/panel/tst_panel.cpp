#include "panel/CSystemTradingDayPanel.h"

#include "CHostFixture.h"
#include "TestGuards.h"

#include "services/CItsmClient.h"
#include "services/CItsmClientCenter.h"
#include "services/CMemoryTradingDayBackend.h"
#include "services/LuaModuleCtrl.h"
#include "utils/CSingletonT.h"
#include "widgets/CSmallNormalButton.h"
#include "widgets/CStandardTabControl.h"

#include <QtTest>

#include <memory>

using tds::CHostFixture;

namespace {

const QStringList all = {"mdl_tradetype", "mdl_tradetype_ggt", "mdl_tradetype_sgt",
                         "mdl_tradetype_electronic"};

void switchOn(const QStringList& modules)
{
    for (const QString& module : modules) {
        utils::CSingletonT<luawrapper::LuaModuleCtrl>::instance()->setModule(module.toStdString(), true);
    }
}

// The trade-date queries a system received, each as "market/platform".
QString queriesOf(const IMC::CMemoryTradingDayBackend& backend)
{
    QStringList received;
    for (const ttservice::CItsmQueryDataReq& query : backend.receivedQueries()) {
        received << QString::fromStdString(query.marketParam + "/" + query.platformParam);
    }
    return received.join(' ');
}

} // namespace

class TestPanel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void init()
    {
        utils::CSingletonT<luawrapper::LuaModuleCtrl>::instance()->resetForTests();
        backend = std::make_shared<IMC::CMemoryTradingDayBackend>();
        backend->seedReferenceData();
        CHostFixture::start(backend);
    }

    void cleanup()
    {
        panel.reset();
        QVERIFY(CHostFixture::finish());
    }

    void pagesFollowModuleSwitches_data()
    {
        QTest::addColumn<QStringList>("switchedOn");
        // Tab titles => tab in front after showPage(0), (1), (2), (3) => queries those pages sent
        QTest::addColumn<QString>("pages");
        const QString trade = "mdl_tradetype";
        QTest::newRow("all off") << QStringList() << "境内市场交易日 => 0 0 0 0 => 0/";
        QTest::newRow("trade type alone") << QStringList{trade} << "境内市场交易日 => 0 0 0 0 => 0/";
        QTest::newRow("southbound") << QStringList{trade, "mdl_tradetype_ggt"}
                                    << "境内市场交易日|港股通交易日 => 0 1 1 1 => 0/ 1/";
        QTest::newRow("northbound") << QStringList{trade, "mdl_tradetype_sgt"}
                                    << "境内市场交易日|港股通交易日 => 0 1 1 1 => 0/ 1/";
        QTest::newRow("southbound alone")
            << QStringList{"mdl_tradetype_ggt"} << "境内市场交易日 => 0 0 0 0 => 0/";
        QTest::newRow("northbound alone")
            << QStringList{"mdl_tradetype_sgt"} << "境内市场交易日 => 0 0 0 0 => 0/";
        QTest::newRow("electronic alone")
            << QStringList{"mdl_tradetype_electronic"} << "境内市场交易日 => 0 0 0 0 => 0/";
        QTest::newRow("electronic brings overseas")
            << QStringList{trade, "mdl_tradetype_electronic"}
            << "境内市场交易日|电子盘交易日|境外交易日  => 0 0 1 2 => 0/ 3/14";
        QTest::newRow("everything")
            << all << "境内市场交易日|港股通交易日|电子盘交易日|境外交易日  => 0 1 2 3 => 0/ 1/ 3/14";
    }
    void pagesFollowModuleSwitches()
    {
        QFETCH(QStringList, switchedOn);
        QFETCH(QString, pages);
        switchOn(switchedOn);
        makePanel();
        QStringList titles;
        for (int i = 0; i < tabControl()->tabCount(); ++i) {
            titles << tabControl()->tabTitle(i);
        }
        QStringList inFront;
        for (int page = 0; page < 4; ++page) {
            panel->showPage(page);
            inFront << QString::number(tabControl()->currentIndex());
        }
        QVERIFY(CHostFixture::waitForAnswers());
        QCOMPARE(titles.join('|') + " => " + inFront.join(' ') + " => " + queriesOf(*backend), pages);
    }

    void systemSwitchReachesTheDomesticAndHkConnectPages()
    {
        switchOn(all);
        auto other = std::make_shared<IMC::CMemoryTradingDayBackend>();
        CHostFixture::center()->registerSystem("备系统", other);
        const auto otherClient = CHostFixture::center()->getClientByName("备系统");
        makePanel();
        panel->switchSystem(1, QStringLiteral("备系统"));
        QVERIFY(otherClient->waitUntilIdle(5000));
        QCOMPARE(queriesOf(*other), QString()); // pages query on their first activation
        for (int page = 0; page < 3; ++page) {
            panel->showPage(page);
        }
        QVERIFY(otherClient->waitUntilIdle(5000) && CHostFixture::waitForAnswers());
        QCOMPARE(queriesOf(*other) + " | " + queriesOf(*backend), QStringLiteral("0/ 1/ | 3/14"));

        panel->showPage(1);
        panel->switchSystem(0, QString::fromStdString(CHostFixture::systemName)); // the page in front asks
        QVERIFY(otherClient->waitUntilIdle(5000) && CHostFixture::waitForAnswers());
        QCOMPARE(queriesOf(*other) + " | " + queriesOf(*backend), QStringLiteral("0/ 1/ | 3/14 1/"));
    }

    void consumesHostEvent132()
    {
        makePanel();
        XP::CBaseWidget child(QStringLiteral("child"), false, panel.get());
        QVERIFY(child.deliverEvent(132, 0, 0, QString(), nullptr));
        QVERIFY(!child.deliverEvent(131, 0, 0, QString(), nullptr)); // the panel has nobody to hand it to
    }

    // Answers to pages gone with the panel go nowhere (under AddressSanitizer: no use of a destroyed page).
    void answersAfterThePanelIsGoneGoNowhere()
    {
        switchOn(all);
        CHostFixture::client()->holdAnswers();
        makePanel();
        for (int page : {1, 2, 3, 0}) {
            panel->showPage(page);
        }
        for (auto* button : panel->findChildren<XP::CSmallNormalButton*>()) {
            if (button->text() == "提交保存" && button->isVisible()) {
                QTest::mouseClick(button, Qt::LeftButton);
            }
        }
        panel.reset();
        CHostFixture::client()->releaseAnswers();
        QVERIFY(CHostFixture::waitForAnswers());
        QCoreApplication::sendPostedEvents();
        QCOMPARE(queriesOf(*backend), QStringLiteral("1/ 3/14 0/"));
        QCOMPARE(backend->receivedOperations().size(), std::size_t(1));
        QCOMPARE(CHostFixture::center()->serverMessages().size(), 0);
    }

private:
    void makePanel()
    {
        panel = std::make_unique<IMC::CSystemTradingDayPanel>();
        panel->show();
    }

    XP::CStandardTabControl* tabControl() const { return panel->findChild<XP::CStandardTabControl*>(); }

    std::shared_ptr<IMC::CMemoryTradingDayBackend> backend;
    std::unique_ptr<IMC::CSystemTradingDayPanel> panel;
};

QTEST_MAIN(TestPanel)
#include "tst_panel.moc"
