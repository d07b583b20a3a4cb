// tradingday-ctl run as operations staff run it: the real executable on a temporary store, a SQLite file
// or, when the tests are given a PostgreSQL server (TDS_TEST_PG_ADDRESS), a database on that server.
#include "CBackendTestKit.h"
#include "CSqlTradingDayBackend.h"

#include "TestGuards.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

using Kit = tds::CBackendTestKit;

namespace {

struct CtlRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

} // namespace

class TestTradingDayCtl : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString db;

    CtlRun ctl(const QStringList& arguments)
    {
        QProcess process;
        process.setWorkingDirectory(dir->path());
        process.start(QStringLiteral(TRADINGDAY_CTL_PATH), arguments);
        CtlRun run;
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
            process.kill();
            process.waitForFinished(5000);
            return run;
        }
        run.exitCode = process.exitCode();
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

    CtlRun ctlOnStore(const QStringList& arguments) { return ctl(QStringList{"--db", db} + arguments); }

    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir->filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            QTest::qFail("cannot write the test file", __FILE__, __LINE__);
        }
        return path;
    }

    static QByteArray contentsOf(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Weekdays of thirty years from 2000 for which keep holds, written as an upload file; the dates as a set.
    QSet<QString> writeThirtyYears(const QString& name, const std::function<bool(const QDate&)>& keep)
    {
        QSet<QString> days;
        QByteArray text("日期,是否交易日");
        for (QDate day(2000, 1, 1); day.year() < 2030; day = day.addDays(1)) {
            if (day.dayOfWeek() <= 5 && keep(day)) {
                days.insert(day.toString(Qt::ISODate));
                text += "\n" + day.toString(Qt::ISODate).toUtf8() + ",1";
            }
        }
        writeFile(name, text);
        return days;
    }

    QSet<QString> exportedDays(const QString& market)
    {
        QSet<QString> days;
        const QStringList lines =
            ctlOnStore({"export", "--market", market}).out.split('\n', Qt::SkipEmptyParts);
        for (const QString& line : lines.mid(1)) {
            days.insert(line.section(QLatin1Char(','), 0, 0));
        }
        return days;
    }

    int revisionCount(int market, const std::string& platform = std::string(),
                      const std::string& exchange = {})
    {
        IMC::CSqlTradingDayBackend store(db);
        std::vector<IMC::CStoreRevision> revisions;
        const utils::TTError error = store.revisions(market, platform, exchange, revisions);
        return error.isSuccess() ? static_cast<int>(revisions.size()) : -1;
    }

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        db = Kit::freshStore(dir->path(), QStringLiteral("tds_ctl"));
        const CtlRun created = ctlOnStore({"init"});
        QCOMPARE(created.exitCode, 0);
        QVERIFY(created.out.contains(db));
    }

    void cleanup() { dir.reset(); }

    void helpNamesCommandsAndExitCodes()
    {
        const CtlRun run = ctl({"--help"});
        QCOMPARE(run.exitCode, 0);
        for (const QString word :
             {"init", "export", "import", "list-exchanges", "history", "restore", "grant", "revoke", "rights",
              "10615", "退出码", "sqlite:///", "postgresql://"}) {
            QVERIFY2(run.out.contains(word), qPrintable(word));
        }
    }

    void wrongUsageIsRefused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expectedText");
        QTest::newRow("nothing") << QStringList() << "缺少命令";
        QTest::newRow("no store") << QStringList{"export", "--market", "0"} << "缺少 --db";
        QTest::newRow("unknown command") << QStringList{"--db", "@", "drop"} << "未知命令: drop";
        QTest::newRow("unknown option")
            << QStringList{"--db", "@", "--force", "list-exchanges"} << "未知选项: force";
        QTest::newRow("option without value") << QStringList{"--db", "@", "export", "--market"} << "参数错误";
        QTest::newRow("no market") << QStringList{"--db", "@", "export"} << "需要 --market";
        QTest::newRow("bad market") << QStringList{"--db", "@", "export", "--market", "9"}
                                    << "市场类型必须是 0 到 4";
        QTest::newRow("bad platform")
            << QStringList{"--db", "@", "export", "--market", "3", "--platform", "16"}
            << "电子盘市场需要平台参数 14 或 15";
        QTest::newRow("overseas without exchange")
            << QStringList{"--db", "@", "history", "--market", "4"} << "需要 --exchange";
        QTest::newRow("exchange on a domestic market")
            << QStringList{"--db", "@", "history", "--market", "0", "--exchange", "CME"} << "只用于境外市场";
        QTest::newRow("option of another command")
            << QStringList{"--db", "@", "list-exchanges", "--revision", "1"} << "不接受选项 --revision";
        QTest::newRow("import without file")
            << QStringList{"--db", "@", "import", "--market", "0"} << "缺少文件参数";
        QTest::newRow("extra argument")
            << QStringList{"--db", "@", "history", "--market", "0", "more"} << "多余的参数";
        QTest::newRow("revision not a number")
            << QStringList{"--db", "@", "restore", "--revision", "abc"} << "正整数";
        QTest::newRow("restore without revision") << QStringList{"--db", "@", "restore"} << "缺少 --revision";
        QTest::newRow("grant without user")
            << QStringList{"--db", "@", "grant", "--right", "10615"} << "需要 --user";
        QTest::newRow("grant without right")
            << QStringList{"--db", "@", "grant", "--user", "bob"} << "需要 --right";
        QTest::newRow("right not a number")
            << QStringList{"--db", "@", "revoke", "--user", "bob", "--right", "x1"} << "权限编号必须是正整数";
        QTest::newRow("rights without user") << QStringList{"--db", "@", "rights"} << "需要 --user";
        QTest::newRow("rights with a right")
            << QStringList{"--db", "@", "rights", "--user", "bob", "--right", "1"} << "不接受选项 --right";
    }
    void wrongUsageIsRefused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, expectedText);
        arguments.replaceInStrings(QStringLiteral("@"), db);
        const QByteArray before = contentsOf(db);
        const CtlRun run = ctl(arguments);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(expectedText), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
        QCOMPARE(contentsOf(db), before);
    }

    void rightsAreGrantedListedAndRevoked()
    {
        // No maintainer yet: everyone holds the maintenance right.
        CtlRun run = ctlOnStore({"rights", "--user", "bob"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QStringLiteral("10615\n"));

        run = ctlOnStore({"grant", "--user", "alice", "--right", "10615"});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains(QStringLiteral("alice")), qPrintable(run.out));
        QCOMPARE(ctlOnStore({"grant", "--user", "alice", "--right", "20001"}).exitCode, 0);
        QCOMPARE(ctlOnStore({"grant", "--user", "bob", "--right", "10615"}).exitCode, 0);
        QCOMPARE(ctlOnStore({"rights", "--user", "alice"}).out, QStringLiteral("10615\n20001\n"));
        QCOMPARE(ctlOnStore({"rights", "--user", "carol"}).out, QString());

        // The store answers the same to the host.
        {
            IMC::CSqlTradingDayBackend store(db);
            QSet<int> rights;
            QVERIFY(store.rightsOf("alice", rights).isSuccess());
            QCOMPARE(rights, (QSet<int>{10615, 20001}));
        }

        run = ctlOnStore({"revoke", "--user", "bob", "--right", "10615"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(ctlOnStore({"rights", "--user", "bob"}).out, QString());
        QCOMPARE(ctlOnStore({"rights", "--user", "alice"}).out, QStringLiteral("10615\n20001\n"));
    }

    void importAndRestoreNeedTheMaintenanceRight()
    {
        const QString file = writeFile(QStringLiteral("days.csv"), "日期,是否交易日\n2026-08-03,1");
        QCOMPARE(ctlOnStore({"--operator", "alice", "import", "--market", "0", file}).exitCode, 0);
        QCOMPARE(ctlOnStore({"grant", "--user", "alice", "--right", "10615"}).exitCode, 0);
        const QString other = writeFile(QStringLiteral("other.csv"), "日期,是否交易日\n2026-09-01,1");

        CtlRun run = ctlOnStore({"--operator", "bob", "import", "--market", "0", other});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("操作员 bob 没有交易日维护权限(10615)")),
                 qPrintable(run.err));
        run = ctlOnStore({"--operator", "bob", "restore", "--revision", "1"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("操作员 bob 没有交易日维护权限(10615)")),
                 qPrintable(run.err));
        QCOMPARE(ctlOnStore({"export", "--market", "0"}).out,
                 QStringLiteral("日期,是否交易日\n2026-08-03,1"));
        QCOMPARE(revisionCount(0), 1);

        QCOMPARE(ctlOnStore({"--operator", "alice", "import", "--market", "0", other}).exitCode, 0);
        QCOMPARE(ctlOnStore({"export", "--market", "0"}).out,
                 QStringLiteral("日期,是否交易日\n2026-09-01,1"));
    }

    void aMissingStoreIsNotCreated()
    {
        const QString missing = dir->filePath(QStringLiteral("typo.db"));
        const CtlRun run = ctl({"--db", missing, "export", "--market", "0"});
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(QStringLiteral("不存在")), qPrintable(run.err));
        QVERIFY(!QFile::exists(missing));
    }

    void aFileThatIsNotAStoreIsLeftAlone()
    {
        const QString notStore =
            writeFile(QStringLiteral("notes.db"), QByteArray("日期,是否交易日\n").repeated(100));
        const CtlRun run = ctl({"--db", notStore, "list-exchanges"});
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(QStringLiteral("不是交易日数据库")), qPrintable(run.err));
        QCOMPARE(contentsOf(notStore), QByteArray("日期,是否交易日\n").repeated(100));
    }

    void importedFileIsExportedInTheUploadFormat()
    {
        const QString file =
            writeFile(QStringLiteral("days.csv"),
                      "日期,是否交易日\n2026-08-04,1\n2026-08-03,1\n2026-08-05,0\n2026-08-06,1\n"
                      "2026-08-04,1");
        const CtlRun imported = ctlOnStore({"--operator", "张三", "import", "--market", "1", file});
        QCOMPARE(imported.exitCode, 0);
        QVERIFY2(imported.out.contains(QStringLiteral("已导入 3 个交易日")), qPrintable(imported.out));

        const CtlRun exported = ctlOnStore({"export", "--market", "1"});
        QCOMPARE(exported.exitCode, 0);
        QCOMPARE(exported.out, QStringLiteral("日期,是否交易日\n2026-08-03,1\n2026-08-04,1\n2026-08-06,1"));
        // Written the way the upload makes records: day session only.
        IMC::CSqlTradingDayBackend store(db);
        QCOMPARE(Kit::describe(Kit::marketDays(store, "1")),
                 QStringList({"2026-08-03=1", "2026-08-04=1", "2026-08-06=1"}));
        QVERIFY(Kit::marketDays(store, "0").empty());

        // The export reads back as the same set.
        const QString again = writeFile(QStringLiteral("again.csv"), exported.out.toUtf8());
        QCOMPARE(ctlOnStore({"import", "--market", "2", again}).exitCode, 0);
        QCOMPARE(ctlOnStore({"export", "--market", "2"}).out, exported.out);
    }

    void importReplacesTheWholeSetOfOnePlatform()
    {
        const QString first =
            writeFile(QStringLiteral("a.csv"), "日期,是否交易日\n2026-08-03,1\n2026-08-04,1");
        const QString second = writeFile(QStringLiteral("b.csv"), "日期,是否交易日\n2026-09-01,1");
        QCOMPARE(ctlOnStore({"import", "--market", "3", "--platform", "14", first}).exitCode, 0);
        QCOMPARE(ctlOnStore({"import", "--market", "3", "--platform", "15", first}).exitCode, 0);
        QCOMPARE(ctlOnStore({"import", "--market", "3", "--platform", "14", second}).exitCode, 0);
        QCOMPARE(ctlOnStore({"export", "--market", "3", "--platform", "14"}).out,
                 QStringLiteral("日期,是否交易日\n2026-09-01,1"));
        QCOMPARE(ctlOnStore({"export", "--market", "3", "--platform", "15"}).out,
                 QStringLiteral("日期,是否交易日\n2026-08-03,1\n2026-08-04,1"));
    }

    void importReadsWorkbooksLikeTheUpload()
    {
        const QString workbook = dir->filePath(QStringLiteral("days.xlsx"));
        QProcess python;
        python.start(
            QStringLiteral("/usr/bin/python3"),
            {"-c",
             "import openpyxl, sys\n"
             "book = openpyxl.Workbook()\n"
             "sheet = book.active\n"
             "for row in [('日期', '是否交易日'), ('2026-08-03', 1), ('2026-08-04', 0), ('2026-08-05', 1)]:\n"
             "    sheet.append(row)\n"
             "book.save(sys.argv[1])\n",
             workbook});
        QVERIFY(python.waitForFinished(60000));
        QVERIFY2(python.exitCode() == 0, python.readAllStandardError().constData());

        const CtlRun imported = ctlOnStore({"import", "--market", "0", workbook});
        QCOMPARE(imported.exitCode, 0);
        QCOMPARE(ctlOnStore({"export", "--market", "0"}).out,
                 QStringLiteral("日期,是否交易日\n2026-08-03,1\n2026-08-05,1"));
    }

    void badImportFilesChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expectedText");
        QTest::newRow("three fields")
            << QByteArray("日期,是否交易日\n2026-09-01,1\n2026-09-02,1,x\n") << "第 3 行文件格式错误";
        QTest::newRow("final line break")
            << QByteArray("日期,是否交易日\n2026-09-01,1\n") << "第 3 行文件格式错误";
        QTest::newRow("no file") << QByteArray() << "文件打开失败";
    }
    void badImportFilesChangeNothing()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expectedText);
        const QString good = writeFile(QStringLiteral("good.csv"), "日期,是否交易日\n2026-08-03,1");
        QCOMPARE(ctlOnStore({"import", "--market", "0", good}).exitCode, 0);
        const QString bad = content.isEmpty() ? dir->filePath(QStringLiteral("missing.csv"))
                                              : writeFile(QStringLiteral("bad.csv"), content);

        const CtlRun run = ctlOnStore({"import", "--market", "0", bad});
        QCOMPARE(run.exitCode, 3);
        QVERIFY2(run.err.contains(expectedText), qPrintable(run.err));
        QCOMPARE(ctlOnStore({"export", "--market", "0"}).out,
                 QStringLiteral("日期,是否交易日\n2026-08-03,1"));
        QCOMPARE(revisionCount(0), 1);
    }

    void exchangesAreListedExportedAndImported()
    {
        {
            IMC::CSqlTradingDayBackend store(db);
            QVERIFY(Kit::operate(
                        store, 1,
                        Kit::makeExchange("伦敦金属交易所", "LME", 2, Kit::makeDays({"2026-08-03"}, 1)), "WP")
                        .isSuccess());
            QVERIFY(Kit::operate(store, 1, Kit::makeExchange("大阪交易所", "OSE", 42, {}), "WP").isSuccess());
        }
        const CtlRun listed = ctlOnStore({"list-exchanges"});
        QCOMPARE(listed.exitCode, 0);
        QCOMPARE(listed.out,
                 QStringLiteral("伦敦金属交易所\tLME\t2\t有色金属赛道\t1\n大阪交易所\tOSE\t42\t\t0\n"));

        const QString file =
            writeFile(QStringLiteral("ose.csv"), "日期,是否交易日\n2026-08-10,1\n2026-08-11,1");
        QCOMPARE(ctlOnStore({"import", "--market", "4", "--exchange", "大阪交易所", file}).exitCode, 0);
        QCOMPARE(ctlOnStore({"export", "--market", "4", "--exchange", "大阪交易所"}).out,
                 QStringLiteral("日期,是否交易日\n2026-08-10,1\n2026-08-11,1"));
        QCOMPARE(ctlOnStore({"list-exchanges"}).out,
                 QStringLiteral("伦敦金属交易所\tLME\t2\t有色金属赛道\t1\n大阪交易所\tOSE\t42\t\t2\n"));

        const CtlRun unknown = ctlOnStore({"import", "--market", "4", "--exchange", "纳斯达克", file});
        QCOMPARE(unknown.exitCode, 4);
        QVERIFY2(unknown.err.contains(QStringLiteral("交易所 纳斯达克 不存在")), qPrintable(unknown.err));
        QCOMPARE(ctlOnStore({"export", "--market", "4", "--exchange", "纳斯达克"}).exitCode, 4);
    }

    void historyAndRestore()
    {
        const QString first =
            writeFile(QStringLiteral("a.csv"), "日期,是否交易日\n2026-08-03,1\n2026-08-04,1");
        const QString second = writeFile(QStringLiteral("b.csv"), "日期,是否交易日\n2026-09-01,1");
        QCOMPARE(ctlOnStore({"--operator", "张三", "import", "--market", "0", first}).exitCode, 0);
        QCOMPARE(ctlOnStore({"--operator", "李四", "import", "--market", "0", second}).exitCode, 0);

        CtlRun history = ctlOnStore({"history", "--market", "0"});
        QCOMPARE(history.exitCode, 0);
        QStringList lines = history.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        const QStringList firstFields = lines[0].split(QLatin1Char('\t'));
        QCOMPARE(firstFields.size(), 5);
        QVERIFY(QDateTime::fromString(firstFields[1], QStringLiteral("yyyy-MM-dd HH:mm:ss")).isValid());
        QCOMPARE(QStringList({firstFields[2], firstFields[3], firstFields[4]}),
                 QStringList({"张三", "保存", "2"}));
        QVERIFY(lines[1].endsWith(QStringLiteral("\t李四\t保存\t1")));

        const CtlRun restored = ctlOnStore({"--operator", "王五", "restore", "--revision", firstFields[0]});
        QCOMPARE(restored.exitCode, 0);
        QCOMPARE(ctlOnStore({"export", "--market", "0"}).out,
                 QStringLiteral("日期,是否交易日\n2026-08-03,1\n2026-08-04,1"));
        history = ctlOnStore({"history", "--market", "0"});
        lines = history.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QVERIFY2(lines[2].endsWith(QStringLiteral("\t王五\t保存(恢复修订 %1)\t2").arg(firstFields[0])),
                 qPrintable(lines[2]));

        const CtlRun missing = ctlOnStore({"restore", "--revision", "999"});
        QCOMPARE(missing.exitCode, 4);
        QVERIFY2(missing.err.contains(QStringLiteral("修订 999 不存在")), qPrintable(missing.err));
        QCOMPARE(revisionCount(0), 3);
    }

    void anImportKilledMidwayLeavesTheOldOrTheNewMap()
    {
        const QSet<QString> oldDays =
            writeThirtyYears(QStringLiteral("old.csv"), [](const QDate&) { return true; });
        const QSet<QString> newDays = writeThirtyYears(QStringLiteral("new.csv"),
                                                       [](const QDate& day) { return day.dayOfWeek() != 3; });
        QCOMPARE(ctlOnStore({"import", "--market", "0", dir->filePath(QStringLiteral("old.csv"))}).exitCode,
                 0);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(ctlOnStore({"import", "--market", "0", dir->filePath(QStringLiteral("new.csv"))}).exitCode,
                 0);
        const int importMs = qMax(20, static_cast<int>(timer.elapsed()));
        QCOMPARE(exportedDays(QStringLiteral("0")), newDays);

        // Fixed seed: the same kill points on every run, spread over the whole import.
        QRandomGenerator random(20261206);
        for (int round = 0; round < 5; ++round) {
            const bool towardsOld = exportedDays(QStringLiteral("0")) == newDays;
            QProcess import;
            import.start(QStringLiteral(TRADINGDAY_CTL_PATH),
                         {"--db", db, "import", "--market", "0",
                          dir->filePath(towardsOld ? QStringLiteral("old.csv") : QStringLiteral("new.csv"))});
            QVERIFY(import.waitForStarted());
            QTimer::singleShot(static_cast<int>(random.bounded(importMs)), &import, &QProcess::kill);
            QVERIFY(import.waitForFinished(60000));
            const QSet<QString> now = exportedDays(QStringLiteral("0"));
            QVERIFY2(
                now == oldDays || now == newDays,
                qPrintable(QStringLiteral("round %1: a mix of %2 days was left").arg(round).arg(now.size())));
        }
        // Nothing the killed imports held is left to block the next one.
        QCOMPARE(ctlOnStore({"import", "--market", "0", dir->filePath(QStringLiteral("old.csv"))}).exitCode,
                 0);
        QCOMPARE(exportedDays(QStringLiteral("0")), oldDays);
    }

    void exportToFile()
    {
        const QString file = writeFile(QStringLiteral("a.csv"), "日期,是否交易日\n2026-08-03,1");
        QCOMPARE(ctlOnStore({"import", "--market", "0", file}).exitCode, 0);
        const QString target = dir->filePath(QStringLiteral("out.csv"));
        QCOMPARE(ctlOnStore({"export", "--market", "0", "--output", target}).exitCode, 0);
        QCOMPARE(contentsOf(target), QByteArray("日期,是否交易日\n2026-08-03,1"));

        const CtlRun unwritable = ctlOnStore(
            {"export", "--market", "0", "--output", dir->filePath(QStringLiteral("no/such/dir.csv"))});
        QCOMPARE(unwritable.exitCode, 3);
        QVERIFY2(unwritable.err.contains(QStringLiteral("无法写入文件")), qPrintable(unwritable.err));
    }
};

QTEST_GUILESS_MAIN(TestTradingDayCtl)
#include "tst_tradingdayctl.moc"
