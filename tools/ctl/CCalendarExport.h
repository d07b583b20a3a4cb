#pragma once

#include "CStoreRevision.h"

#include "records/TradeDateMap.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace IMC {

// A market's (or exchange's) day set as a file: "csv", the upload's own format (header "日期,是否交易日", one
// "date,1" line per trading day, no line break after the last, so it can be uploaded again); "json", the days
// with their sessions; "ics", an iCalendar file (RFC 5545) with one all-day event "休市" per weekday from the
// first to the last stored day that is not a trading day, for people's desk calendars.
class CCalendarExport
{
public:
    static const QStringList formats;

    // revision: the one that made days (id 0 when none); subjectKey: ASCII, names the market in each event's
    // UID, which therefore stays the same across exports; title: the calendar's name.
    static QByteArray render(const QString& format, const TradeDateMap& days, const CStoreRevision& revision,
                             const QString& subjectKey, const QString& title);

private:
    static QByteArray csv(const TradeDateMap& days);
    static QByteArray json(const TradeDateMap& days, const CStoreRevision& revision, const QString& title);
    static QByteArray ics(const TradeDateMap& days, const CStoreRevision& revision, const QString& subjectKey,
                          const QString& title);
    // One content line, folded after 75 octets without splitting a UTF-8 sequence, ending in CRLF.
    static QByteArray contentLine(const QString& line);
    static QString escapedText(const QString& text);
};

} // namespace IMC
