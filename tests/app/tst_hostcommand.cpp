#include "TestGuards.h"

#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Runs tradingday-host to its end; its exit code, or -1 when it did not end in time.
int runHost(const QStringList& arguments, QString* output,
            const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    QProcess host;
    host.setProcessEnvironment(environment);
    host.setProcessChannelMode(QProcess::MergedChannels);
    host.start(QStringLiteral(TDS_HOST_PATH), arguments);
    const bool ended = host.waitForFinished(60000);
    *output = QString::fromUtf8(host.readAll());
    return ended ? host.exitCode() : -1;
}

} // namespace

// tradingday-host as the operator starts it: its command line and the configuration of its first start.
class TestHostCommand : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void answersItsCommandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("printed"); // fragments of the output, "|" between them
        QTest::newRow("help") << QStringList{"--help"} << 0
                              << "--db <|--modules <|--rights <|--user <|--page <|--screenshot <|--config <";
        QTest::newRow("page out of range")
            << QStringList{"--page", "4"} << 2 << "--page: expected 0, 1, 2 or 3";
        QTest::newRow("right not a number")
            << QStringList{"--rights", "10615,x"} << 2 << "\"x\" is not a number";
    }
    void answersItsCommandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, printed);
        QString output;
        QCOMPARE(runHost(arguments, &output), exitCode);
        for (const QString& fragment : printed.split('|')) {
            QVERIFY2(output.contains(fragment), qPrintable(fragment));
        }
    }

    // One system on a SQLite store in the user's data location, every module on and right 10615 granted.
    void firstStartWritesTheDefaultConfiguration()
    {
        QTemporaryDir home;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", home.filePath("config"));
        environment.insert("XDG_DATA_HOME", home.filePath("data"));
        QString output;
        QCOMPARE(runHost({"--exit-after-first-paint"}, &output, environment), 0);

        const QString app = "/PanelSystemTradingDay/tradingday-host/";
        QSettings ini(home.filePath("config") + app + "tradingday-host.ini", QSettings::IniFormat);
        QCOMPARE(ini.beginReadArray("systems"), 1);
        ini.setArrayIndex(0);
        const QString store = ini.value("store").toString();
        ini.endArray();
        QCOMPARE(store, home.filePath("data") + app + "tradingday.db");
        QVERIFY(QFileInfo::exists(store));
        QCOMPARE(ini.value("modules/on").toStringList(),
                 QStringList({"mdl_tradetype", "mdl_tradetype_ggt", "mdl_tradetype_sgt",
                              "mdl_tradetype_electronic"}));
        QCOMPARE(ini.value("operator/rights").toStringList(), QStringList{"10615"});
    }
};

QTEST_GUILESS_MAIN(TestHostCommand)
#include "tst_hostcommand.moc"
