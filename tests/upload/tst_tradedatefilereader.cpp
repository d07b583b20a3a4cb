#include "upload/CTradeDateFileReader.h"

#include "records/CItsmMarketTradeDateInfo.h"

#include "TestGuards.h"

#include <QTemporaryDir>
#include <QtTest>

using IMC::CTradeDateFileReader;

namespace {

QString testFile(const QString& name)
{
    return QStringLiteral(TDS_TEST_FILES "/") + name;
}

QString write(const QTemporaryDir& dir, const QString& name, const QByteArray& content)
{
    QFile file(dir.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(content);
    return file.fileName();
}

} // namespace

class TestTradeDateFileReader : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }
    void cleanup() { qunsetenv("TDS_SOFFICE"); }

    void workbookSuffix_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("workbook");
        QTest::newRow("xls") << "/data/days.xls" << true;
        QTest::newRow("xlsx") << "/data/days.xlsx" << true;
        QTest::newRow("dots in the folder do not count") << "/data.v2/days.xlsx" << true;
        QTest::newRow("upper case") << "/data/days.XLSX" << false;
        QTest::newRow("complete suffix days.xlsx") << "/data/2024.days.xlsx" << false;
        QTest::newRow("csv") << "/data/days.csv" << false;
        QTest::newRow("no suffix") << "/data/days" << false;
    }

    void workbookSuffix()
    {
        QFETCH(QString, path);
        QFETCH(bool, workbook);
        QCOMPARE(CTradeDateFileReader::isWorkbookPath(path), workbook);
    }

    void lineRules_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<int>("badLine");
        QTest::addColumn<QStringList>("dates");
        const QString comma = QStringLiteral(",");
        QTest::newRow("no lines") << QStringList() << comma << 0 << QStringList();
        QTest::newRow("header only") << QStringList{"日期,是否交易日"} << comma << 0 << QStringList();
        QTest::newRow("the header is never looked at")
            << QStringList{"a,b,c,d"} << comma << 0 << QStringList();
        QTest::newRow("header and a line break")
            << QStringList{"日期,是否交易日", ""} << comma << 2 << QStringList();
        QTest::newRow("trading day") << QStringList{"h", "2024-01-02,1"} << comma << 0
                                     << QStringList{"2024-01-02"};
        QTest::newRow("0 is skipped") << QStringList{"h", "2024-01-02,0"} << comma << 0 << QStringList();
        QTest::newRow("only exactly 1 counts")
            << QStringList{"h",           "2024-01-02, 1", "2024-01-03,1\r",
                           "2024-01-04,", "2024-01-05,01", "2024-01-06,1"}
            << comma << 0 << QStringList{"2024-01-06"};
        QTest::newRow("the date is kept as it is")
            << QStringList{"h", " 2024/1/2,1", ",1"} << comma << 0 << QStringList{"", " 2024/1/2"};
        QTest::newRow("three fields") << QStringList{"h", "2024-01-02,1,x"} << comma << 2 << QStringList();
        QTest::newRow("one field") << QStringList{"h", "2024-01-02,1", "2024-01-03"} << comma << 3
                                   << QStringList{"2024-01-02"};
        QTest::newRow("lines before a bad one stay")
            << QStringList{"h", "2024-01-02,1", "2024-01-03,1", "bad", "2024-01-05,1"} << comma << 4
            << QStringList{"2024-01-02", "2024-01-03"};
        QTest::newRow("tab separated")
            << QStringList{"h\tx", "2024-01-02\t1", "2024-01-03,1\t1"} << QStringLiteral("\t") << 0
            << QStringList{"2024-01-02", "2024-01-03,1"};
    }

    void lineRules()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, separator);
        QFETCH(int, badLine);
        QFETCH(QStringList, dates);
        IMC::CTradeDateLines fileLines;
        fileLines.setRows(lines, separator.at(0));
        TradeDateMap tradeDates;
        QCOMPARE(CTradeDateFileReader::makeRecords(fileLines, tradeDates), badLine);
        QStringList keys;
        for (const auto& entry : tradeDates) {
            keys.append(QString::fromStdString(entry.first));
            QCOMPARE(entry.second->date, entry.first);
            QCOMPARE(entry.second->tradeDate, entry.first);
            QCOMPARE(entry.second->sessionFlags, 1);
            QVERIFY(entry.second->valid);
            QCOMPARE(entry.second->description, "交易日 " + entry.first);
        }
        QCOMPARE(keys, dates);
    }

    void laterLineReplacesTheRecord()
    {
        IMC::CTradeDateLines lines;
        lines.setText(std::string("h\n2024-01-03,1\n2024-01-02,1\n2024-01-03,1"), QLatin1Char(','));
        TradeDateMap tradeDates;
        QCOMPARE(CTradeDateFileReader::makeRecords(lines, tradeDates), 0);
        const auto first = tradeDates.at("2024-01-02");
        QCOMPARE(CTradeDateFileReader::makeRecords(lines, tradeDates), 0);
        QCOMPARE(tradeDates.size(), std::size_t(2));
        QVERIFY(tradeDates.at("2024-01-02") != first);
        QCOMPARE(tradeDates.at("2024-01-02")->date, std::string("2024-01-02"));
        QCOMPARE(tradeDates.at("2024-01-03")->description, std::string("交易日 2024-01-03"));
    }

    void messages()
    {
        QCOMPARE(CTradeDateFileReader::openFailedText, QStringLiteral("文件打开失败"));
        QCOMPARE(CTradeDateFileReader::lineFormatMessage(12), QStringLiteral("第 12 行文件格式错误"));
    }

    void readsTextFilesInEveryEncoding_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("expected");
        const QStringList body{"日期,是否交易日", "2024-01-02,1", "2024-01-03,0", "2024-01-04,1"};
        QTest::newRow("gbk with crlf") << "gbk.csv" << body + QStringList{""};
        QTest::newRow("utf-8") << "utf8.csv" << body;
        QTest::newRow("utf-8 with bom") << "utf8bom.csv" << body;
        QTest::newRow("utf-16le with bom") << "utf16.csv" << body;
        QTest::newRow("gb18030 four-byte") << "gbk4byte.csv" << QStringList{"日期𠀀,标志", "2024-01-02,1"};
    }

    void readsTextFilesInEveryEncoding()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, expected);
        IMC::CTradeDateLines lines;
        QVERIFY(CTradeDateFileReader::readLines(testFile(file), lines));
        QCOMPARE(lines.separator(), QLatin1Char(','));
        QCOMPARE(lines.toStringList(), expected);
    }

    void readsWorkbooksWithTabs()
    {
        IMC::CTradeDateLines lines;
        QVERIFY(CTradeDateFileReader::readLines(testFile("libreoffice.xls"), lines));
        QCOMPARE(lines.separator(), QLatin1Char('\t'));
        QCOMPARE(lines.toStringList(), QStringList({"日期\t是否交易日", "2024-01-02\t1", "2024-01-03\t0"}));
    }

    void emptyAndUnreadableFiles()
    {
        QTemporaryDir dir;
        IMC::CTradeDateLines lines;
        QVERIFY(CTradeDateFileReader::readLines(write(dir, "empty.csv", QByteArray()), lines));
        QCOMPARE(lines.toStringList(), QStringList({""}));
        QVERIFY(!CTradeDateFileReader::readLines(dir.filePath("missing.csv"), lines));
        qputenv("TDS_SOFFICE", "/nonexistent/soffice");
        QVERIFY(!CTradeDateFileReader::readLines(testFile("truncated.xlsx"), lines));
        QVERIFY(lines.toStringList().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTradeDateFileReader)
#include "tst_tradedatefilereader.moc"
