#include "TestGuards.h"

#include "utils/CSingletonT.h"
#include "utils/TTError.h"

#include <QTest>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

namespace {

class CCountedObject
{
public:
    CCountedObject() { ++constructions; }
    static std::atomic<int> constructions;
};

std::atomic<int> CCountedObject::constructions{0};

} // namespace

class TestHostUtils : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void errorOutcomes_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("success");
        QTest::newRow("failure with text") << -1 << QStringLiteral("系统 A 不存在") << false;
        QTest::newRow("failure without text") << 7 << QString() << false;
        QTest::newRow("code zero is success") << 0 << QString() << true;
    }

    void errorOutcomes()
    {
        QFETCH(int, code);
        QFETCH(QString, message);
        QFETCH(bool, success);
        const utils::TTError error(code, message.toStdString());
        QCOMPARE(error.isSuccess(), success);
        QCOMPARE(error.code(), code);
        QCOMPARE(QString::fromStdString(error.errorMsg()), message);
    }

    void defaultErrorIsSuccessWithoutText()
    {
        const utils::TTError error;
        QVERIFY(error.isSuccess());
        QVERIFY(error.errorMsg().empty());
    }

    void singletonIsCreatedOnceForConcurrentCallers()
    {
        std::vector<CCountedObject*> seen(8, nullptr);
        std::vector<std::thread> threads;
        for (std::size_t index = 0; index < seen.size(); ++index) {
            threads.emplace_back(
                [&seen, index] { seen[index] = utils::CSingletonT<CCountedObject>::instance(); });
        }
        for (std::thread& thread : threads) {
            thread.join();
        }
        QCOMPARE(std::set<CCountedObject*>(seen.begin(), seen.end()).size(), std::size_t(1));
        QCOMPARE(seen.front(), utils::CSingletonT<CCountedObject>::instance());
        QCOMPARE(CCountedObject::constructions.load(), 1);
    }
};

QTEST_GUILESS_MAIN(TestHostUtils)
#include "tst_hostutils.moc"
