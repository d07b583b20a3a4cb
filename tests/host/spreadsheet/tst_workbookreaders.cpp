#include "spreadsheet/CFreeXlWorkbookReader.h"
#include "spreadsheet/CIsolatedCall.h"
#include "spreadsheet/COdbcExcelReader.h"
#include "spreadsheet/CSheetTable.h"

#include "TestGuards.h"

#include <QtTest>

#include <csignal>
#include <vector>

namespace {

QString testFile(const QString& name)
{
    return QStringLiteral(TDS_TEST_FILES "/") + name;
}

} // namespace

// The in-process reader on the pitfalls of real workbooks; what the upload makes of its lines is tested
// with the upload dialog.
class TestWorkbookReaders : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void readsFirstSheet_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("date formats, second tab")
            << "dates.xlsx"
            << QStringList{"日期\t是否交易日", "2024-01-02\t1",   "2024-01-03\t0",   "2024-02-29\t1",
                           "2100-03-01\t1",    "2024-01-21\t2.5", "9999-12-31\tTRUE"};
        QTest::newRow("1904") << "date1904.xlsx"
                              << QStringList{"date\tflag", "2024-01-02\t1", "1904-01-01\t0", "2957004\t"};
        QTest::newRow("corner cases") << "corners.xlsx"
                                      << QStringList{"13\t45293",
                                                     "14\t2024-01-02",
                                                     "22\t2024-01-02",
                                                     "23\t45293",
                                                     "26\t45293",
                                                     "27\t2024-01-02",
                                                     "36\t2024-01-02",
                                                     "37\t45293",
                                                     "44\t45293",
                                                     "45\t2024-01-02",
                                                     "47\t2024-01-02",
                                                     "48\t45293",
                                                     "49\t45293",
                                                     "50\t2024-01-02",
                                                     "58\t2024-01-02",
                                                     "59\t45293",
                                                     "[$-804]yyyy/m/d;@\t2024-01-02",
                                                     "General\t45293",
                                                     "0\" days\"\t45293",
                                                     "[Red]0.00\t45293",
                                                     "0\\d\t45293",
                                                     "0_m\t45293",
                                                     "0\"d\t45293",
                                                     "serial 1\t1900-01-01",
                                                     "serial 59\t1900-02-28",
                                                     "serial 61\t1900-03-01",
                                                     "serial 45293.75\t2024-01-02",
                                                     "serial 45311.9999\t2024-01-20",
                                                     "serial 0\t0",
                                                     "serial -1\t-1",
                                                     "serial 2958466\t2958466",
                                                     "serial nan\tnan",
                                                     "serial inf\tinf",
                                                     "noise\t0.3",
                                                     "large\t1e+20",
                                                     "escapes\ta\r",
                                                     "escapes\t_x00G1_",
                                                     "escapes\t_x004_"};
        QTest::newRow("inline strings, formula results")
            << "inline.xlsx" << QStringList{"日期\ta_x0041_b", "2024-01-02\t1", "2024-01-03\t1"};
        QTest::newRow("rich text") << "rich.xlsx" << QStringList{"交易日期 表\tflag"};
        QTest::newRow("first tab moved")
            << "reordered.xlsx" << QStringList{"日期\t是否交易日", "2024-01-02\t1"};
        QTest::newRow("tab order, relative target") << "tab_order.xlsx" << QStringList{"sheet2"};
        QTest::newRow("no references, phonetics")
            << "norefs.xlsx"
            << QStringList{"日期\t是否交易日", "2024-01-02\t1", "2024-01-02\t1", "2024-01-03\t1"};
        QTest::newRow("cell types") << "types.xlsx" << QStringList{"TRUE\tFALSE",
                                                                   "#N/A\tTRUE",
                                                                   "2024-02-29\taAb_x0041_",
                                                                   "<&A日\t0.1",
                                                                   "1900-02-29\t2024-01-21",
                                                                   "-3\t123456789012"};
        const QStringList gaps{"\tearly\t", "x\t\t5", "\t\t", "\t7\t"};
        QTest::newRow("gaps, rows out of order, lying dimension") << "gaps.xlsx" << gaps;
        QTest::newRow("zip64") << "zip64.xlsx" << gaps;
        QTest::newRow("gaps from a library")
            << "gaps_lib.xlsx" << QStringList{"head\t\ttail", "\t\t", "\t\t", "\t7\t"};
        QTest::newRow("strict") << "strict.xlsx" << QStringList{"日期\t标志", "2024-01-02\t1"};
        QTest::newRow("xls") << "dates.xls"
                             << QStringList{"日期\t是否交易日",
                                            "2024-01-02\t1",
                                            "2024-01-03\t0",
                                            "2100-03-01\t1",
                                            "9999-12-31\t2.5",
                                            "2024-02-29\tTRUE",
                                            "\t",
                                            "tail\t123456789"};
        QTest::newRow("xls with format 31")
            << "libreoffice.xls" << QStringList{"日期\t是否交易日", "2024-01-02\t1", "2024-01-03\t0"};
    }

    void readsFirstSheet()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, expected);
        XP::COdbcExcelReader reader;
        QStringList rows;
        QVERIFY(reader.open(testFile(file), rows, false));
        QCOMPARE(rows, expected);
    }

    void sharedStringsAcrossContinueRecords()
    {
        XP::COdbcExcelReader reader;
        QStringList rows;
        QVERIFY(reader.open(testFile("strings.xls"), rows, false));
        QCOMPARE(rows.size(), 3000);
        for (int i : {49, 50, 1234, 2999}) {
            QCOMPARE(rows.at(i), QStringLiteral("字符串%1-%2").arg(i).arg(QString(i % 50, QLatin1Char('x'))));
        }
    }

    void refusesWhatItCannotRead_data()
    {
        QTest::addColumn<QString>("file");
        for (const char* name :
             {"no-such-file.xlsx", "empty.xlsx", "text.xlsx", "truncated.xlsx", "corrupt.xlsx", "liar.xlsx",
              "huge_header.xlsx", "bomb.xlsx", "dtd.xlsx", "dtd_sheet.xlsx", "huge_range.xlsx", "ods_as.xlsx",
              "password.xls", "truncated.xls", "garbage.xls"}) {
            QTest::newRow(name) << QString::fromLatin1(name);
        }
    }

    void refusesWhatItCannotRead()
    {
        QFETCH(QString, file);
        XP::COdbcExcelReader reader;
        QStringList rows{QStringLiteral("left over")};
        QVERIFY(!reader.open(testFile(file), rows, false));
        QVERIFY(rows.isEmpty());
    }

    // FreeXL reads only the .xls files older than BIFF8, which no tool here writes any more.
    void freeXlInAChild()
    {
        XP::CSheetTable table;
        QVERIFY(XP::CFreeXlWorkbookReader::readIsolated(testFile("dates.xls"), table));
        QStringList rows;
        QVERIFY(table.toLines(rows, QLatin1Char('\t')));
        QCOMPARE(rows.mid(0, 3), (QStringList{"日期\t是否交易日", "2024-01-02\t1", "2024-01-03\t0"}));
        QVERIFY(!XP::CFreeXlWorkbookReader::readIsolated(testFile("password.xls"), table));
        QVERIFY(!XP::CFreeXlWorkbookReader::readIsolated(testFile("garbage.xls"), table));
    }

    // Each row's name says what the child does; the result comes back only from a child that succeeds
    // within its limits (1 s of CPU, 256 MiB of memory, 1 MiB of result).
    void isolatedCall_data()
    {
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<bool>("good");
        QTest::newRow("crash") << 0 << false;
        QTest::newRow("endless loop") << 1 << false;
        QTest::newRow("unbounded memory") << 2 << false;
        QTest::newRow("reports failure") << 3 << false;
        QTest::newRow("too much result") << 4 << false;
        QTest::newRow("success, more than a pipe holds") << 5 << true;
    }

    void isolatedCall()
    {
        QFETCH(int, behaviour);
        QFETCH(bool, good);
        QByteArray result("stale");
        const auto child = [behaviour](QByteArray& out) {
            if (behaviour == 0) {
                std::signal(SIGSEGV, SIG_DFL); // a plain crash, without the test framework's report
                std::raise(SIGSEGV);
            }
            std::vector<std::vector<char>> blocks;
            for (volatile int round = 0; behaviour == 1 || behaviour == 2; round = round + 1) {
                if (behaviour == 2) {
                    blocks.emplace_back(64 << 20, 'x');
                }
            }
            out = QByteArray(behaviour == 4 ? (1 << 20) + 1 : 100000, 'r');
            return behaviour != 3;
        };
        QCOMPARE(XP::CIsolatedCall::run(child, XP::CIsolatedCall::Limits{1, 256ULL << 20, 1 << 20}, result),
                 good);
        QCOMPARE(result, good ? QByteArray(100000, 'r') : QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestWorkbookReaders)
#include "tst_workbookreaders.moc"
