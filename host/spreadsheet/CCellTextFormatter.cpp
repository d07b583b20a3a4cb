#include "spreadsheet/CCellTextFormatter.h"

#include <QDate>

#include <cmath>
#include <cstdio>

namespace XP {
namespace {

constexpr double millisecondsPerDay = 86400000.0;
constexpr double lastSerial1900 = 2958465.0; // 9999-12-31
constexpr double lastSerial1904 = lastSerial1900 - 1462.0;

QString formatDate(int year, int month, int day)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", year, month, day);
    return QString::fromLatin1(buffer);
}

bool isHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

} // namespace

bool CCellTextFormatter::isDateFormatId(int id)
{
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
           (id >= 50 && id <= 58);
}

bool CCellTextFormatter::isDateFormatCode(const QString& code)
{
    for (int i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (c == QLatin1Char('"')) {
            const int close = code.indexOf(QLatin1Char('"'), i + 1);
            if (close < 0) {
                return false;
            }
            i = close;
        } else if (c == QLatin1Char('[')) {
            const int close = code.indexOf(QLatin1Char(']'), i + 1);
            if (close < 0) {
                return false;
            }
            i = close;
        } else if (c == QLatin1Char('\\') || c == QLatin1Char('_') || c == QLatin1Char('*')) {
            ++i; // the next character is shown literally or used as padding
        } else {
            const QChar lower = c.toLower();
            if (lower == QLatin1Char('y') || lower == QLatin1Char('m') || lower == QLatin1Char('d')) {
                return true;
            }
        }
    }
    return false;
}

QString CCellTextFormatter::dateText(double serial, bool date1904, bool* ok)
{
    *ok = false;
    if (!std::isfinite(serial) || serial < (date1904 ? 0.0 : 1.0) ||
        serial >= (date1904 ? lastSerial1904 : lastSerial1900) + 1.0) {
        return QString();
    }
    const double milliseconds = std::round(serial * millisecondsPerDay);
    const auto day = static_cast<qint64>(std::floor(milliseconds / millisecondsPerDay));
    if (date1904 ? day > lastSerial1904 : day > lastSerial1900) {
        return QString();
    }
    *ok = true;
    if (date1904) {
        const QDate date = QDate(1904, 1, 1).addDays(day);
        return formatDate(date.year(), date.month(), date.day());
    }
    // The 1900 system counts a 29 February 1900 that never was; spreadsheet applications show it.
    if (day == 60) {
        return QStringLiteral("1900-02-29");
    }
    const QDate date = day < 60 ? QDate(1899, 12, 31).addDays(day) : QDate(1899, 12, 30).addDays(day);
    return formatDate(date.year(), date.month(), date.day());
}

QString CCellTextFormatter::numberText(double value)
{
    if (std::isfinite(value) && std::fabs(value) < 1e15 && value == std::floor(value)) {
        return QString::number(static_cast<qint64>(value));
    }
    return QString::number(value, 'g', 15);
}

QString CCellTextFormatter::booleanText(bool value)
{
    return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

QString CCellTextFormatter::decodeEscapes(const QString& text)
{
    if (!text.contains(QLatin1String("_x"))) {
        return text;
    }
    QString decoded;
    decoded.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const bool escape = text.at(i) == QLatin1Char('_') && i + 6 < text.size() &&
                            text.at(i + 1) == QLatin1Char('x') && text.at(i + 6) == QLatin1Char('_') &&
                            isHexDigit(text.at(i + 2)) && isHexDigit(text.at(i + 3)) &&
                            isHexDigit(text.at(i + 4)) && isHexDigit(text.at(i + 5));
        if (escape) {
            decoded.append(QChar(text.midRef(i + 2, 4).toUShort(nullptr, 16)));
            i += 6;
        } else {
            decoded.append(text.at(i));
        }
    }
    return decoded;
}

} // namespace XP
