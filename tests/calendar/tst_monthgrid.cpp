#include "calendar/CMonthGrid.h"
#include "data/CTradeDateRecords.h"

#include "TestGuards.h"

#include <QtTest>

using IMC::CMonthGrid;
using IMC::CTradeDateRecords;

class TestMonthGrid : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void weekdayOfNewYear_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("weekday");
        QTest::newRow("2024 Monday") << 2024 << 1;
        QTest::newRow("2023 Sunday") << 2023 << 0;
        QTest::newRow("2000 Saturday") << 2000 << 6;
        QTest::newRow("2100 Friday") << 2100 << 5;
        QTest::newRow("1901 Tuesday") << 1901 << 2;
        QTest::newRow("1900 Monday") << 1900 << 1;
        QTest::newRow("before 1900 counts as 1900") << 1899 << 1;
        QTest::newRow("2026 Thursday") << 2026 << 4;
        QTest::newRow("2027 Friday") << 2027 << 5;
    }
    void weekdayOfNewYear()
    {
        QFETCH(int, year);
        QFETCH(int, weekday);
        QCOMPARE(CMonthGrid::week(year), weekday);
    }

    void leapYears()
    {
        QCOMPARE(CMonthGrid::leap(1900), 0);
        QCOMPARE(CMonthGrid::leap(2000), 1);
        QCOMPARE(CMonthGrid::leap(2024), 1);
        QCOMPARE(CMonthGrid::leap(2100), 0);
        QCOMPARE(CMonthGrid::leap(2026), 0);
    }

    // Every month from 1900 to 2200 agrees with QDate on the weekday of each shown day.
    void layoutAgreesWithQDateEverywhere()
    {
        for (int year = 1900; year <= 2200; ++year) {
            for (int month = 1; month <= 12; ++month) {
                const auto positions = CMonthGrid::layout(year, month);
                for (const CMonthGrid::Position& p : positions) {
                    const QDate date(p.year, p.month, p.day);
                    QVERIFY2(date.isValid(), qPrintable(QStringLiteral("%1-%2").arg(year).arg(month)));
                    QCOMPARE(date.dayOfWeek() % 7, p.column);
                }
                QCOMPARE(positions.front().part == CMonthGrid::ShownMonth,
                         QDate(year, month, 1).dayOfWeek() == 7);
            }
        }
    }

    void layoutPositionByPosition_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<QStringList>("expected"); // 42 date texts, row by row
        QTest::addColumn<int>("firstShown");
        QTest::addColumn<int>("lastShown");

        QTest::newRow("February 2026 starts on Sunday")
            << 2026 << 2 << datesFrom(QDate(2026, 2, 1)) << 0 << 27;
        QTest::newRow("August 2026 starts on Saturday")
            << 2026 << 8 << datesFrom(QDate(2026, 7, 26)) << 6 << 36;
        QTest::newRow("March 2024 after a leap February")
            << 2024 << 3 << datesFrom(QDate(2024, 2, 25)) << 5 << 35;
        QTest::newRow("January 2027 shows December 2026")
            << 2027 << 1 << datesFrom(QDate(2026, 12, 27)) << 5 << 35;
        QTest::newRow("December 2026 shows January 2027")
            << 2026 << 12 << datesFrom(QDate(2026, 11, 29)) << 2 << 32;
    }
    void layoutPositionByPosition()
    {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(QStringList, expected);
        QFETCH(int, firstShown);
        QFETCH(int, lastShown);

        const auto positions = CMonthGrid::layout(year, month);
        for (int i = 0; i < CMonthGrid::positionCount; ++i) {
            const CMonthGrid::Position& p = positions[i];
            QCOMPARE(p.row, i / 7);
            QCOMPARE(p.column, i % 7);
            QCOMPARE(CTradeDateRecords::dateText(p.year, p.month, p.day), expected.at(i));
            const CMonthGrid::EMonthPart part = i < firstShown  ? CMonthGrid::PreviousMonth
                                                : i > lastShown ? CMonthGrid::NextMonth
                                                                : CMonthGrid::ShownMonth;
            QCOMPARE(p.part, part);
        }
    }

    void weekdayFillKeepsWeekendsAndNeighbours()
    {
        TradeDateMap map;
        CTradeDateRecords::putDay(map, "2026-08-01", 2); // Saturday
        CTradeDateRecords::putDay(map, "2026-08-03", 0); // Monday, replaced
        CTradeDateRecords::putDay(map, "2026-07-31", 2); // Friday of July, shown in the table, kept
        CTradeDateRecords::putDay(map, "2026-09-01", 2); // Tuesday of September, kept
        const auto mondayBefore = map.at("2026-08-03");

        CMonthGrid::fillWeekdays(map, 2026, 8, 3);

        QCOMPARE(map.size(), std::size_t(21 + 3)); // 21 weekdays in August 2026, plus three untouched days
        QCOMPARE(map.at("2026-08-01")->sessionFlags, 2);
        QCOMPARE(map.at("2026-07-31")->sessionFlags, 2);
        QCOMPARE(map.at("2026-09-01")->sessionFlags, 2);
        QCOMPARE(map.at("2026-08-03")->sessionFlags, 3);
        QVERIFY(map.at("2026-08-03") != mondayBefore); // a new record, the old one untouched
        QCOMPARE(mondayBefore->sessionFlags, 0);
        QCOMPARE(map.count("2026-08-02"), std::size_t(0)); // Sunday
        QCOMPARE(map.at("2026-08-31")->description, std::string("交易日 2026-08-31"));
    }

    void shownMonthWrapsOnce()
    {
        int year = 0;
        int month = 0;
        CMonthGrid::shownMonth(2027, 1, 0, -1, &year, &month);
        QCOMPARE(year, 2026);
        QCOMPARE(month, 12);
        CMonthGrid::shownMonth(2026, 8, -1, 11, &year, &month);
        QCOMPARE(year, 2026);
        QCOMPARE(month, 7);
        CMonthGrid::shownMonth(2026, 8, 1, -11, &year, &month);
        QCOMPARE(year, 2026);
        QCOMPARE(month, 9);
    }

private:
    static QStringList datesFrom(QDate first)
    {
        QStringList dates;
        for (int i = 0; i < CMonthGrid::positionCount; ++i) {
            dates << first.addDays(i).toString(QStringLiteral("yyyy-MM-dd"));
        }
        return dates;
    }
};

QTEST_GUILESS_MAIN(TestMonthGrid)
#include "tst_monthgrid.moc"
