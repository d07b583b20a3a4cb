// Who may change trading days: the rights the store keeps and the check it makes on every save,
// delete and restore, whatever the client checked before. Runs on a SQLite file, or on a database of the
// PostgreSQL server the tests are given (TDS_TEST_PG_ADDRESS): the rules are the same on both.
#include "CBackendTestKit.h"
#include "CDaySetCodec.h"
#include "CSqlTradingDayBackend.h"
#include "CStoreException.h"
#include "CStoreSchema.h"

#include "TestGuards.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using Kit = tds::CBackendTestKit;
using IMC::CSqlTradingDayBackend;

namespace {

const int maintenance = 10615;
const int otherRight = 10001;

} // namespace

class TestStoreAccess : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString path;

    static QSet<int> rightsOf(CSqlTradingDayBackend& store, const std::string& operatorName)
    {
        QSet<int> rights;
        const utils::TTError error = store.rightsOf(operatorName, rights);
        if (!error.isSuccess()) {
            QTest::qFail(qPrintable(QString::fromStdString(error.errorMsg())), __FILE__, __LINE__);
        }
        return rights;
    }

    static int revisionCount(CSqlTradingDayBackend& store, int market, const std::string& exchange = {})
    {
        std::vector<IMC::CStoreRevision> revisions;
        const utils::TTError error = store.revisions(market, market == 4 ? "WP" : "", exchange, revisions);
        return error.isSuccess() ? static_cast<int>(revisions.size()) : -1;
    }

    // The market 0 days and the exchanges, as text, to compare before and after a refused operation.
    static QStringList snapshot(CSqlTradingDayBackend& store)
    {
        QStringList lines = Kit::describe(Kit::marketDays(store, "0"));
        for (const auto& exchange : Kit::exchanges(store)) {
            lines << QStringLiteral("%1 %2 %3: %4")
                         .arg(QString::fromStdString(exchange->exchangeName),
                              QString::fromStdString(exchange->exchangeCode))
                         .arg(exchange->trackId)
                         .arg(Kit::describe(exchange->tradeDates).join(QLatin1Char(',')));
        }
        return lines;
    }

    // Sends operation 1 or 3 as the client does: market 0 save, exchange save or exchange delete.
    static utils::TTError send(CSqlTradingDayBackend& store, const QString& kind,
                               const std::string& operatorName)
    {
        if (kind == QLatin1String("save market")) {
            return Kit::save(store, 0, "", Kit::makeDays({"2026-09-01", "2026-09-02"}, 1), operatorName);
        }
        if (kind == QLatin1String("save exchange")) {
            return Kit::operate(store, IMC::ITradingDayBackend::OperationSave,
                                Kit::makeExchange("CME", "XCME", 2, Kit::makeDays({"2026-09-07"}, 3)), "WP",
                                operatorName);
        }
        return Kit::operate(store, IMC::ITradingDayBackend::OperationDelete,
                            Kit::makeExchange("CME", "", 0, TradeDateMap()), "WP", operatorName);
    }

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        path = Kit::freshStore(dir->path(), QStringLiteral("tds_store_access"));
    }

    void cleanup() { dir.reset(); }

    void withoutAnyMaintainerEveryOperatorMayChangeDays()
    {
        CSqlTradingDayBackend store(path);
        QVERIFY(store.grantRight("carol", otherRight).isSuccess());
        QCOMPARE(rightsOf(store, "bob"), QSet<int>{maintenance});
        QCOMPARE(rightsOf(store, "carol"), (QSet<int>{maintenance, otherRight}));
        QVERIFY(send(store, "save market", "bob").isSuccess());
        QVERIFY(send(store, "save exchange", "bob").isSuccess());
        QVERIFY(send(store, "delete exchange", "carol").isSuccess());
        QCOMPARE(Kit::describe(Kit::marketDays(store, "0")), QStringList({"2026-09-01=1", "2026-09-02=1"}));
        QVERIFY(Kit::exchanges(store).empty());
        QCOMPARE(revisionCount(store, 4, "CME"), 2);
    }

    void operatorWithoutTheRightIsRefusedAndNothingChanges_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("save of a market") << "save market";
        QTest::newRow("save of an exchange") << "save exchange";
        QTest::newRow("delete of an exchange") << "delete exchange";
    }
    void operatorWithoutTheRightIsRefusedAndNothingChanges()
    {
        QFETCH(QString, kind);
        CSqlTradingDayBackend store(path);
        QVERIFY(Kit::save(store, 0, "", Kit::makeDays({"2026-08-03"}, 1), "alice").isSuccess());
        QVERIFY(Kit::operate(store, IMC::ITradingDayBackend::OperationSave,
                             Kit::makeExchange("CME", "CME", 1, Kit::makeDays({"2026-08-04"}, 1)), "WP",
                             "alice")
                    .isSuccess());
        QVERIFY(store.grantRight("alice", maintenance).isSuccess());
        QVERIFY(store.grantRight("bob", otherRight).isSuccess());
        const QStringList before = snapshot(store);

        const utils::TTError error = send(store, kind, "bob");
        QCOMPARE(error.code(), static_cast<int>(IMC::CStoreException::Forbidden));
        QCOMPARE(QString::fromStdString(error.errorMsg()),
                 QStringLiteral("操作员 bob 没有交易日维护权限(10615)"));
        QCOMPARE(snapshot(store), before);
        QCOMPARE(revisionCount(store, 0), 1);
        QCOMPARE(revisionCount(store, 4, "CME"), 1);

        // A second connection to the file sees the same refusal: the rule lives in the file.
        CSqlTradingDayBackend other(path);
        QCOMPARE(QString::fromStdString(send(other, kind, "bob").errorMsg()),
                 QStringLiteral("操作员 bob 没有交易日维护权限(10615)"));
        QCOMPARE(snapshot(other), before);
    }

    void operatorWithTheRightMayChangeDays_data()
    {
        operatorWithoutTheRightIsRefusedAndNothingChanges_data();
    }
    void operatorWithTheRightMayChangeDays()
    {
        QFETCH(QString, kind);
        CSqlTradingDayBackend store(path);
        QVERIFY(store.grantRight("alice", maintenance).isSuccess());
        QVERIFY(Kit::operate(store, IMC::ITradingDayBackend::OperationSave,
                             Kit::makeExchange("CME", "CME", 1, Kit::makeDays({"2026-08-04"}, 1)), "WP",
                             "alice")
                    .isSuccess());
        const QStringList before = snapshot(store);

        const utils::TTError error = send(store, kind, "alice");
        QVERIFY2(error.isSuccess(), error.errorMsg().c_str());
        QVERIFY(snapshot(store) != before);
        const int market = kind == QLatin1String("save market") ? 0 : 4;
        std::vector<IMC::CStoreRevision> revisions;
        QVERIFY(store.revisions(market, market == 4 ? "WP" : "", market == 4 ? "CME" : "", revisions)
                    .isSuccess());
        QVERIFY(!revisions.empty());
        QCOMPARE(revisions.back().operatorName, std::string("alice"));
    }

    void restoreNeedsTheRightToo()
    {
        CSqlTradingDayBackend store(path);
        QVERIFY(Kit::save(store, 0, "", Kit::makeDays({"2026-08-03"}, 1), "alice").isSuccess());
        QVERIFY(Kit::save(store, 0, "", Kit::makeDays({"2026-08-04"}, 1), "alice").isSuccess());
        QVERIFY(store.grantRight("alice", maintenance).isSuccess());
        std::vector<IMC::CStoreRevision> revisions;
        QVERIFY(store.revisions(0, "", "", revisions).isSuccess());
        QCOMPARE(revisions.size(), std::size_t(2));

        IMC::CStoreRevision restored;
        const utils::TTError refused = store.restoreRevision(revisions.front().id, "bob", restored);
        QCOMPARE(QString::fromStdString(refused.errorMsg()),
                 QStringLiteral("操作员 bob 没有交易日维护权限(10615)"));
        QCOMPARE(Kit::describe(Kit::marketDays(store, "0")), QStringList({"2026-08-04=1"}));
        QCOMPARE(revisionCount(store, 0), 2);

        QVERIFY(store.restoreRevision(revisions.front().id, "alice", restored).isSuccess());
        QCOMPARE(Kit::describe(Kit::marketDays(store, "0")), QStringList({"2026-08-03=1"}));
    }

    void revokeTakesEffectAtTheNextOperation()
    {
        CSqlTradingDayBackend store(path);
        QVERIFY(store.grantRight("alice", maintenance).isSuccess());
        QVERIFY(store.grantRight("bob", maintenance).isSuccess());
        QVERIFY(send(store, "save market", "bob").isSuccess());

        // Revoked through another connection, as tradingday-ctl would while the host runs.
        {
            CSqlTradingDayBackend admin(path);
            QVERIFY(admin.revokeRight("bob", maintenance).isSuccess());
        }
        QCOMPARE(rightsOf(store, "bob"), QSet<int>());
        const utils::TTError error = Kit::save(store, 0, "", Kit::makeDays({"2026-10-08"}, 1), "bob");
        QCOMPARE(QString::fromStdString(error.errorMsg()),
                 QStringLiteral("操作员 bob 没有交易日维护权限(10615)"));
        QCOMPARE(Kit::describe(Kit::marketDays(store, "0")), QStringList({"2026-09-01=1", "2026-09-02=1"}));
        QVERIFY(Kit::save(store, 0, "", Kit::makeDays({"2026-10-08"}, 1), "alice").isSuccess());

        // With the last grant of the right gone the store is back to its bootstrap rule.
        QVERIFY(store.revokeRight("alice", maintenance).isSuccess());
        QCOMPARE(rightsOf(store, "bob"), QSet<int>{maintenance});
        QVERIFY(send(store, "save market", "bob").isSuccess());
    }

    void rightsAreKeptPerOperatorAcrossReopening()
    {
        {
            CSqlTradingDayBackend store(path);
            QVERIFY(store.grantRight("alice", maintenance).isSuccess());
            QVERIFY(store.grantRight("alice", otherRight).isSuccess());
            QVERIFY(store.grantRight("alice", otherRight).isSuccess());
            QVERIFY(store.grantRight("张三", otherRight).isSuccess());
            QVERIFY(store.revokeRight("nobody", otherRight).isSuccess());
        }
        CSqlTradingDayBackend store(path);
        QCOMPARE(rightsOf(store, "alice"), (QSet<int>{maintenance, otherRight}));
        QCOMPARE(rightsOf(store, "张三"), QSet<int>{otherRight});
        QCOMPARE(rightsOf(store, "Alice"), QSet<int>());
        QSet<int> kept{42};
        QVERIFY(store.rightsOf("张三", kept).isSuccess());
        QCOMPARE(kept, (QSet<int>{42, otherRight}));
    }

    void badGrantsAreRefused_data()
    {
        QTest::addColumn<QString>("operatorName");
        QTest::addColumn<int>("right");
        QTest::addColumn<QString>("expectedText");
        QTest::newRow("no operator") << "" << maintenance << "操作员名称不能为空";
        QTest::newRow("zero right") << "alice" << 0 << "权限编号必须是正整数";
        QTest::newRow("negative right") << "alice" << -5 << "权限编号必须是正整数";
    }
    void badGrantsAreRefused()
    {
        QFETCH(QString, operatorName);
        QFETCH(int, right);
        QFETCH(QString, expectedText);
        CSqlTradingDayBackend store(path);
        for (const utils::TTError& error : {store.grantRight(operatorName.toStdString(), right),
                                            store.revokeRight(operatorName.toStdString(), right)}) {
            QCOMPARE(error.code(), static_cast<int>(IMC::CStoreException::BadRequest));
            QVERIFY2(QString::fromStdString(error.errorMsg()).contains(expectedText),
                     error.errorMsg().c_str());
        }
        QCOMPARE(rightsOf(store, "alice"), QSet<int>{maintenance});
    }

    void aVersion1StoreIsUpgradedWithItsData()
    {
        // A version-1 store as the schema's first step writes it, with days and a revision in it.
        const TradeDateMap days = Kit::makeDays({"2026-08-03", "2026-08-04"}, 1);
        {
            QSqlDatabase db = Kit::connectDirectly(path, QStringLiteral("old"));
            IMC::CStoreSchema::prepare(db, 1);
            QCOMPARE(IMC::CStoreSchema::version(db), 1);
            {
                QSqlQuery query(db);
                QVERIFY(
                    query.prepare(QStringLiteral("INSERT INTO market_day (market_type, platform, day_key, "
                                                 "session_flags, valid) VALUES (0, '', ?, 1, 1)")));
                for (const char* key : {"2026-08-03", "2026-08-04"}) {
                    query.bindValue(0, QString::fromLatin1(key));
                    QVERIFY(query.exec());
                }
                QVERIFY(query.prepare(QStringLiteral(
                    "INSERT INTO revision (market_type, platform, exchange_name, exchange_code, track_id, "
                    "operation, operator, saved_at, day_count, days) VALUES (0, '', '', '', 0, 1, ?, ?, 2, "
                    "?)")));
                query.bindValue(0, QStringLiteral("alice"));
                query.bindValue(1, QStringLiteral("2026-08-01T08:00:00.000Z"));
                query.bindValue(2, IMC::CDaySetCodec::encode(days));
                QVERIFY(query.exec());
            }
            QVERIFY(!db.tables().contains(QStringLiteral("operator_right")));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("old"));

        CSqlTradingDayBackend store(path);
        QVERIFY(store.open().isSuccess());
        QCOMPARE(Kit::describe(Kit::marketDays(store, "0")), QStringList({"2026-08-03=1", "2026-08-04=1"}));
        std::vector<IMC::CStoreRevision> revisions;
        QVERIFY(store.revisions(0, "", "", revisions).isSuccess());
        QCOMPARE(revisions.size(), std::size_t(1));
        QCOMPARE(revisions.front().operatorName, std::string("alice"));
        Kit::Records tracks;
        QVERIFY(store.queryReference(IMC::ITradingDayBackend::DataKindTracks, "14", tracks).isSuccess());
        QVERIFY(!tracks.empty());

        // Upgraded: no grants yet, so everyone may work, and rights can be granted.
        QCOMPARE(rightsOf(store, "bob"), QSet<int>{maintenance});
        QVERIFY(store.grantRight("alice", maintenance).isSuccess());
        QVERIFY(!send(store, "save market", "bob").isSuccess());
        IMC::CStoreRevision restored;
        QVERIFY(store.restoreRevision(revisions.front().id, "alice", restored).isSuccess());
        QCOMPARE(restored.dayCount, 2);

        QSqlDatabase check = Kit::connectDirectly(path, QStringLiteral("check"));
        QCOMPARE(IMC::CStoreSchema::version(check), IMC::CStoreSchema::currentVersion);
        QCOMPARE(IMC::CStoreSchema::currentVersion, 2);
        check.close();
        check = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("check"));
    }
};

QTEST_GUILESS_MAIN(TestStoreAccess)
#include "tst_storeaccess.moc"
