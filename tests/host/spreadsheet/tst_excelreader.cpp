#include "spreadsheet/CExcelReader.h"

#include "TestGuards.h"

#include <QtTest>

namespace {

QString testFile(const QString& name)
{
    return QStringLiteral(TDS_TEST_FILES "/") + name;
}

} // namespace

// Drives LibreOffice; every conversion takes a second or two, so the cases are few.
class TestExcelReader : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }
    void cleanup() { qunsetenv("TDS_SOFFICE"); }

    void invalidWithoutTheApplication()
    {
        qputenv("TDS_SOFFICE", "/nonexistent/soffice");
        XP::CExcelReader reader;
        QVERIFY(!reader.init(false));
        QVERIFY(!reader.isValid());
        QVERIFY(!reader.open(testFile("dates.xlsx")));
        QCOMPARE(reader.getSheetRowCount(1), 0);
        QVERIFY(reader.getSheetStartRow(1) > reader.getSheetRowCount(1));
    }

    void readsWhatOnlyTheApplicationCanRead()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty()) {
            QSKIP("LibreOffice is not installed");
        }
        XP::CExcelReader reader;
        QVERIFY(reader.init(false));
        QVERIFY(reader.isValid());
        QVERIFY(reader.open(testFile("ods_as.xlsx")));
        QCOMPARE(reader.getSheetStartRow(1), 1);
        QCOMPARE(reader.getSheetRowCount(1), 3);
        QCOMPARE(reader.getSheetStartCol(1), 1);
        QCOMPARE(reader.getSheetColCount(1), 2);
        QCOMPARE(reader.getData(1, 1, 1, false), QStringLiteral("日期"));
        QCOMPARE(reader.getData(1, 2, 1, false), QStringLiteral("2024-01-02"));
        QCOMPARE(reader.getData(1, 2, 2, false), QStringLiteral("1"));
        QCOMPARE(reader.getData(1, 3, 1, false), QStringLiteral("2024-01-03"));
        QCOMPARE(reader.getData(1, 3, 2, false), QStringLiteral("0"));
        QVERIFY(reader.getData(2, 1, 1, false).isEmpty());
        reader.close();
        QCOMPARE(reader.getSheetRowCount(1), 0);
        reader.exitExcel();
        QVERIFY(!reader.isValid());
    }

    void applicationThatCannotConvert()
    {
        // A program that exits at once without writing anything, as soffice does when it fails.
        qputenv("TDS_SOFFICE", QStandardPaths::findExecutable(QStringLiteral("true")).toLocal8Bit());
        XP::CExcelReader reader;
        QVERIFY(reader.init(false));
        QVERIFY(!reader.open(testFile("dates.xlsx")));
        QCOMPARE(reader.getSheetRowCount(1), 0);
    }
};

QTEST_GUILESS_MAIN(TestExcelReader)
#include "tst_excelreader.moc"
