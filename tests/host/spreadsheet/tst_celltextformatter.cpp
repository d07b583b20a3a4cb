#include "spreadsheet/CCellTextFormatter.h"

#include "TestGuards.h"

#include <QtTest>

using XP::CCellTextFormatter;

class TestCellTextFormatter : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void dateText_data()
    {
        QTest::addColumn<double>("serial");
        QTest::addColumn<bool>("date1904");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first day") << 1.0 << false << "1900-01-01";
        QTest::newRow("before the missing leap day") << 59.0 << false << "1900-02-28";
        QTest::newRow("the leap day 1900 never had") << 60.0 << false << "1900-02-29";
        QTest::newRow("after the missing leap day") << 61.0 << false << "1900-03-01";
        QTest::newRow("ordinary") << 45293.0 << false << "2024-01-02";
        QTest::newRow("time of day is dropped") << 45293.75 << false << "2024-01-02";
        QTest::newRow("rounds to the millisecond") << 45311.999999999 << false << "2024-01-21";
        QTest::newRow("just before midnight stays") << 45311.9999 << false << "2024-01-20";
        QTest::newRow("2100 is no leap year") << 73110.0 << false << "2100-03-01";
        QTest::newRow("last day") << 2958465.0 << false << "9999-12-31";
        QTest::newRow("1904 epoch") << 0.0 << true << "1904-01-01";
        QTest::newRow("1904 ordinary") << 43831.0 << true << "2024-01-02";
    }

    void dateText()
    {
        QFETCH(double, serial);
        QFETCH(bool, date1904);
        QFETCH(QString, expected);
        bool ok = false;
        QCOMPARE(CCellTextFormatter::dateText(serial, date1904, &ok), expected);
        QVERIFY(ok);
    }

    void dateTextOutsideTheCalendar_data()
    {
        QTest::addColumn<double>("serial");
        QTest::addColumn<bool>("date1904");
        QTest::newRow("zero in 1900") << 0.0 << false;
        QTest::newRow("negative") << -1.0 << false;
        QTest::newRow("after 9999") << 2958466.0 << false;
        QTest::newRow("after 9999 in 1904") << 2957004.0 << true;
        QTest::newRow("not a number") << std::nan("") << false;
        QTest::newRow("infinite") << HUGE_VAL << false;
    }

    void dateTextOutsideTheCalendar()
    {
        QFETCH(double, serial);
        QFETCH(bool, date1904);
        bool ok = true;
        QVERIFY(CCellTextFormatter::dateText(serial, date1904, &ok).isEmpty());
        QVERIFY(!ok);
    }

    void numberText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one") << 1.0 << "1";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("negative whole") << -3.0 << "-3";
        QTest::newRow("large whole") << 123456789012.0 << "123456789012";
        QTest::newRow("fraction") << 2.5 << "2.5";
        QTest::newRow("binary noise hidden") << 0.1 + 0.2 << "0.3";
        QTest::newRow("very large") << 1e20 << "1e+20";
    }

    void numberText()
    {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(CCellTextFormatter::numberText(value), expected);
    }

    void dateFormats_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("isDate");
        for (int id : {14, 17, 22, 27, 31, 36, 45, 47, 50, 58}) {
            QTest::addRow("built-in %d", id) << id << true;
        }
        for (int id : {0, 1, 2, 9, 13, 23, 26, 37, 44, 48, 49, 59}) {
            QTest::addRow("built-in %d", id) << id << false;
        }
    }

    void dateFormats()
    {
        QFETCH(int, id);
        QFETCH(bool, isDate);
        QCOMPARE(CCellTextFormatter::isDateFormatId(id), isDate);
    }

    void dateFormatCodes_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("isDate");
        QTest::newRow("iso") << "yyyy-mm-dd" << true;
        QTest::newRow("chinese") << "yyyy\"年\"m\"月\"d\"日\"" << true;
        QTest::newRow("with locale and text section") << "[$-804]yyyy/m/d;@" << true;
        QTest::newRow("general") << "General" << false;
        QTest::newRow("number") << "0.00" << false;
        QTest::newRow("letters only in quotes") << "0\" days\"" << false;
        QTest::newRow("letters only in brackets") << "[Red]0.00" << false;
        QTest::newRow("escaped letter") << "0\\d" << false;
        QTest::newRow("padding character") << "0_m" << false;
        QTest::newRow("unclosed quote") << "0\"d" << false;
    }

    void dateFormatCodes()
    {
        QFETCH(QString, code);
        QFETCH(bool, isDate);
        QCOMPARE(CCellTextFormatter::isDateFormatCode(code), isDate);
    }

    void escapes_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("none") << "plain"
                              << "plain";
        QTest::newRow("letter") << "a_x0041_b"
                                << "aAb";
        QTest::newRow("escaped underscore") << "_x005F_x0041_"
                                            << "_x0041_";
        QTest::newRow("carriage return") << "a_x000D_"
                                         << "a\r";
        QTest::newRow("not hex") << "_x00G1_"
                                 << "_x00G1_";
        QTest::newRow("too short") << "_x004_"
                                   << "_x004_";
    }

    void escapes()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QCOMPARE(CCellTextFormatter::decodeEscapes(stored), shown);
    }
};

QTEST_GUILESS_MAIN(TestCellTextFormatter)
#include "tst_celltextformatter.moc"
