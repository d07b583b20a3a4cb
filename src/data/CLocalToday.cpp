#include "data/CLocalToday.h"

#include <QDateTime>
#include <QTime>

namespace IMC {
namespace {

struct SKnownDay
{
    QDate date;
    qint64 beginsMs = 0;
    qint64 endsMs = 0;
};

} // namespace

QDate CLocalToday::date()
{
    thread_local SKnownDay known;
    const qint64 nowMs = QDateTime::currentMSecsSinceEpoch();
    if (!known.date.isValid() || nowMs < known.beginsMs || nowMs >= known.endsMs) {
        known.date = QDate::currentDate();
        known.beginsMs = QDateTime(known.date, QTime(0, 0)).toMSecsSinceEpoch();
        known.endsMs = QDateTime(known.date.addDays(1), QTime(0, 0)).toMSecsSinceEpoch();
    }
    return known.date;
}

} // namespace IMC
