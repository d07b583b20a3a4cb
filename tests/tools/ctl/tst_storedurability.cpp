#include "TestGuards.h"

#include <QDate>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

// Weekdays of thirty years from 2000, those for which keep(day) holds, as an upload file and as the set.
QSet<QString> writeDays(const QString& path, const std::function<bool(const QDate&)>& keep)
{
    QSet<QString> days;
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("日期,是否交易日");
    for (QDate day(2000, 1, 1); day.year() < 2030; day = day.addDays(1)) {
        if (day.dayOfWeek() <= 5 && keep(day)) {
            const QString text = day.toString(QStringLiteral("yyyy-MM-dd"));
            days.insert(text);
            file.write("\n" + text.toUtf8() + ",1");
        }
    }
    return days;
}

} // namespace

// The store keeps whole maps whatever happens to the process that writes it: killed in the middle of a
// save, or racing another process saving the same market.
class TestStoreDurability : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        tds::failOnUnexpectedWarnings();
        QVERIFY(dir.isValid());
        database = dir.filePath(QStringLiteral("tradingday.db"));
        oldDays = writeDays(dir.filePath(QStringLiteral("old.csv")), [](const QDate&) { return true; });
        newDays = writeDays(dir.filePath(QStringLiteral("new.csv")),
                            [](const QDate& d) { return d.dayOfWeek() != 3; });
        QVERIFY(oldDays.size() > 7000 && newDays.size() > 6000);
        QCOMPARE(ctl({QStringLiteral("init")}), 0);
    }

    void killedSaveLeavesTheOldOrTheNewMap()
    {
        QCOMPARE(ctl({QStringLiteral("import"), QStringLiteral("--market"), QStringLiteral("0"),
                      dir.filePath(QStringLiteral("old.csv"))}),
                 0);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(ctl({QStringLiteral("import"), QStringLiteral("--market"), QStringLiteral("0"),
                      dir.filePath(QStringLiteral("new.csv"))}),
                 0);
        const int saveMs = qMax(20, int(timer.elapsed()));
        QCOMPARE(currentDays(), newDays);

        QRandomGenerator random(20261206); // fixed seed: the same kill points on every run
        int oldSeen = 0;
        int newSeen = 0;
        for (int round = 0; round < 6; ++round) {
            const bool towardsOld = currentDays() == newDays;
            QProcess save;
            save.start(QStringLiteral(TDS_CTL_PATH),
                       {QStringLiteral("--db"), database, QStringLiteral("import"),
                        QStringLiteral("--market"), QStringLiteral("0"),
                        dir.filePath(towardsOld ? QStringLiteral("old.csv") : QStringLiteral("new.csv"))});
            QVERIFY(save.waitForStarted());
            QTimer::singleShot(int(random.bounded(saveMs)), &save, &QProcess::kill); // SIGKILL
            QVERIFY(save.waitForFinished(60000));

            QVERIFY2(integrityOk(), "the store file is damaged");
            const QSet<QString> now = currentDays();
            QVERIFY2(now == oldDays || now == newDays, "a mix of two maps was left behind");
            (now == oldDays ? oldSeen : newSeen) += 1;
        }
        qInfo("after kills: old map %d times, new map %d times", oldSeen, newSeen);
    }

    void twoProcessesSavingAtOnceLeaveOneWholeMap()
    {
        const int revisionsBefore = historyLines();
        QProcess first;
        QProcess second;
        first.start(QStringLiteral(TDS_CTL_PATH),
                    {QStringLiteral("--db"), database, QStringLiteral("import"), QStringLiteral("--market"),
                     QStringLiteral("1"), dir.filePath(QStringLiteral("old.csv"))});
        second.start(QStringLiteral(TDS_CTL_PATH),
                     {QStringLiteral("--db"), database, QStringLiteral("import"), QStringLiteral("--market"),
                      QStringLiteral("1"), dir.filePath(QStringLiteral("new.csv"))});
        QVERIFY(first.waitForFinished(60000) && second.waitForFinished(60000));
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(second.exitCode(), 0);

        const QSet<QString> now = currentDays(QStringLiteral("1"));
        QVERIFY(now == oldDays || now == newDays);
        QCOMPARE(historyLines(QStringLiteral("1")),
                 revisionsBefore + 2); // the losing save is kept as a revision
    }

private:
    int ctl(const QStringList& arguments, QString* output = nullptr)
    {
        QProcess process;
        process.start(QStringLiteral(TDS_CTL_PATH),
                      QStringList{QStringLiteral("--db"), database} + arguments);
        if (!process.waitForFinished(60000)) {
            return -1;
        }
        if (output) {
            *output = QString::fromUtf8(process.readAllStandardOutput());
        }
        return process.exitCode();
    }

    QSet<QString> currentDays(const QString& market = QStringLiteral("0"))
    {
        QString exported;
        ctl({QStringLiteral("export"), QStringLiteral("--market"), market}, &exported);
        QSet<QString> days;
        for (const QString& line : exported.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(1)) {
            days.insert(line.section(QLatin1Char(','), 0, 0));
        }
        return days;
    }

    int historyLines(const QString& market = QStringLiteral("1"))
    {
        QString history;
        ctl({QStringLiteral("history"), QStringLiteral("--market"), market}, &history);
        return history.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size();
    }

    bool integrityOk()
    {
        bool ok = false;
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("integrity"));
            db.setDatabaseName(database);
            QSqlQuery query(db);
            ok = db.open() && query.exec(QStringLiteral("PRAGMA integrity_check")) && query.next() &&
                 query.value(0).toString() == QLatin1String("ok");
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("integrity"));
        return ok;
    }

    QTemporaryDir dir;
    QString database;
    QSet<QString> oldDays;
    QSet<QString> newDays;
};

QTEST_MAIN(TestStoreDurability)
#include "tst_storedurability.moc"
