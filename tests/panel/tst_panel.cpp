#include "panel/CSystemTradingDayPanel.h"

#include "services/CItsmClientCenter.h"
#include "services/CMemoryTradingDayBackend.h"
#include "services/CUserManager.h"
#include "services/LuaModuleCtrl.h"
#include "utils/CSingletonT.h"
#include "widgets/CBaseTabPage.h"
#include "widgets/CBaseWidget.h"
#include "widgets/CStandardTabControl.h"

#include "TestGuards.h"

#include <QtTest>

#include <memory>

namespace {

luawrapper::LuaModuleCtrl* modules()
{
    return utils::CSingletonT<luawrapper::LuaModuleCtrl>::instance();
}

IMC::CItsmClientCenter* clientCenter()
{
    return utils::CSingletonT<IMC::CItsmClientCenter>::instance();
}

// The host around the panel: an event-bus owner that records what reaches it.
class CRecordingHost : public XP::CBaseWidget
{
public:
    CRecordingHost()
        : XP::CBaseWidget(QStringLiteral("host"), false, nullptr)
    {}
    bool handleEvent(int type, int, int, QString, void*) override
    {
        receivedTypes << type;
        return true;
    }
    QList<int> receivedTypes;
};

// Delivers events to its owner, the panel, as any child control of the panel would.
class CPanelChild : public XP::CBaseWidget
{
public:
    explicit CPanelChild(QWidget* panel)
        : XP::CBaseWidget(QStringLiteral("child"), false, panel)
    {}
};

XP::CStandardTabControl* tabControlOf(IMC::CSystemTradingDayPanel& panel)
{
    return panel.findChild<XP::CStandardTabControl*>();
}

QStringList tabTitles(IMC::CSystemTradingDayPanel& panel)
{
    QStringList titles;
    XP::CStandardTabControl* tabs = tabControlOf(panel);
    for (int i = 0; i < tabs->tabCount(); ++i) {
        titles << tabs->getTabPage(i)->title();
    }
    return titles;
}

} // namespace

class TestPanel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void init()
    {
        modules()->resetForTests();
        clientCenter()->resetForTests();
        systemA = std::make_shared<IMC::CMemoryTradingDayBackend>();
        systemB = std::make_shared<IMC::CMemoryTradingDayBackend>();
        systemA->seedReferenceData();
        systemB->seedReferenceData();
        clientCenter()->registerSystem("A", systemA);
        clientCenter()->registerSystem("B", systemB);
    }

    void pagesFollowModuleSwitches_data()
    {
        QTest::addColumn<QStringList>("switchedOn");
        QTest::addColumn<QStringList>("titles");
        const QString domestic = QStringLiteral("境内市场交易日");
        const QString hk = QStringLiteral("港股通交易日");
        const QString electronic = QStringLiteral("电子盘交易日");
        const QString overseas = QStringLiteral("境外交易日 ");
        QTest::newRow("all off") << QStringList() << QStringList{domestic};
        QTest::newRow("trade type alone builds nothing more")
            << QStringList{"mdl_tradetype"} << QStringList{domestic};
        QTest::newRow("southbound connect")
            << QStringList{"mdl_tradetype", "mdl_tradetype_ggt"} << QStringList{domestic, hk};
        QTest::newRow("northbound connect")
            << QStringList{"mdl_tradetype", "mdl_tradetype_sgt"} << QStringList{domestic, hk};
        QTest::newRow("connect without trade type")
            << QStringList{"mdl_tradetype_ggt"} << QStringList{domestic};
        QTest::newRow("electronic brings overseas")
            << QStringList{"mdl_tradetype", "mdl_tradetype_electronic"}
            << QStringList{domestic, electronic, overseas};
        QTest::newRow("everything") << QStringList{"mdl_tradetype", "mdl_tradetype_ggt", "mdl_tradetype_sgt",
                                                   "mdl_tradetype_electronic"}
                                    << QStringList{domestic, hk, electronic, overseas};
    }
    void pagesFollowModuleSwitches()
    {
        QFETCH(QStringList, switchedOn);
        QFETCH(QStringList, titles);
        for (const QString& module : switchedOn) {
            modules()->setModule(module.toStdString(), true);
        }
        IMC::CSystemTradingDayPanel panel;
        QCOMPARE(tabTitles(panel), titles);

        // Switching modules later changes nothing: the pages are decided once.
        modules()->resetForTests();
        QCOMPARE(tabTitles(panel), titles);
    }

    void showPageMapsPageIndicesToTabPositions()
    {
        modules()->setModule("mdl_tradetype", true);
        modules()->setModule("mdl_tradetype_electronic", true);
        IMC::CSystemTradingDayPanel panel;
        XP::CStandardTabControl* tabs = tabControlOf(panel);

        panel.showPage(2);
        QCOMPARE(tabs->currentIndex(), 1);
        panel.showPage(3);
        QCOMPARE(tabs->currentIndex(), 2);
        panel.showPage(1); // the HK connect page was not built
        QCOMPARE(tabs->currentIndex(), 2);
        panel.showPage(7);
        QCOMPARE(tabs->currentIndex(), 2);
        panel.showPage(0);
        QCOMPARE(tabs->currentIndex(), 0);
    }

    void showPageWithOnlyDomesticDoesNothingElse()
    {
        IMC::CSystemTradingDayPanel panel;
        XP::CStandardTabControl* tabs = tabControlOf(panel);
        panel.showPage(0);
        for (int page : {1, 2, 3}) {
            panel.showPage(page);
            QCOMPARE(tabs->currentIndex(), 0);
        }
    }

    void paramIsNeverKept()
    {
        IMC::CSystemTradingDayPanel panel;
        panel.setParam(QStringLiteral("page=3;system=A"));
        QCOMPARE(panel.param(), QString());
    }

    void systemSwitchReachesInactivePageOnItsFirstActivation()
    {
        IMC::CSystemTradingDayPanel panel;
        panel.switchSystem(1, QStringLiteral("B"));
        QVERIFY(clientCenter()->getClientByName("B")->waitUntilIdle(5000));
        QCOMPARE(systemB->receivedQueries().size(), std::size_t(0)); // inactive: no query yet

        panel.showPage(0); // first activation queries the system it was given
        QTRY_COMPARE_WITH_TIMEOUT(systemB->receivedQueries().size(), std::size_t(1), 5000);
        QCOMPARE(systemB->receivedQueries().front().marketParam, std::string("0"));
        QCOMPARE(systemA->receivedQueries().size(), std::size_t(0));

        // Active now: a switch queries the new system at once.
        panel.switchSystem(0, QStringLiteral("A"));
        QTRY_COMPARE_WITH_TIMEOUT(systemA->receivedQueries().size(), std::size_t(1), 5000);
    }

    void hostEvent132IsConsumedOthersGoUp()
    {
        CRecordingHost host;
        auto* panel = new IMC::CSystemTradingDayPanel(&host);
        auto* child = new CPanelChild(panel);
        QVERIFY(child->deliverEvent(132, 0, 0, QString(), nullptr));
        QVERIFY(host.receivedTypes.isEmpty());
        child->deliverEvent(4711, 0, 0, QString(), nullptr);
        QCOMPARE(host.receivedTypes, QList<int>{4711});
    }

private:
    std::shared_ptr<IMC::CMemoryTradingDayBackend> systemA;
    std::shared_ptr<IMC::CMemoryTradingDayBackend> systemB;
};

QTEST_MAIN(TestPanel)
#include "tst_panel.moc"
