#include "TestGuards.h"

#include "services/CUserManager.h"
#include "services/LuaModuleCtrl.h"

#include <QTest>

namespace {

IMC::CUserManager* users()
{
    return utils::CSingletonT<IMC::CUserManager>::instance();
}

luawrapper::LuaModuleCtrl* modules()
{
    return utils::CSingletonT<luawrapper::LuaModuleCtrl>::instance();
}

} // namespace

class TestUserModules : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void init()
    {
        users()->resetForTests();
        modules()->resetForTests();
    }

    void operatorHoldsTheMaintenanceRightByDefault()
    {
        QVERIFY(users()->checkUserAuth(10615));
        QVERIFY(!users()->checkUserAuth(10616));
        QCOMPARE(users()->rights(), QSet<int>{10615});
        QVERIFY(!users()->userName().empty());
    }

    void rightsCanBeGrantedRevokedAndReplaced()
    {
        users()->revokeRight(10615);
        QVERIFY(!users()->checkUserAuth(10615));
        users()->grantRight(20001);
        QVERIFY(users()->checkUserAuth(20001));
        users()->setRights({1, 2});
        QVERIFY(users()->checkUserAuth(1));
        QVERIFY(!users()->checkUserAuth(20001));
        users()->setUserName("李四");
        QCOMPARE(users()->userName(), std::string("李四"));

        users()->resetForTests();
        QVERIFY(users()->checkUserAuth(10615));
        QVERIFY(!users()->checkUserAuth(1));
    }

    void moduleListsAreBuiltInOrder()
    {
        const std::list<std::string> two = std::string("mdl_tradetype") << "mdl_tradetype_ggt";
        QCOMPARE(two, (std::list<std::string>{"mdl_tradetype", "mdl_tradetype_ggt"}));
        const std::list<std::string> three = std::string("a") << "b"
                                                              << "c";
        QCOMPARE(three, (std::list<std::string>{"a", "b", "c"}));
    }

    void everyListedModuleMustBeOn_data()
    {
        QTest::addColumn<QStringList>("enabled");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<bool>("on");
        QTest::newRow("all off by default") << QStringList() << QStringList{"mdl_tradetype"} << false;
        QTest::newRow("one on") << QStringList{"mdl_tradetype"} << QStringList{"mdl_tradetype"} << true;
        QTest::newRow("one of two on")
            << QStringList{"mdl_tradetype"} << QStringList{"mdl_tradetype", "mdl_tradetype_ggt"} << false;
        QTest::newRow("both on") << QStringList{"mdl_tradetype", "mdl_tradetype_ggt"}
                                 << QStringList{"mdl_tradetype_ggt", "mdl_tradetype"} << true;
        QTest::newRow("empty list") << QStringList() << QStringList() << true;
    }

    void everyListedModuleMustBeOn()
    {
        QFETCH(QStringList, enabled);
        QFETCH(QStringList, asked);
        QFETCH(bool, on);
        for (const QString& module : enabled) {
            modules()->setModule(module.toStdString(), true);
        }
        std::list<std::string> list;
        for (const QString& module : asked) {
            list.push_back(module.toStdString());
        }
        QCOMPARE(modules()->checkModule(list), on);
    }

    void modulesCanBeSwitchedOffAgain()
    {
        modules()->setModules(std::string("mdl_tradetype") << "mdl_tradetype_electronic", true);
        QVERIFY(modules()->checkModule(std::string("mdl_tradetype") << "mdl_tradetype_electronic"));
        modules()->setModule("mdl_tradetype", false);
        QVERIFY(!modules()->checkModule({"mdl_tradetype"}));
        QCOMPARE(modules()->enabledModules(), std::list<std::string>{"mdl_tradetype_electronic"});
    }
};

QTEST_GUILESS_MAIN(TestUserModules)
#include "tst_usermodules.moc"
