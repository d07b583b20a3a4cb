#pragma once

#include <QString>

#include <string>

namespace XP {

// Turns stored cell values into the text a person sees in a spreadsheet application, in UTF-8: dates as
// "yyyy-MM-dd", whole numbers without a fraction, booleans as TRUE/FALSE. The texts of numbers and dates
// stay within std::string's inline buffer, so a sheet of them is formatted without allocating.
class CCellTextFormatter
{
public:
    // Built-in number formats that show a date: 14-22, 45-47 and the East-Asian 27-36 and 50-58.
    static bool isDateFormatId(int id);

    // A custom format code shows a date when it holds y, m or d outside quotes, brackets and escapes.
    static bool isDateFormatCode(const QString& code);

    // The date of a serial day number in the 1900 or 1904 date system, rounded to the millisecond;
    // ok is false (and the text empty) for serials outside 1900-01-01 (1904-01-01) .. 9999-12-31.
    static std::string dateText(double serial, bool date1904, bool* ok);

    static std::string numberText(double value);

    static std::string booleanText(bool value);

    // Decodes the _xHHHH_ escapes with which spreadsheet files store control characters and
    // characters that XML cannot carry; _x005F_ stands for the underscore itself.
    static std::string decodeEscapes(std::string text);
};

} // namespace XP
