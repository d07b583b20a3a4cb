#include "spreadsheet/CFreeXlWorkbookReader.h"
#include "spreadsheet/CIsolatedCall.h"
#include "spreadsheet/COdbcExcelReader.h"
#include "spreadsheet/CSheetTable.h"
#include "spreadsheet/CXlsWorkbookReader.h"

#include "TestGuards.h"

#include <QtTest>

#include <csignal>
#include <vector>

namespace {

QString testFile(const QString& name)
{
    return QStringLiteral(TDS_TEST_FILES "/") + name;
}

QStringList lines(std::initializer_list<const char*> texts)
{
    QStringList result;
    for (const char* text : texts) {
        result.append(QString::fromUtf8(text));
    }
    return result;
}

} // namespace

class TestWorkbookReaders : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void readsFirstSheet_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("xlsxwriter dates and formats")
            << "dates.xlsx"
            << lines({"日期\t是否交易日", "2024-01-02\t1", "2024-01-03\t0", "2024-02-29\t1", "2100-03-01\t1",
                      "2024-01-21\t2.5", "9999-12-31\tTRUE"});
        QTest::newRow("1904 date system")
            << "date1904.xlsx" << lines({"date\tflag", "2024-01-02\t1", "1904-01-01\t0"});
        QTest::newRow("inline strings and cached formula results")
            << "inline.xlsx" << lines({"日期\ta_x0041_b", "2024-01-02\t1", "2024-01-03\t1"});
        QTest::newRow("rich text runs joined") << "rich.xlsx" << lines({"交易日期 表\tflag"});
        QTest::newRow("first tab moved before the first part")
            << "reordered.xlsx" << lines({"日期\t是否交易日", "2024-01-02\t1"});
        QTest::newRow("first tab by workbook order, relative target")
            << "tab_order.xlsx" << lines({"sheet2"});
        QTest::newRow("no cell references, shared strings with phonetics")
            << "norefs.xlsx"
            << lines({"日期\t是否交易日", "2024-01-02\t1", "2024-01-02\t1", "2024-01-03\t1"});
        QTest::newRow("cell types, entities, comments")
            << "types.xlsx"
            << lines({"TRUE\tFALSE", "#N/A\tTRUE", "2024-02-29\taAb_x0041_", "<&A日\t0.1",
                      "1900-02-29\t2024-01-21", "-3\t123456789012"});
        QTest::newRow("gaps, rows out of order, a lying dimension")
            << "gaps.xlsx" << lines({"\tearly\t", "x\t\t5", "\t\t", "\t7\t"});
        QTest::newRow("gaps from xlsxwriter")
            << "gaps_lib.xlsx" << lines({"head\t\ttail", "\t\t", "\t\t", "\t7\t"});
        QTest::newRow("zip64") << "zip64.xlsx" << lines({"\tearly\t", "x\t\t5", "\t\t", "\t7\t"});
        QTest::newRow("strict namespaces, absolute targets, prefixes")
            << "strict.xlsx" << lines({"日期\t标志", "2024-01-02\t1"});
        QTest::newRow("header only") << "header_only.xlsx" << lines({"日期\t是否交易日"});
        QTest::newRow("xlwt dates, east-asian format, after 2100")
            << "dates.xls"
            << lines({"日期\t是否交易日", "2024-01-02\t1", "2024-01-03\t0", "2100-03-01\t1",
                      "9999-12-31\t2.5", "2024-02-29\tTRUE", "\t", "tail\t123456789"});
        QTest::newRow("LibreOffice .xls with built-in format 31")
            << "libreoffice.xls" << lines({"日期\t是否交易日", "2024-01-02\t1", "2024-01-03\t0"});
    }

    void readsFirstSheet()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, expected);
        XP::COdbcExcelReader reader;
        QStringList rows;
        QVERIFY(reader.open(testFile(file), rows, false));
        QCOMPARE(rows, expected);
        reader.close();
    }

    void sharedStringsAcrossContinueRecords()
    {
        XP::COdbcExcelReader reader;
        QStringList rows;
        QVERIFY(reader.open(testFile("strings.xls"), rows, false));
        QCOMPARE(rows.size(), 3000);
        for (int i : {0, 1, 49, 50, 1234, 2999}) {
            QCOMPARE(rows.at(i), QStringLiteral("字符串%1-%2").arg(i).arg(QString(i % 50, QLatin1Char('x'))));
        }
    }

    void refusesWhatItCannotRead_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("missing") << "no-such-file.xlsx";
        QTest::newRow("empty") << "empty.xlsx";
        QTest::newRow("text under a workbook name") << "text.xlsx";
        QTest::newRow("truncated zip") << "truncated.xlsx";
        QTest::newRow("damaged sheet data (CRC)") << "corrupt.xlsx";
        QTest::newRow("sheet inflates past its header") << "liar.xlsx";
        QTest::newRow("header claims gigabytes") << "huge_header.xlsx";
        QTest::newRow("part inflates past every limit") << "bomb.xlsx";
        QTest::newRow("DTD with entities in the workbook") << "dtd.xlsx";
        QTest::newRow("DTD in the sheet") << "dtd_sheet.xlsx";
        QTest::newRow("OpenDocument under an .xlsx name") << "ods_as.xlsx";
        QTest::newRow("password-protected .xls") << "password.xls";
        QTest::newRow("truncated .xls") << "truncated.xls";
        QTest::newRow("garbage after a compound-file header") << "garbage.xls";
    }

    void refusesWhatItCannotRead()
    {
        QFETCH(QString, file);
        XP::COdbcExcelReader reader;
        QStringList rows{QStringLiteral("left over")};
        QVERIFY(!reader.open(testFile(file), rows, false));
        QVERIFY(rows.isEmpty());
    }

    void sheetTableKeepsTheLaterCellAndRefusesHugeRanges()
    {
        XP::CSheetTable table;
        QVERIFY(table.setCell(3, 2, QStringLiteral("b")));
        QVERIFY(table.setCell(1, 1, QStringLiteral("a")));
        QVERIFY(table.setCell(3, 2, QStringLiteral("later")));
        QVERIFY(table.setCell(2, 5, QString()));
        QStringList rows;
        QVERIFY(table.toLines(rows, QLatin1Char(',')));
        QCOMPARE(rows, QStringList({"a,", ",", ",later"}));
        QCOMPARE(table.cellText(3, 2), QStringLiteral("later"));
        QVERIFY(table.cellText(2, 2).isEmpty());

        XP::CSheetTable huge;
        QVERIFY(huge.setCell(1, 1, QStringLiteral("x")));
        QVERIFY(huge.setCell(1048576, 16384, QStringLiteral("y")));
        QVERIFY(!huge.toLines(rows, QLatin1Char('\t')));
        QVERIFY(rows.isEmpty());
    }

    void freeXlInAChildReadsBiff8Too()
    {
        XP::CSheetTable table;
        QVERIFY(XP::CFreeXlWorkbookReader::readIsolated(testFile("dates.xls"), table));
        QCOMPARE(table.cellText(1, 1), QStringLiteral("日期"));
        QCOMPARE(table.cellText(2, 1), QStringLiteral("2024-01-02"));
        QCOMPARE(table.cellText(2, 2), QStringLiteral("1"));
        QCOMPARE(table.cellText(8, 2), QStringLiteral("123456789"));
        QVERIFY(!XP::CFreeXlWorkbookReader::readIsolated(testFile("password.xls"), table));
        QVERIFY(!XP::CFreeXlWorkbookReader::readIsolated(testFile("garbage.xls"), table));
    }

    void isolatedCallSurvivesItsChild_data()
    {
        QTest::addColumn<int>("behaviour");
        QTest::newRow("crash") << 0;
        QTest::newRow("endless loop") << 1;
        QTest::newRow("unbounded memory") << 2;
        QTest::newRow("reports failure") << 3;
        QTest::newRow("too much output") << 4;
    }

    void isolatedCallSurvivesItsChild()
    {
        QFETCH(int, behaviour);
        const XP::CIsolatedCall::Limits limits{1, 256ULL * 1024 * 1024, 1024};
        QByteArray result("stale");
        const bool good = XP::CIsolatedCall::run(
            [behaviour](QByteArray& out) {
                switch (behaviour) {
                case 0:
                    std::raise(SIGSEGV);
                    break;
                case 1:
                    for (volatile unsigned long i = 0;; i = i + 1) {
                    }
                case 2: {
                    std::vector<std::vector<char>> blocks;
                    for (;;) {
                        blocks.emplace_back(64 * 1024 * 1024, 'x');
                    }
                }
                case 4:
                    out = QByteArray(4096, 'x');
                    return true;
                default:
                    break;
                }
                return false;
            },
            limits, result);
        QVERIFY(!good);
        QVERIFY(result.isEmpty());
    }

    void isolatedCallHandsBackTheResult()
    {
        QByteArray result;
        QVERIFY(XP::CIsolatedCall::run(
            [](QByteArray& out) {
                out = QByteArray(100000, 'r');
                return true;
            },
            XP::CIsolatedCall::Limits{5, 512ULL * 1024 * 1024, 1 << 20}, result));
        QCOMPARE(result, QByteArray(100000, 'r'));
    }
};

QTEST_GUILESS_MAIN(TestWorkbookReaders)
#include "tst_workbookreaders.moc"
