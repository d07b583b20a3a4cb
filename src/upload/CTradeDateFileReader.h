#pragma once

#include "records/TradeDateMap.h"
#include "upload/CTradeDateLines.h"

#include <QChar>
#include <QString>
#include <QStringList>

#include <string_view>
#include <vector>

namespace IMC {

// Reads a trading-day file and turns its lines into day records: the upload dialog's rules, shared
// with the command-line reader. A file holds a header line and lines of two fields, a date text and a
// flag; every line flagged "1" becomes a trading day with the day session.
class CTradeDateFileReader
{
public:
    static const QString openFailedText; // "文件打开失败"
    static const QString lineFormatText; // "第 %1 行文件格式错误"

    // A workbook when the complete suffix is exactly "xls" or "xlsx" (case matters); anything else is
    // read as text.
    static bool isWorkbookPath(const QString& path);

    // Reads the file into lines: a workbook through the in-process reader, else through the
    // spreadsheet application (fields separated by a tab or by "," respectively); a text file split at
    // every line feed, keeping empty pieces (fields separated by ","). False when the file cannot be
    // read: missing, too large, or a workbook that neither way can read.
    static bool readLines(const QString& path, CTradeDateLines& lines);

    // The dates of the lines after the header whose second field is exactly "1" (each date's UTF-8 bytes up
    // to its first zero byte), each once and in ascending order, viewing into lines. Returns 0 when every
    // line has exactly two fields, else the number (counted from 1, the header being 1) of the first line
    // that has not; dates holds those of the lines before it.
    static int markedDates(const CTradeDateLines& lines, std::vector<std::string_view>& dates);

    // Puts a new trading-day record with the day session into tradeDates for every marked date, replacing
    // any record the date had. Returns what markedDates returns; on a bad line, the lines before it have
    // been applied.
    static int makeRecords(const CTradeDateLines& lines, TradeDateMap& tradeDates);

    static QString lineFormatMessage(int lineNumber);

private:
    static bool readWorkbookInProcess(const QString& path, CTradeDateLines& lines);
    static bool readWorkbookThroughApplication(const QString& path, CTradeDateLines& lines);
    static bool readText(const QString& path, CTradeDateLines& lines);
};

} // namespace IMC
