#include "spreadsheet/CCellTextFormatter.h"

#include <QDate>

#include <charconv>
#include <cmath>

namespace XP {
namespace {

constexpr double millisecondsPerDay = 86400000.0;
constexpr double lastSerial1900 = 2958465.0; // 9999-12-31
constexpr double lastSerial1904 = lastSerial1900 - 1462.0;

// Julian day numbers of the days before serial 1 of each date system (serial 0 of the 1904 system).
const qint64 day0Of1900 = QDate(1899, 12, 31).toJulianDay();
const qint64 day0Of1904 = QDate(1904, 1, 1).toJulianDay();

void writeDigits(char* out, int value, int width)
{
    for (int i = width - 1; i >= 0; --i, value /= 10) {
        out[i] = static_cast<char>('0' + value % 10);
    }
}

// The month of the day last formatted on this thread: the days of a sheet mostly follow one another, so the
// calendar is asked once a month rather than once a cell.
struct MonthOfDays
{
    qint64 firstDay = 1;
    qint64 lastDay = 0;
    int year = 0;
    int month = 0;

    void moveTo(qint64 julianDay)
    {
        int day = 0;
        const QDate date = QDate::fromJulianDay(julianDay);
        date.getDate(&year, &month, &day);
        firstDay = julianDay - day + 1;
        lastDay = firstDay + date.daysInMonth() - 1;
    }
};

// Years run from 1900 to 9999 here, so four digits always do.
std::string formatDate(qint64 julianDay)
{
    thread_local MonthOfDays month;
    if (julianDay < month.firstDay || julianDay > month.lastDay) {
        month.moveTo(julianDay);
    }
    std::string text(10, '-');
    writeDigits(&text[0], month.year, 4);
    writeDigits(&text[5], month.month, 2);
    writeDigits(&text[8], static_cast<int>(julianDay - month.firstDay + 1), 2);
    return text;
}

bool isHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// Escapes decode to UTF-16 code units, so a surrogate pair written as two escapes joins up.
QString decodedEscapes(const QString& text)
{
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

std::string CCellTextFormatter::dateText(double serial, bool date1904, bool* ok)
{
    *ok = false;
    if (!std::isfinite(serial) || serial < (date1904 ? 0.0 : 1.0) ||
        serial >= (date1904 ? lastSerial1904 : lastSerial1900) + 1.0) {
        return std::string();
    }
    const double milliseconds = std::round(serial * millisecondsPerDay);
    const auto day = static_cast<qint64>(std::floor(milliseconds / millisecondsPerDay));
    if (date1904 ? day > lastSerial1904 : day > lastSerial1900) {
        return std::string();
    }
    *ok = true;
    if (date1904) {
        return formatDate(day0Of1904 + day);
    }
    // The 1900 system counts a 29 February 1900 that never was; spreadsheet applications show it.
    if (day == 60) {
        return "1900-02-29";
    }
    return formatDate(day0Of1900 + (day < 60 ? day : day - 1));
}

std::string CCellTextFormatter::numberText(double value)
{
    if (std::isfinite(value) && std::fabs(value) < 1e15 && value == std::floor(value)) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, static_cast<qint64>(value)).ptr;
        return std::string(digits, end);
    }
    return QString::number(value, 'g', 15).toStdString();
}

std::string CCellTextFormatter::booleanText(bool value)
{
    return value ? "TRUE" : "FALSE";
}

std::string CCellTextFormatter::decodeEscapes(std::string text)
{
    if (text.find("_x") == std::string::npos) {
        return text;
    }
    return decodedEscapes(QString::fromStdString(text)).toStdString();
}

} // namespace XP
