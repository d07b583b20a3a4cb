#include "CCalendarQuery.h"

#include "CCtlException.h"
#include "CStoreCtl.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace IMC {
namespace {

const QString isTradingDayCommand = QStringLiteral("is-trading-day");
const QString sessionsCommand = QStringLiteral("sessions");
const QString nextCommand = QStringLiteral("next");
const QString previousCommand = QStringLiteral("previous");
const QString rangeCommand = QStringLiteral("range");
const QString countCommand = QStringLiteral("count");
const QString jsonFormat = QStringLiteral("json");
const QString csvFormat = QStringLiteral("csv");

const int daySession = 1;
const int nightSession = 2;

QString dateText(const QDate& day)
{
    return day.toString(Qt::ISODate);
}

QString sessionsText(int flags)
{
    if (flags < 0) {
        return QStringLiteral("非交易日");
    }
    QStringList sessions;
    if (flags & daySession) {
        sessions << QStringLiteral("日盘");
    }
    if (flags & nightSession) {
        sessions << QStringLiteral("夜盘");
    }
    return sessions.isEmpty() ? QStringLiteral("无") : sessions.join(QStringLiteral("和"));
}

QString json(const QJsonObject& object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

} // namespace

const QStringList CCalendarQuery::commands = {isTradingDayCommand, sessionsCommand, nextCommand,
                                              previousCommand,     rangeCommand,    countCommand};
const QStringList CCalendarQuery::formats = {QStringLiteral("text"), jsonFormat, csvFormat};

CCalendarQuery::CCalendarQuery(const QString& command, const QStringList& arguments, int count,
                               const QString& format, long long revision)
    : command(command)
    , arguments(arguments)
    , count(count)
    , format(format)
    , revision(revision)
{}

void CCalendarQuery::checkArguments() const
{
    for (int position = 0; position < arguments.size(); ++position) {
        date(position);
    }
    if ((command == rangeCommand || command == countCommand) && date(1) < date(0)) {
        throw CCtlException(CStoreCtl::ExitUsage,
                            QStringLiteral("结束日期 %1 早于开始日期 %2").arg(arguments[1], arguments[0]));
    }
}

QDate CCalendarQuery::date(int position) const
{
    const QDate day = CTradingCalendar::dayOf(arguments.value(position));
    if (!day.isValid()) {
        throw CCtlException(CStoreCtl::ExitUsage,
                            QStringLiteral("日期应为 yyyy-MM-dd，收到: %1").arg(arguments.value(position)));
    }
    return day;
}

void CCalendarQuery::requireCovered(const CTradingCalendar& calendar, const QDate& day) const
{
    if (calendar.isEmpty()) {
        throw CCtlException(CStoreCtl::ExitBeyondData, QStringLiteral("该市场没有已存的交易日"));
    }
    if (!calendar.covers(day)) {
        throw CCtlException(
            CStoreCtl::ExitBeyondData,
            QStringLiteral("日期 %1 超出已存交易日的范围（%2 至 %3）")
                .arg(dateText(day), dateText(calendar.firstStoredDay()), dateText(calendar.lastStoredDay())));
    }
}

int CCalendarQuery::answer(const CTradingCalendar& calendar, QTextStream& out) const
{
    for (int position = 0; position < arguments.size(); ++position) {
        requireCovered(calendar, date(position));
    }
    if (command == isTradingDayCommand || command == sessionsCommand) {
        return answerDay(calendar, out);
    }
    if (command == countCommand) {
        const int found = calendar.count(date(0), date(1));
        if (format == jsonFormat) {
            out << json({{QStringLiteral("revision"), revision}, {QStringLiteral("count"), found}}) << '\n';
        } else {
            out << (format == csvFormat ? QStringLiteral("交易日数\n") : QString()) << found << '\n';
        }
        return 0;
    }
    if (command == rangeCommand) {
        answerDates(calendar.range(date(0), date(1)), out);
        return 0;
    }
    const bool forward = command == nextCommand;
    const std::vector<QDate> found =
        forward ? calendar.next(date(0), count) : calendar.previous(date(0), count);
    if (static_cast<int>(found.size()) < count) {
        throw CCtlException(
            CStoreCtl::ExitBeyondData,
            QStringLiteral("%1%2已存的交易日不足 %3 个（已存 %4 至 %5）")
                .arg(arguments[0], forward ? QStringLiteral(" 之后") : QStringLiteral(" 之前"))
                .arg(count)
                .arg(dateText(calendar.firstStoredDay()), dateText(calendar.lastStoredDay())));
    }
    answerDates(found, out);
    return 0;
}

int CCalendarQuery::answerDay(const CTradingCalendar& calendar, QTextStream& out) const
{
    const QDate day = date(0);
    const int flags = calendar.sessionFlags(day);
    const bool trading = flags >= 0;
    const bool sessions = command == sessionsCommand;
    if (format == jsonFormat) {
        QJsonObject answer{{QStringLiteral("revision"), revision},
                           {QStringLiteral("date"), dateText(day)},
                           {QStringLiteral("tradingDay"), trading}};
        if (sessions) {
            answer.insert(QStringLiteral("daySession"), trading && (flags & daySession));
            answer.insert(QStringLiteral("nightSession"), trading && (flags & nightSession));
        }
        out << json(answer) << '\n';
    } else if (format == csvFormat) {
        if (sessions) {
            out << QStringLiteral("日期,日盘,夜盘\n%1,%2,%3\n")
                       .arg(dateText(day))
                       .arg(trading && (flags & daySession) ? 1 : 0)
                       .arg(trading && (flags & nightSession) ? 1 : 0);
        } else {
            out << QStringLiteral("日期,是否交易日\n%1,%2\n").arg(dateText(day)).arg(trading ? 1 : 0);
        }
    } else {
        out << (sessions  ? sessionsText(flags)
                : trading ? QStringLiteral("是")
                          : QStringLiteral("否"))
            << '\n';
    }
    return !sessions && !trading ? 1 : 0;
}

void CCalendarQuery::answerDates(const std::vector<QDate>& dates, QTextStream& out) const
{
    if (format == jsonFormat) {
        QJsonArray texts;
        for (const QDate& day : dates) {
            texts.append(dateText(day));
        }
        out << json({{QStringLiteral("revision"), revision}, {QStringLiteral("dates"), texts}}) << '\n';
        return;
    }
    if (format == csvFormat) {
        out << QStringLiteral("日期\n");
    }
    for (const QDate& day : dates) {
        out << dateText(day) << '\n';
    }
}

} // namespace IMC
