// tradingday-ctl as operations staff run it: the real executable on a store with some history, a SQLite
// file or, when the tests are given a PostgreSQL server (TDS_TEST_PG_ADDRESS), a database on that server.
#include "CBackendTestKit.h"
#include "CSqlTradingDayBackend.h"

#include "TestGuards.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

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

    // Arguments as written in a test, "@db" standing for the store's address, "@/" for the test's folder and
    // "~" for a blank inside an argument.
    QStringList resolved(QStringList arguments) const
    {
        arguments.replaceInStrings(QStringLiteral("~"), QStringLiteral(" "));
        arguments.replaceInStrings(QStringLiteral("@db"), db);
        return arguments.replaceInStrings(QStringLiteral("@/"), dir->path() + QLatin1Char('/'));
    }

    // Runs a command on the store: "--db @db" and the words of command.
    CtlRun ctl(const QString& command)
    {
        QProcess process;
        process.start(QStringLiteral(TRADINGDAY_CTL_PATH),
                      resolved(("--db @db " + command).split(' ', Qt::SkipEmptyParts)));
        CtlRun run;
        if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit) {
            run.exitCode = process.exitCode();
            run.out = QString::fromUtf8(process.readAllStandardOutput());
            run.err = QString::fromUtf8(process.readAllStandardError());
        }
        return run;
    }

    void writeFile(const QString& name, const QByteArray& bytes)
    {
        QFile file(dir->filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }

    // Weekdays of thirty years from 2000 but skippedWeekday, as an upload file; its lines as a set.
    QSet<QString> writeThirtyYears(const QString& name, int skippedWeekday)
    {
        QStringList lines;
        for (QDate day(2000, 1, 1); day.year() < 2030; day = day.addDays(1)) {
            if (day.dayOfWeek() <= 5 && day.dayOfWeek() != skippedWeekday) {
                lines << day.toString(Qt::ISODate) + QStringLiteral(",1");
            }
        }
        writeFile(name, (QStringLiteral("日期,是否交易日\n") + lines.join(QLatin1Char('\n'))).toUtf8());
        return QSet<QString>(lines.begin(), lines.end());
    }

    QSet<QString> exportedDays()
    {
        const QStringList lines = ctl(QStringLiteral("export --market 0")).out.split('\n');
        return QSet<QString>(lines.begin() + 1, lines.end());
    }

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    // A store with revisions 1 to 7 and a maintainer, and the files the commands read.
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        db = Kit::freshStore(dir->path(), QStringLiteral("tds_ctl"));
        QCOMPARE(ctl(QStringLiteral("init")).exitCode, 0);
        IMC::CSqlTradingDayBackend store(db);
        auto save = [&](int market, const char* platform, const QStringList& dates,
                        const char* operatorName) {
            QVERIFY(Kit::save(store, market, platform, Kit::makeDays(dates, 3), operatorName).isSuccess());
        };
        auto change = [&](int operation, const char* name, const char* code, int track,
                          const QStringList& dates) {
            QVERIFY(Kit::operate(store, operation,
                                 Kit::makeExchange(name, code, track, Kit::makeDays(dates, 1)), "张三")
                        .isSuccess());
        };
        save(0, "", {"2026-08-03", "2026-08-04"}, "张三");
        save(0, "", {"2026-09-01"}, "李四");
        save(3, "14", {"2026-08-10"}, "张三");
        change(1, "伦敦金属交易所", "LME", 2, {"2026-08-03"});
        change(1, "大阪交易所", "OSE", 6, {});
        change(1, "洲际交易所", "ICE", 3, {"2026-08-05"});
        change(3, "洲际交易所", "", 0, {});
        QVERIFY(store.grantRight("张三", 10615).isSuccess() && store.grantRight("张三", 20001).isSuccess());
        writeFile(QStringLiteral("days.csv"),
                  "日期,是否交易日\n2026-08-04,1\n2026-08-03,1\n2026-08-05,0\n2026-08-06,1\n2026-08-04,1");
        writeFile(QStringLiteral("bad.csv"), "日期,是否交易日\n2026-09-01,1\n2026-09-02,1,x");
    }

    void cleanup() { dir.reset(); }

    void commandsAnswerWithTheirExitCodes_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("exitCode");
        // Standard output on success, a part of the error output on failure.
        QTest::addColumn<QString>("answer");
        // A command on the store run afterwards, and its standard output.
        QTest::addColumn<QString>("then");
        QTest::addColumn<QString>("thenAnswer");
        auto row = [](const char* name, const char* command, int exitCode, const QString& answer,
                      const char* then = "", const QString& thenAnswer = {}) {
            QTest::newRow(name) << QString(command) << exitCode << answer << QString(then) << thenAnswer;
        };
        const QString history = "1\tT\t张三\t保存\t2\n2\tT\t李四\t保存\t1\n";
        const QString exchanges =
            "伦敦金属交易所\tLME\t2\t有色金属赛道\t1\n大阪交易所\tOSE\t6\t利率互换赛道\t%1\n";
        const QString refused = "操作员 bob 没有交易日维护权限(10615)";
        row("export", "export --market 0", 0, "日期,是否交易日\n2026-09-01,1");
        row("export of a platform", "export --market 3 --platform 14", 0, "日期,是否交易日\n2026-08-10,1");
        row("export of an empty platform", "export --market 3 --platform 15", 0, "日期,是否交易日");
        row("export of an exchange", "export --market 4 --exchange 伦敦金属交易所", 0,
            "日期,是否交易日\n2026-08-03,1");
        row("export of an unknown exchange", "export --market 4 --exchange 纳斯达克", 4,
            "交易所 纳斯达克 不存在");
        // Written as the upload reads it.
        row("export to a file", "export --market 0 --output @/out.csv", 0, "",
            "--operator 张三 import --market 2 @/out.csv", "已导入 1 个交易日，修订 8\n");
        row("export to an unwritable file", "export --market 0 --output @/no/such.csv", 3, "无法写入文件");
        row("list-exchanges", "list-exchanges", 0, exchanges.arg(0));
        row("history", "history --market 0", 0, history);
        row("history of an exchange", "history --market 4 --exchange 洲际交易所", 0,
            "6\tT\t张三\t保存\t1\n7\tT\t张三\t删除\t0\n");
        row("rights", "rights --user 张三", 0, "10615\n20001\n");
        row("rights of an operator without any", "rights --user bob", 0, "");
        row("import", "--operator 张三 import --market 0 @/days.csv", 0, "已导入 3 个交易日，修订 8\n",
            "export --market 0", "日期,是否交易日\n2026-08-03,1\n2026-08-04,1\n2026-08-06,1");
        row("import into an exchange", "--operator 张三 import --market 4 --exchange 大阪交易所 @/days.csv",
            0, "已导入 3 个交易日，修订 8\n", "list-exchanges", exchanges.arg(3));
        row("import if still the current revision",
            "--operator 张三 import --market 0 --if-revision 2 @/days.csv", 0, "已导入 3 个交易日，修订 8\n");
        row("import if an older revision", "--operator 张三 import --market 0 --if-revision 1 @/days.csv", 5,
            "交易日已被 李四 于", "history --market 0", history);
        row("import into an exchange if an older revision",
            "--operator 张三 import --market 4 --exchange 洲际交易所 --if-revision 6 @/days.csv", 4,
            "交易所 洲际交易所 不存在");
        row("import into an exchange if its revision",
            "--operator 张三 import --market 4 --exchange 伦敦金属交易所 --if-revision 4 @/days.csv", 0,
            "已导入 3 个交易日，修订 8\n");
        row("import if a revision of another market",
            "--operator 张三 import --market 3 --platform 15 --if-revision 3 @/days.csv", 5,
            "请重新刷新后再保存");
        row("add-exchange", "--operator 张三 add-exchange --exchange 新加坡交易所 --code SGX --track 4", 0,
            "已新增交易所 新加坡交易所，修订 8\n", "list-exchanges",
            exchanges.arg(0) + "新加坡交易所\tSGX\t4\t股指期货赛道\t0\n");
        row("add-exchange of one that exists",
            "--operator 张三 add-exchange --exchange 大阪交易所 --code X --track 1", 5,
            "交易所 大阪交易所 已存在", "list-exchanges", exchanges.arg(0));
        row("add-exchange without a code", "add-exchange --exchange 新加坡交易所 --track 4", 1,
            "需要 --exchange");
        row("add-exchange without the right",
            "--operator bob add-exchange --exchange 新加坡交易所 --code SGX --track 4", 1, refused,
            "list-exchanges", exchanges.arg(0));
        row("import into an unknown exchange",
            "--operator 张三 import --market 4 --exchange 纳斯达克 @/days.csv", 4, "交易所 纳斯达克 不存在");
        row("import without the right", "--operator bob import --market 0 @/days.csv", 1, refused,
            "history --market 0", history);
        row("import of a malformed file", "--operator 张三 import --market 0 @/bad.csv", 3,
            "第 3 行文件格式错误", "history --market 0", history);
        row("import of a missing file", "--operator 张三 import --market 0 @/missing.csv", 3, "文件打开失败");
        row("restore", "--operator 张三 restore --revision 1", 0, "已恢复修订 1，新修订 8，2 个交易日\n",
            "history --market 0", history + "8\tT\t张三\t保存(恢复修订 1)\t2\n");
        row("restore without the right", "--operator bob restore --revision 1", 1, refused,
            "history --market 0", history);
        row("restore of a missing revision", "--operator 张三 restore --revision 99", 4, "修订 99 不存在");
        row("grant", "grant --user bob --right 10615", 0, "已授予操作员 bob 权限 10615\n",
            "rights --user bob", "10615\n");
        row("revoke", "revoke --user 张三 --right 20001", 0, "已撤销操作员 张三 的权限 20001\n",
            "rights --user 张三", "10615\n");
        row("revoke of the last maintainer", "revoke --user 张三 --right 10615", 1,
            "警告: 张三 是最后一个有交易日维护权限(10615)的操作员", "rights --user 张三", "10615\n20001\n");
        row("revoke of the last maintainer, forced", "revoke --user 张三 --right 10615 --force", 0,
            "已撤销操作员 张三 的权限 10615\n", "--operator 张三 restore --revision 1", "");
        row("revoke of a maintainer not the last", "revoke --user bob --right 10615", 0,
            "已撤销操作员 bob 的权限 10615\n", "rights --user 张三", "10615\n20001\n");
        // A mistyped store is not created: asked again, it is still missing.
        row("missing store", "--db @/typo.db export --market 0", 2, "不存在（可用 init 命令建立）",
            "--db @/typo.db rights --user bob", "");
        row("not a store", "--db @/days.csv list-exchanges", 2, "不是交易日数据库");
        row("no command", "", 1, "缺少命令");
        row("unknown command", "drop", 1, "未知命令: drop");
        row("unknown option", "--forse list-exchanges", 1, "未知选项: forse");
        row("bad market", "export --market 9", 1, "市场类型必须是 0 到 4");
        row("overseas without exchange", "history --market 4", 1, "需要 --exchange");
        row("option of another command", "list-exchanges --revision 1", 1, "不接受选项 --revision");
        row("extra argument", "history --market 0 more", 1, "多余的参数");
        row("revision not a number", "restore --revision abc", 1, "修订编号必须是正整数");
        row("right not a number", "revoke --user bob --right x1", 1, "权限编号必须是正整数");
    }
    void commandsAnswerWithTheirExitCodes()
    {
        QFETCH(QString, command);
        QFETCH(int, exitCode);
        QFETCH(QString, answer);
        QFETCH(QString, then);
        // History shows local times; they are checked for their form and then left out.
        const QRegularExpression time(QStringLiteral("\t\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\t"));
        const CtlRun run = ctl(command);
        QCOMPARE(run.exitCode, exitCode);
        if (exitCode == 0) {
            QCOMPARE(QString(run.out).replace(time, QStringLiteral("\tT\t")), answer);
        } else {
            QVERIFY2(run.err.startsWith(QStringLiteral("tradingday-ctl: ")) && run.err.contains(answer),
                     qPrintable(run.err));
            QCOMPARE(run.out, QString());
        }
        if (!then.isEmpty()) {
            QTEST(ctl(then).out.replace(time, QStringLiteral("\tT\t")), "thenAnswer");
        }
    }

    // Questions to market 1 after revision 8 imported days.csv (2026-08-03, 04 and 06, day session): the exit
    // code, standard output, and a part of the error output.
    void calendarQueriesAnswerFromTheStore_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("complaint");
        auto row = [](const char* name, const char* command, int exitCode, const QString& answer,
                      const QString& complaint = {}) {
            QTest::newRow(name) << QString(command) << exitCode << answer << complaint;
        };
        const QString beyond = "超出已存交易日的范围（2026-08-03 至 2026-08-06）";
        row("is a trading day", "is-trading-day --market 1 2026-08-04", 0, "是\n");
        row("is not a trading day", "is-trading-day --market 1 2026-08-05", 1, "否\n");
        row("after the last stored day", "is-trading-day --market 1 2026-08-07", 6, "",
            "日期 2026-08-07 " + beyond);
        row("before the first stored day", "sessions --market 1 2026-08-02", 6, "", beyond);
        row("date not a date", "is-trading-day --market 1 2026-8-4", 64, "",
            "日期应为 yyyy-MM-dd，收到: 2026-8-4");
        row("sessions", "sessions --market 1 2026-08-04", 0, "日盘\n");
        row("sessions of a holiday", "sessions --market 1 2026-08-05 --format csv", 0,
            "日期,日盘,夜盘\n2026-08-05,0,0\n");
        row("next", "next --market 1 2026-08-03 --count 2", 0, "2026-08-04\n2026-08-06\n");
        row("next past the stored days", "next --market 1 2026-08-04 --count 3", 6, "",
            "2026-08-04 之后已存的交易日不足 3 个");
        row("previous", "previous --market 1 2026-08-06 --format json", 0,
            "{\"dates\":[\"2026-08-04\"],\"revision\":8}\n");
        row("previous past the stored days", "previous --market 1 2026-08-03", 6, "",
            "之前已存的交易日不足 1 个");
        row("range", "range --market 1 2026-08-04 2026-08-06", 0, "2026-08-04\n2026-08-06\n");
        row("range backwards", "range --market 1 2026-08-06 2026-08-04", 1, "",
            "结束日期 2026-08-04 早于开始日期");
        row("range past the stored days", "range --market 1 2026-08-04 2026-08-10", 6, "", beyond);
        row("count", "count --market 1 2026-08-03 2026-08-06 --format csv", 0, "交易日数\n3\n");
        row("as of a revision", "next --market 0 2026-08-03 --as-of 1", 0, "2026-08-04\n");
        row("as of a later revision", "is-trading-day --market 0 2026-09-01 --as-of 7 --format json", 0,
            "{\"date\":\"2026-09-01\",\"revision\":2,\"tradingDay\":true}\n");
        row("as of a time before any revision",
            "count --market 0 2026-08-03 2026-08-04 --as-of 2001-01-01~00:00:00", 4, "",
            "该市场当时还没有交易日修订");
        // "@r2" stands for the local time (to the second) at which revision 2 was saved.
        row("as of the second of a change", "is-trading-day --market 0 2026-09-01 --as-of @r2", 0, "是\n");
        row("as of a time since", "range --market 0 2026-09-01 2026-09-01 --as-of 2099-01-01~00:00:00", 0,
            "2026-09-01\n");
        row("as of something else", "next --market 0 2026-09-01 --as-of yesterday", 1, "",
            "--as-of 应为修订编号");
        row("exchange deleted then", "is-trading-day --market 4 --exchange 洲际交易所 2026-08-05 --as-of 7",
            6, "", "该市场没有已存的交易日");
        row("exchange as it was", "is-trading-day --market 4 --exchange 洲际交易所 2026-08-05 --as-of 6", 0,
            "是\n");
        row("unknown format", "count --market 1 2026-08-03 2026-08-06 --format xml", 1, "",
            "--format 可以是");
        row("export as json", "export --market 1 --format json", 0,
            "{\n    \"calendar\": \"港股通\",\n    \"revision\": 8,\n    \"tradingDays\": [\n        {\n"
            "            \"date\": \"2026-08-03\",\n            \"sessions\": 1\n        },\n        {\n"
            "            \"date\": \"2026-08-04\",\n            \"sessions\": 1\n        },\n        {\n"
            "            \"date\": \"2026-08-06\",\n            \"sessions\": 1\n        }\n    ]\n}\n");
    }
    void calendarQueriesAnswerFromTheStore()
    {
        QFETCH(QString, command);
        QCOMPARE(ctl(QStringLiteral("--operator 张三 import --market 1 @/days.csv")).exitCode, 0);
        const QString secondRevision = ctl(QStringLiteral("history --market 0")).out.section('\n', 1, 1);
        const CtlRun run =
            ctl(command.replace(QStringLiteral("@r2"), secondRevision.section('\t', 1, 1).replace(' ', '~')));
        QTEST(run.exitCode, "exitCode");
        QTEST(run.out, "answer");
        QFETCH(QString, complaint);
        QVERIFY2(complaint.isEmpty() ? run.err.isEmpty() : run.err.contains(complaint), qPrintable(run.err));
    }

    // A desk calendar program reads the holidays: every weekday between the first and the last stored day
    // that is not a trading day is one all-day event "休市", with the same UID in every export.
    void holidaysExportAsAnICalendarFile()
    {
        QStringList lines{QStringLiteral("日期,是否交易日")};
        for (QDate day(2026, 9, 1); day.month() == 9; day = day.addDays(1)) {
            const bool holiday = day.day() == 7 || day.day() == 25 || day.dayOfWeek() > 5;
            lines << day.toString(Qt::ISODate) + (holiday ? QStringLiteral(",0") : QStringLiteral(",1"));
        }
        writeFile(QStringLiteral("september.csv"), lines.join('\n').toUtf8());
        const QString exchange =
            QStringLiteral("新加坡交易所衍生品市场含亚洲时段及其他各类交易时段的合约(A,B;C)");
        QCOMPARE(
            ctl("--operator 张三 add-exchange --exchange " + exchange + " --code SGX --track 4").exitCode, 0);
        QCOMPARE(
            ctl("--operator 张三 import --market 4 --exchange " + exchange + " @/september.csv").exitCode, 0);
        const QString exportIcs =
            "export --market 4 --exchange " + exchange + " --format ics --output @/sgx.ics";
        QCOMPARE(ctl(exportIcs).exitCode, 0);
        QFile file(dir->filePath(QStringLiteral("sgx.ics")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        // Folding keeps each line within 75 octets and never splits a character.
        for (const QByteArray& line : bytes.split('\n')) {
            QVERIFY2(line.isEmpty() || (line.endsWith('\r') && line.size() <= 76), line.constData());
            QVERIFY2(!QString::fromUtf8(line).contains(QChar::ReplacementCharacter), line.constData());
        }
        QVERIFY(QString::fromUtf8(bytes)
                    .remove(QStringLiteral("\r\n "))
                    .contains(QStringLiteral(
                        "X-WR-CALNAME:新加坡交易所衍生品市场含亚洲时段及其他各类交易时段的合约(A\\,B\\;C) "
                        "休市日\r\n")));

        QProcess python;
        python.start(
            QStringLiteral("/usr/bin/python3"),
            {QStringLiteral("-c"),
             QStringLiteral("import sys, icalendar\n"
                            "c = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())\n"
                            "print(c['X-WR-CALNAME'])\n"
                            "for e in c.walk('VEVENT'):\n"
                            "    print(e.decoded('DTSTART'), e.decoded('DTEND'), e['SUMMARY'], e['UID'])\n"),
             dir->filePath(QStringLiteral("sgx.ics"))});
        QVERIFY(python.waitForFinished(30000));
        QVERIFY2(python.exitCode() == 0, python.readAllStandardError().constData());
        const QString uid = "@tradingday";
        QCOMPARE(
            QString::fromUtf8(python.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts),
            (QStringList{exchange + " 休市日",
                         "2026-09-07 2026-09-08 休市 20260907-exchange-" + exchange.toUtf8().toHex() + uid,
                         "2026-09-25 2026-09-26 休市 20260925-exchange-" + exchange.toUtf8().toHex() + uid}));
        QCOMPARE(ctl(exportIcs.left(exportIcs.indexOf(" --output"))).out.toUtf8(), bytes);
    }

    void anImportKilledMidwayLeavesTheOldOrTheNewMap()
    {
        const QSet<QString> oldDays = writeThirtyYears(QStringLiteral("old.csv"), 0);
        const QSet<QString> newDays = writeThirtyYears(QStringLiteral("new.csv"), 3);
        const QString import = QStringLiteral("--operator 张三 import --market 0 @/");
        QCOMPARE(ctl(import + "old.csv").exitCode, 0);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(ctl(import + "new.csv").exitCode, 0);
        const int importMs = qMax(20, static_cast<int>(timer.elapsed()));
        QCOMPARE(exportedDays(), newDays);

        // Fixed seed: the same kill points on every run, spread over the whole import.
        QRandomGenerator random(20261206);
        for (int round = 0; round < 5; ++round) {
            const bool towardsOld = exportedDays() == newDays;
            QProcess process;
            process.start(QStringLiteral(TRADINGDAY_CTL_PATH),
                          resolved(("--db @db " + import + (towardsOld ? "old.csv" : "new.csv")).split(' ')));
            QVERIFY(process.waitForStarted());
            QTimer::singleShot(static_cast<int>(random.bounded(importMs)), &process, &QProcess::kill);
            QVERIFY(process.waitForFinished(60000));
            const QSet<QString> now = exportedDays();
            QVERIFY2(
                now == oldDays || now == newDays,
                qPrintable(QStringLiteral("round %1: a mix of %2 days was left").arg(round).arg(now.size())));
        }
        // Nothing the killed imports held is left to block the next one.
        QCOMPARE(ctl(import + "old.csv").exitCode, 0);
        QCOMPARE(exportedDays(), oldDays);
    }
};

QTEST_GUILESS_MAIN(TestTradingDayCtl)
#include "tst_tradingdayctl.moc"
