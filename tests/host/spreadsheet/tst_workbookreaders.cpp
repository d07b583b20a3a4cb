#include "spreadsheet/CCellTextFormatter.h"
#include "spreadsheet/CFreeXlWorkbookReader.h"
#include "spreadsheet/COdbcExcelReader.h"
#include "spreadsheet/CSheetAnswer.h"
#include "spreadsheet/CSheetAnswerReader.h"
#include "spreadsheet/CSheetLines.h"
#include "spreadsheet/CSheetReaderProcess.h"
#include "spreadsheet/CSheetTable.h"
#include "spreadsheet/CSheetXmlScanner.h"

#include "TestGuards.h"

#include <QScopeGuard>
#include <QtEndian>
#include <QtTest>

#include <algorithm>

namespace {

using Lines = QMap<int, QString>;

QString testFile(const QString& name)
{
    return QStringLiteral(TDS_TEST_FILES "/") + name;
}

QString utf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
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
                                                     "escapes\t_x004_",
                                                     "quotes\t7"};
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
        QTest::newRow("stored, not deflated") << "stored.xlsx" << gaps;
        QTest::newRow("gaps from a library")
            << "gaps_lib.xlsx" << QStringList{"head\t\ttail", "\t\t", "\t\t", "\t7\t"};
        QTest::newRow("strict") << "strict.xlsx" << QStringList{"日期\t标志", "2024-01-02\t1"};
        const QStringList xls{"日期\t是否交易日",
                              "2024-01-02\t1",
                              "2024-01-03\t0",
                              "2100-03-01\t1",
                              "9999-12-31\t2.5",
                              "2024-02-29\tTRUE",
                              "\t",
                              "tail\t123456789"};
        QTest::newRow("xls") << "dates.xls" << xls;
        QTest::newRow("xls in 4096-byte sectors, mini stream") << "dates_4096.xls" << xls;
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

    // Long sheets, by their row count and the lines at a few places (index, line).
    void readsLongSheets_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("count");
        QTest::addColumn<Lines>("lines");
        Lines strings;
        for (int i : {0, 49, 50, 1234, 2999}) {
            strings.insert(i, QStringLiteral("字符串%1-%2").arg(i).arg(QString(i % 50, QLatin1Char('x'))));
        }
        QTest::newRow("shared strings across CONTINUE records") << "strings.xls" << 3000 << strings;
        QTest::newRow("4096-byte sectors") << "strings_4096.xls" << 3000 << strings;
        // 252 FAT sectors: those after the 109th are listed in a chain of two DIFAT sectors.
        const QString note = QStringLiteral("注").repeated(100);
        QTest::newRow("16 MB, DIFAT chain") << "large.xls" << 60001
                                            << Lines{{0, "日期\t是否交易日\t备注"},
                                                     {1, "1990-01-01\t1\t第1行" + note},
                                                     {7, "1990-01-07\t0\t第7行" + note},
                                                     {60000, "2154-04-10\t1\t第60000行" + note}};
    }

    void readsLongSheets()
    {
        QFETCH(QString, file);
        QFETCH(int, count);
        QFETCH(Lines, lines);
        XP::COdbcExcelReader reader;
        QStringList rows;
        QVERIFY(reader.open(testFile(file), rows, false));
        QCOMPARE(rows.size(), count);
        for (auto line = lines.cbegin(); line != lines.cend(); ++line) {
            QCOMPARE(rows.at(line.key()), line.value());
        }
    }

    void refusesWhatItCannotRead_data()
    {
        QTest::addColumn<QString>("file");
        for (const char* name :
             {"no-such-file.xlsx", "empty.xlsx", "text.xlsx", "truncated.xlsx", "corrupt.xlsx",
              "corrupt_stored.xlsx", "bad_crc.xlsx", "liar.xlsx", "huge_header.xlsx", "big_part.xlsx",
              "bomb.xlsx", "dtd.xlsx", "dtd_sheet.xlsx", "huge_range.xlsx", "ods_as.xlsx", "password.xls",
              "truncated.xls", "garbage.xls"}) {
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
    void freeXl()
    {
        XP::CSheetTable table;
        QVERIFY(XP::CFreeXlWorkbookReader::read(testFile("dates.xls"), table));
        QStringList rows;
        QVERIFY(table.toLines(rows, QLatin1Char('\t')));
        QCOMPARE(rows.mid(0, 3), (QStringList{"日期\t是否交易日", "2024-01-02\t1", "2024-01-03\t0"}));
        XP::CSheetTable stamped;
        QVERIFY(XP::CFreeXlWorkbookReader::read(testFile("datetime.xls"), stamped));
        QCOMPARE(stamped.cellText(1, 1), QStringLiteral("2024-01-02")); // the time is not shown
        QVERIFY(!XP::CFreeXlWorkbookReader::read(testFile("password.xls"), table));
        QVERIFY(!XP::CFreeXlWorkbookReader::read(testFile("garbage.xls"), table));
    }

    // A sheet streamed in pieces of any size gives the cells it gives whole, including constructs cut
    // anywhere and tags in their usual and their unusual forms; a stray end of a cell repeats nothing.
    void scannerPieces()
    {
        const QByteArray sheet =
            "<?xml version=\"1.0\"?><worksheet><sheetData><!-- rows --><row r=\"1\" spans=\"1:3\">"
            "<c r=\"A1\" s=\"1\" t=\"s\"><v>0</v></c><c r=\"B1\"/><c r='C1' t='inlineStr'><is><t>a&amp;b</t>"
            "<rPh><t>x</t></rPh></is></c></row></c><row><c><v>7</v></c><c s=\"2\"/><v>8</v></c>"
            "<x:c  r = \"D2\" ><x:v><![CDATA[<9>]]></x:v></x:c><c r=\"E2\" "
            "f=\"a>b\"><v>&#26085;</v></c></row>"
            "<row r=\"4\"/><row r=\"5\"><c r=\"B5\" t=\"str\"><v> 10 </v></c><c r=\"C5\"><v></v></c></row>"
            "<row r=\"6\"><c r=\"A6\"><v>1</c><c r=\"B6\"><v>2</v></c><c r=\"C6\"><x/>3</c>"
            "<c r=\"D6\" t=\"inlineStr\"><v>4</v><is><t>5</t></is></c></row>"
            "<row r=\"7\"><c r=\"A7\"><v>6</v><c r=\"B7\"><v>7</v></c></c></row>"
            "</sheetData></worksheet>";
        const auto scan = [&sheet](int piece) {
            QStringList cells;
            XP::CSheetXmlScanner scanner([&cells](const XP::CSheetXmlScanner::Cell& cell) {
                cells << QStringLiteral("%1,%2,%3,%4,%5,%6")
                             .arg(cell.row)
                             .arg(cell.column)
                             .arg(cell.style)
                             .arg(utf8(cell.type), utf8(cell.value), utf8(cell.inlineText));
                return true;
            });
            bool fed = true;
            for (int at = 0; at < sheet.size(); at += piece) {
                fed = scanner.feed(sheet.constData() + at, std::min(piece, sheet.size() - at)) && fed;
            }
            return fed && scanner.finish() ? cells : QStringList{QStringLiteral("unread")};
        };
        const QStringList whole{"1,1,1,s,0,",          "1,3,0,inlineStr,,a&b",
                                "2,1,0,,7,",           "2,4,0,,<9>,",
                                "2,5,0,,日,",          "5,2,0,str, 10 ,",
                                "6,1,0,,1,",           "6,2,0,,2,",
                                "6,4,0,inlineStr,4,5", "7,2,0,,7,"};
        QCOMPARE(scan(sheet.size()), whole);
        for (int piece = 1; piece < 80; ++piece) {
            QCOMPARE(scan(piece), whole);
        }
    }

    // Sheets the scanner refuses, each beside the nearest one it takes.
    void scannerBounds_data()
    {
        QTest::addColumn<QByteArray>("sheetData");
        QTest::addColumn<bool>("read");
        QTest::newRow("row 1") << QByteArray("<row r=\"1\"><c><v>1</v></c></row>") << true;
        QTest::newRow("row 0") << QByteArray("<row r=\"0\"/><row r=\"1\"><c><v>1</v></c></row>") << false;
        QTest::newRow("last row") << QByteArray("<row r=\"1048576\"><c><v>1</v></c></row>") << true;
        QTest::newRow("past the last row") << QByteArray("<row r=\"1048577\"><c><v>1</v></c></row>") << false;
        QTest::newRow("last column") << QByteArray("<row><c r=\"XFD1\"><v>1</v></c></row>") << true;
        QTest::newRow("past the last column") << QByteArray("<row><c r=\"XFE1\"><v>1</v></c></row>") << false;
        QTest::newRow("a cell outside a row") << QByteArray("<c><v>1</v></c>") << false;
        QTest::newRow("a declaration") << QByteArray("<!DOCTYPE x><row><c><v>1</v></c></row>") << false;
    }
    void scannerBounds()
    {
        QFETCH(QByteArray, sheetData);
        const QByteArray sheet = "<worksheet><sheetData>" + sheetData + "</sheetData></worksheet>";
        XP::CSheetXmlScanner scanner([](const XP::CSheetXmlScanner::Cell&) { return true; });
        QTEST(scanner.feed(sheet.constData(), sheet.size()) && scanner.finish(), "read");
    }

    // The host takes the helper's answer up to its bound in bytes, and not a byte more.
    void answerBound()
    {
        const QString file = testFile(QStringLiteral("strict.xlsx"));
        XP::CSheetTable table;
        QVERIFY(XP::CSheetReaderProcess::read(file, table));
        const qint64 size = XP::CSheetAnswer::encode(table).size();
        const XP::CSheetReaderProcess::Limits normal = XP::CSheetReaderProcess::limits();
        const auto restore = qScopeGuard([&normal] { XP::CSheetReaderProcess::setLimits(normal); });
        for (const qint64 bound : {size, size - 1}) {
            XP::CSheetReaderProcess::setLimits(
                {normal.cpuSeconds, normal.addressSpaceBytes, normal.deadlineMs, bound});
            XP::CSheetTable bounded;
            QCOMPARE(XP::CSheetReaderProcess::read(file, bounded), bound == size);
        }
    }

    // Serial days as sheets list them: day after day across month, year and leap-day ends, then back and
    // forth. Serial 61 is 1900-03-01 in the 1900 date system.
    void serialDays()
    {
        const QDate day61(1900, 3, 1);
        QList<int> serials;
        for (int serial = 61; serial < 61 + 3 * 366; ++serial) {
            serials << serial;
        }
        serials << 45351 << 45350 << 45352 << 45322 << 45321 << 45353 << 2958465 << 73051 << 73050 << 61;
        for (const int serial : serials) {
            bool ok = false;
            const std::string text = XP::CCellTextFormatter::dateText(serial, false, &ok);
            QVERIFY(ok);
            QCOMPARE(QString::fromStdString(text),
                     day61.addDays(serial - 61).toString(QStringLiteral("yyyy-MM-dd")));
        }
    }

    // What the host takes from the sheet reader helper: a complete answer, nothing less or more.
    void sheetAnswers_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("lines");
        QTest::addColumn<bool>("inOrder");
        XP::CSheetTable sheet;
        sheet.setCell(2, 2, QStringLiteral("日期"));
        sheet.setCell(3, 2, QStringLiteral("2024-01-02"));
        sheet.setCell(3, 3, QStringLiteral("1"));
        const QByteArray good = XP::CSheetAnswer::encode(sheet);
        const auto cell = [](quint32 row, quint32 column, const QByteArray& text) {
            QByteArray record(12, '\0');
            qToLittleEndian(row, record.data());
            qToLittleEndian(column, record.data() + 4);
            qToLittleEndian(static_cast<quint32>(text.size()), record.data() + 8);
            return record + text;
        };
        const QByteArray end3 = cell(0, 0, QByteArray()).left(8) + QByteArray("\3\0\0\0", 4);
        QTest::newRow("complete") << good << QStringLiteral("日期\t|2024-01-02\t1") << true;
        QTest::newRow("truncated") << good.left(good.size() - 1) << QString() << true;
        QTest::newRow("padded") << good + 'x' << QString() << true;
        QTest::newRow("without its end") << good.left(good.size() - 12) << QString() << true;
        QTest::newRow("count too high")
            << good.left(good.size() - 4) + QByteArray("\4\0\0\0", 4) << QString() << true;
        QTest::newRow("other magic") << "TDSHEET2" + good.mid(8) << QString() << true;
        QTest::newRow("bad UTF-8") << "TDSHEET1" + cell(1, 1, "\xe6\x97") + cell(1, 2, "x") +
                                          cell(2, 1, "y") + end3
                                   << QString() << true;
        QTest::newRow("row 0") << "TDSHEET1" + cell(0, 1, "a") + cell(1, 2, "x") + cell(2, 1, "y") + end3
                               << QString() << true;
        QTest::newRow("column too far")
            << "TDSHEET1" + cell(1, 16385, "a") + cell(1, 2, "x") + cell(2, 1, "y") + end3 << QString()
            << true;
        QTest::newRow("text longer than the answer")
            << "TDSHEET1" + cell(1, 1, "a").left(20).replace(8, 1, "\xff") << QString() << true;
        QTest::newRow("out of order, one place twice")
            << "TDSHEET1" + cell(2, 1, "b") + cell(1, 2, "x") + cell(1, 1, "a") + cell(2, 1, "c") +
                   QByteArray::fromRawData("\0\0\0\0\0\0\0\0\4\0\0\0", 12)
            << QStringLiteral("a\tx|c\t") << false;
        QTest::newRow("a row left out")
            << "TDSHEET1" + cell(1, 1, "h") + cell(1, 2, "i") + cell(3, 1, "x") + end3
            << QStringLiteral("h\ti|\t|x\t") << true;
        QTest::newRow("a later row reaches further left")
            << "TDSHEET1" + cell(1, 2, "a") + cell(3, 2, "b") + cell(4, 1, "c") + end3
            << QStringLiteral("\ta|\t|\tb|c\t") << true;
        QTest::newRow("rows left out, reaching further left and right")
            << "TDSHEET1" + cell(2, 3, "a") + cell(5, 1, "b") + cell(5, 4, "c") + end3
            << QStringLiteral("\t\ta\t|\t\t\t|\t\t\t|b\t\t\tc") << true;
        QTest::newRow("one field more than a sheet may hold")
            << "TDSHEET1" + cell(1, 1, "a") + cell(1000001, 20, "b") +
                   QByteArray::fromRawData("\0\0\0\0\0\0\0\0\2\0\0\0", 12)
            << QString() << true;
        QTest::newRow("one field more, the last row reaching left")
            << "TDSHEET1" + cell(1, 20, "a") + cell(1000001, 1, "b") +
                   QByteArray::fromRawData("\0\0\0\0\0\0\0\0\2\0\0\0", 12)
            << QString() << true;
        QTest::newRow("one place twice in a row")
            << "TDSHEET1" + cell(1, 1, "a") + cell(1, 1, "b") + cell(1, 2, "x") +
                   QByteArray::fromRawData("\0\0\0\0\0\0\0\0\3\0\0\0", 12)
            << QStringLiteral("b\tx") << false;
    }
    void sheetAnswers()
    {
        QFETCH(QByteArray, answer);
        XP::CSheetTable table;
        table.setCell(1, 1, QStringLiteral("left over"));
        QStringList lines;
        const bool answered = XP::CSheetAnswer::decode(answer, table);
        const bool decoded = answered && table.toLines(lines, QLatin1Char('\t'));
        QTEST(decoded ? lines.join(QLatin1Char('|')) : QString(), "lines");
        QCOMPARE(answered || table.isEmpty(), true);

        // The same answer as a slow pipe hands it over, a byte at a time, its lines made as the cells arrive:
        // the same lines when the cells come in order, and word that they did not otherwise.
        XP::CSheetLines piecewise(QLatin1Char('\t'));
        XP::CSheetAnswerReader reader(piecewise);
        bool fed = true;
        for (const char byte : answer) {
            fed = reader.feed(&byte, 1) && fed;
        }
        QStringList piecewiseLines;
        QCOMPARE(fed && reader.finish(), decoded);
        QCOMPARE(piecewise.takeLines(piecewiseLines), piecewise.inOrder());
        if (decoded) {
            QTEST(piecewise.inOrder(), "inOrder");
            QCOMPARE(piecewiseLines, piecewise.inOrder() ? lines : QStringList());
        }
    }
};

QTEST_GUILESS_MAIN(TestWorkbookReaders)
#include "tst_workbookreaders.moc"
