#include "TestGuards.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

namespace {

// What a run shows: "exit code|standard output|first line of standard error".
QString runTool(const QStringList& arguments)
{
    QProcess tool;
    tool.start(QStringLiteral(TDS_READ_PATH), arguments);
    if (!tool.waitForFinished(60000) || tool.exitStatus() != QProcess::NormalExit) {
        return QStringLiteral("no exit");
    }
    QString err = QString::fromUtf8(tool.readAllStandardError()).section(QLatin1Char('\n'), 0, 0);
    return QStringLiteral("%1|%2|%3")
        .arg(tool.exitCode())
        .arg(QString::fromUtf8(tool.readAllStandardOutput()), err.replace(TDS_READ_PATH, "tradingday-read"));
}

} // namespace

class TestTradingDayRead : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    // "@" in the arguments stands for the file: a test file, or a temporary one holding `content`.
    void read_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("shown");
        const QStringList file{QStringLiteral("@")};
        const QByteArray none;
        const QString lines = QStringLiteral("日期,是否交易日\n2024-01-02,1\n2024-01-03,0\n2024-01-04,1\n");
        const QByteArray piece = QByteArray(256 * 1024 - 1, 'a') + "\r\n";
        const QString pieceLine = QString(256 * 1024 - 1, QLatin1Char('a')) + QLatin1Char('\n');
        const QByteArray unicom = QTextCodec::codecForName("GBK")->fromUnicode(QStringLiteral("联通,1\n1,1"));
        QTest::newRow("utf-8") << file << "utf8.csv" << none << "0|" + lines + "2\n|";
        QTest::newRow("utf-8 with bom") << file << "utf8bom.csv" << none << "0|" + lines + "2\n|";
        QTest::newRow("utf-16") << file << "utf16.csv" << none << "0|" + lines + "2\n|";
        QTest::newRow("gbk, final line break")
            << file << "gbk.csv" << none << "4|" + lines + "\n|第 5 行文件格式错误";
        QTest::newRow("gb18030") << file << "gbk4byte.csv" << none << "0|日期𠀀,标志\n2024-01-02,1\n1\n|";
        QTest::newRow("gbk a lenient check takes for utf-8")
            << file << "a.csv" << unicom << "0|联通,1\n1,1\n1\n|";
        QTest::newRow("line breaks across read pieces")
            << file << "a.csv" << piece + piece + piece + "\r"
            << "4|" + pieceLine + pieceLine + pieceLine + "\r\n|第 2 行文件格式错误";
        QTest::newRow("records, not lines, are counted")
            << file << "交易日.csv" << QByteArray("h\n2,1\n1,1\n2,1\n1,1\n3,0")
            << "0|h\n2,1\n1,1\n2,1\n1,1\n3,0\n2\n|";
        QTest::newRow("runs of order")
            << file << "runs.csv" << QByteArray("h\n3,1\n4,1\n1,1\n2,1\n3,1\n4,1\n5,1\n0,1\n2,1")
            << "0|h\n3,1\n4,1\n1,1\n2,1\n3,1\n4,1\n5,1\n0,1\n2,1\n6\n|";
        QTest::newRow("workbook, text beyond ASCII")
            << file << "accents.xlsx" << none << "0|Date\tOuvré\nFérié\t1\n2024-01-02\t1\n2\n|";
        QTest::newRow("workbook") << file << "libreoffice.xls" << none
                                  << "0|日期\t是否交易日\n2024-01-02\t1\n2024-01-03\t0\n1\n|";
        QTest::newRow("missing") << file << "missing.csv" << none << "3||文件打开失败";
        QTest::newRow("empty path") << QStringList{QString()} << QString() << none << "2||未选择文件";
        const QString usage = QStringLiteral("64||Usage: tradingday-read [options] FILE");
        QTest::newRow("no file") << QStringList() << QString() << none << usage;
        QTest::newRow("two files") << file + file << "utf8.csv" << none << usage;
    }

    void read()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(QString, shown);
        QTemporaryDir dir;
        QString path = QStringLiteral(TDS_TEST_FILES "/") + file;
        if (!content.isNull()) {
            QFile written(path = dir.filePath(file));
            QVERIFY(written.open(QIODevice::WriteOnly) && written.write(content) == content.size());
        }
        arguments.replaceInStrings(QRegularExpression(QStringLiteral("^@$")), path);
        QCOMPARE(runTool(arguments), shown);
    }
};

QTEST_GUILESS_MAIN(TestTradingDayRead)
#include "tst_tradingdayread.moc"
