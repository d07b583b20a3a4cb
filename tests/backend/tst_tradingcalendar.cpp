// The calendar questions answered from a day set, set against a day-by-day walk over thirty years of weekdays
// with random holidays and weekend sessions.
#include "CTradingCalendar.h"

#include "CBackendTestKit.h"

#include <QRandomGenerator>
#include <QtTest>

#include <boost/make_shared.hpp>

#include <vector>

using IMC::CTradingCalendar;
using Kit = tds::CBackendTestKit;

namespace {

const QDate firstDay(1996, 1, 2);
const QDate lastDay(2025, 12, 30);

QStringList texts(const std::vector<QDate>& dates)
{
    QStringList found;
    for (const QDate& day : dates) {
        found << day.toString(Qt::ISODate);
    }
    return found;
}

// The answers by walking the days one at a time.
class CDayWalk
{
public:
    explicit CDayWalk(const TradeDateMap& days)
        : days(days)
    {}

    bool isTradingDay(const QDate& day) const { return days.count(key(day)) > 0; }

    QStringList walk(QDate day, int step, int count) const
    {
        QStringList found;
        for (day = day.addDays(step); day >= firstDay && day <= lastDay && found.size() < count;
             day = day.addDays(step)) {
            if (isTradingDay(day)) {
                found << day.toString(Qt::ISODate);
            }
        }
        return found;
    }

    QStringList range(const QDate& first, const QDate& last) const
    {
        QStringList found;
        for (QDate day = first; day <= last; day = day.addDays(1)) {
            if (isTradingDay(day)) {
                found << day.toString(Qt::ISODate);
            }
        }
        return found;
    }

private:
    static std::string key(const QDate& day) { return day.toString(Qt::ISODate).toStdString(); }

    const TradeDateMap& days;
};

} // namespace

class TestTradingCalendar : public QObject
{
    Q_OBJECT

private slots:
    void answersAsADayByDayWalk_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {1u, 20261207u, 777u}) {
            QTest::newRow(qPrintable(QString::number(seed))) << seed;
        }
    }
    void answersAsADayByDayWalk()
    {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        TradeDateMap days;
        for (QDate day = firstDay; day <= lastDay; day = day.addDays(1)) {
            const bool weekday = day.dayOfWeek() <= 5;
            const bool tradingDay = day == firstDay || day == lastDay ||
                                    (weekday ? random.bounded(20) != 0 : random.bounded(200) == 0);
            if (tradingDay) {
                days[day.toString(Qt::ISODate).toStdString()] = Kit::makeDay(
                    day.toString(Qt::ISODate).toStdString(), static_cast<int>(random.bounded(4)));
            }
        }
        days["not a date"] = Kit::makeDay("not a date", 1);
        days["2030-02-30"] = Kit::makeDay("2030-02-30", 1);
        const CTradingCalendar calendar(days);
        const CDayWalk walk(days);
        QCOMPARE(calendar.firstStoredDay(), firstDay);
        QCOMPARE(calendar.lastStoredDay(), lastDay);
        QVERIFY(!calendar.covers(firstDay.addDays(-1)) && !calendar.covers(lastDay.addDays(1)));

        for (int probe = 0; probe < 3000; ++probe) {
            const QDate day =
                firstDay.addDays(random.bounded(static_cast<int>(firstDay.daysTo(lastDay)) + 1));
            const QDate other = day.addDays(random.bounded(60) - 10);
            const int count = static_cast<int>(random.bounded(1, 12));
            const auto record = days.find(day.toString(Qt::ISODate).toStdString());
            QVERIFY(calendar.covers(day));
            QCOMPARE(calendar.isTradingDay(day), walk.isTradingDay(day));
            QCOMPARE(calendar.sessionFlags(day), record == days.end() ? -1 : record->second->sessionFlags);
            QCOMPARE(texts(calendar.next(day, count)), walk.walk(day, 1, count));
            QCOMPARE(texts(calendar.previous(day, count)), walk.walk(day, -1, count));
            QCOMPARE(texts(calendar.range(day, other)), walk.range(day, other));
            QCOMPARE(calendar.count(day, other), walk.range(day, other).size());
        }
    }

    void anEmptySetCoversNothing()
    {
        const CTradingCalendar calendar{TradeDateMap()};
        QVERIFY(calendar.isEmpty() && !calendar.covers(QDate(2026, 8, 3)));
        QVERIFY(calendar.next(QDate(2026, 8, 3), 1).empty() &&
                calendar.previous(QDate(2026, 8, 3), 1).empty());
    }
};

QTEST_GUILESS_MAIN(TestTradingCalendar)
#include "tst_tradingcalendar.moc"
