#include "CHostConfig.h"
#include "CHostOptions.h"
#include "CStoreAddress.h"

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

    // A store address with any password comes back as it was, whether written through QSettings (quoted) or
    // by hand (unquoted).
    void storeAddressesReadBackAsWritten_data()
    {
        QTest::addColumn<QString>("password");
        for (const char* password : {"pa,ss", "a,b,,c,", "semi;colon", "q\"uote", "x=y", "back\\slash",
                                     "sp ace", "中文,密码", "%2Cpercent", "#hash"}) {
            QTest::newRow(password) << QString::fromUtf8(password);
        }
    }
    void storeAddressesReadBackAsWritten()
    {
        QFETCH(QString, password);
        QTemporaryDir dir;
        const QString address = QStringLiteral("postgresql://ops:%1@db.example:5433/days")
                                    .arg(QString::fromUtf8(QUrl::toPercentEncoding(password, ",=")));
        {
            QSettings written(dir.filePath("host.ini"), QSettings::IniFormat);
            written.beginWriteArray("systems", 1);
            written.setArrayIndex(0);
            written.setValue("name", QStringLiteral("生产,主系统"));
            written.setValue("store", address);
            written.endArray();
        }
        QFile handWritten(dir.filePath("hand.ini"));
        QVERIFY(handWritten.open(QIODevice::WriteOnly));
        handWritten.write(("[systems]\n1\\name=生产\n1\\store=" + address + "\nsize=1\n").toUtf8());
        handWritten.close();
        for (const QString& file : {QStringLiteral("host.ini"), QStringLiteral("hand.ini")}) {
            const IMC::CHostConfig read = IMC::CHostConfig::load(dir.filePath(file), IMC::CHostOptions());
            QCOMPARE(read.systems.size(), 1);
            QCOMPARE(read.systems.first().storeAddress, address);
            QCOMPARE(IMC::CStoreAddress::parse(read.systems.first().storeAddress).password(), password);
        }
        QCOMPARE(IMC::CHostConfig::load(dir.filePath("host.ini"), IMC::CHostOptions()).systems.first().name,
                 QStringLiteral("生产,主系统"));
    }
};

QTEST_GUILESS_MAIN(TestHostCommand)
#include "tst_hostcommand.moc"
