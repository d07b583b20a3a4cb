#include "CCalendarExport.h"

#include "CTradingCalendar.h"

#include "records/CItsmMarketTradeDateInfo.h"

#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace IMC {
namespace {

const QString csvFormat = QStringLiteral("csv");
const QString jsonFormat = QStringLiteral("json");
const int foldAfterOctets = 75;

QString textOf(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

} // namespace

const QStringList CCalendarExport::formats = {csvFormat, jsonFormat, QStringLiteral("ics")};

QByteArray CCalendarExport::render(const QString& format, const TradeDateMap& days,
                                   const CStoreRevision& revision, const QString& subjectKey,
                                   const QString& title)
{
    if (format == csvFormat) {
        return csv(days);
    }
    if (format == jsonFormat) {
        return json(days, revision, title);
    }
    return ics(days, revision, subjectKey, title);
}

QByteArray CCalendarExport::csv(const TradeDateMap& days)
{
    // No line break after the last line: the upload reads a final empty line as a malformed line.
    QStringList lines(QStringLiteral("日期,是否交易日"));
    for (const auto& day : days) {
        lines << textOf(day.first) + QStringLiteral(",1");
    }
    return lines.join(QLatin1Char('\n')).toUtf8();
}

QByteArray CCalendarExport::json(const TradeDateMap& days, const CStoreRevision& revision,
                                 const QString& title)
{
    QJsonArray tradingDays;
    for (const auto& day : days) {
        tradingDays.append(
            QJsonObject{{QStringLiteral("date"), textOf(day.first)},
                        {QStringLiteral("sessions"), day.second ? day.second->sessionFlags : 0}});
    }
    const QJsonObject document{{QStringLiteral("calendar"), title},
                               {QStringLiteral("revision"), revision.id},
                               {QStringLiteral("tradingDays"), tradingDays}};
    return QJsonDocument(document).toJson(QJsonDocument::Indented);
}

QByteArray CCalendarExport::ics(const TradeDateMap& days, const CStoreRevision& revision,
                                const QString& subjectKey, const QString& title)
{
    // The revision's time, so that exporting the same state twice gives the same file.
    const QString stamp =
        (revision.id > 0 ? revision.savedAt.toUTC() : QDateTime::fromSecsSinceEpoch(0, Qt::UTC))
            .toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    QByteArray file;
    for (const QString& line :
         {QStringLiteral("BEGIN:VCALENDAR"), QStringLiteral("VERSION:2.0"),
          QStringLiteral("PRODID:-//PanelSystemTradingDay//tradingday-ctl//ZH"),
          QStringLiteral("CALSCALE:GREGORIAN"),
          QStringLiteral("X-WR-CALNAME:") + escapedText(title + QStringLiteral(" 休市日"))}) {
        file += contentLine(line);
    }
    const CTradingCalendar calendar(days);
    for (QDate day = calendar.firstStoredDay(); day.isValid() && day <= calendar.lastStoredDay();
         day = day.addDays(1)) {
        if (day.dayOfWeek() > 5 || calendar.isTradingDay(day)) {
            continue;
        }
        const QString date = day.toString(QStringLiteral("yyyyMMdd"));
        for (const QString& line :
             {QStringLiteral("BEGIN:VEVENT"), QStringLiteral("UID:%1-%2@tradingday").arg(date, subjectKey),
              QStringLiteral("DTSTAMP:") + stamp, QStringLiteral("DTSTART;VALUE=DATE:") + date,
              QStringLiteral("DTEND;VALUE=DATE:") + day.addDays(1).toString(QStringLiteral("yyyyMMdd")),
              QStringLiteral("SUMMARY:休市"), QStringLiteral("TRANSP:TRANSPARENT"),
              QStringLiteral("END:VEVENT")}) {
            file += contentLine(line);
        }
    }
    file += contentLine(QStringLiteral("END:VCALENDAR"));
    return file;
}

QByteArray CCalendarExport::contentLine(const QString& line)
{
    const QByteArray bytes = line.toUtf8();
    QByteArray folded;
    int lineOctets = 0;
    for (int i = 0; i < bytes.size();) {
        // A UTF-8 sequence stays whole: its length from its lead byte.
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (lineOctets + length > foldAfterOctets) {
            folded += "\r\n ";
            lineOctets = 1;
        }
        folded += bytes.mid(i, length);
        lineOctets += length;
        i += length;
    }
    return folded + "\r\n";
}

QString CCalendarExport::escapedText(const QString& text)
{
    QString escaped;
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char(';') || c == QLatin1Char(',')) {
            escaped += QLatin1Char('\\');
        }
        escaped += c == QLatin1Char('\n') ? QStringLiteral("\\n") : QString(c);
    }
    return escaped;
}

} // namespace IMC
