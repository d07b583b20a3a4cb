#include "upload/CTradeDateFileReader.h"

#include "data/CTradeDateRecords.h"
#include "spreadsheet/CExcelReader.h"
#include "spreadsheet/COdbcExcelReader.h"
#include "utils/FileHelper.h"
#include "utils/GbkConversion.h"
#include "utils/StringConversion.h"

#include <QFileInfo>

#include <algorithm>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace IMC {
namespace {

constexpr int daySessionOnly = 1;

// The date field: its UTF-8 bytes up to the first zero byte.
std::string_view dateOf(std::string_view field)
{
    return field.substr(0, field.find('\0'));
}

// The file's text once its conversion is done. Bytes that are still not UTF-8 (a file neither in UTF-8,
// nor in clean GB18030, nor in UTF-16 with its byte order mark) are taken as XP::sToQs takes them: every
// invalid sequence becomes U+FFFD, so no line, and no date key made of it, carries bytes that are not UTF-8.
std::string asUtf8(std::string content)
{
    if (utils::isValidUtf8(content)) {
        return content;
    }
    return XP::sToQs(content).toStdString();
}

} // namespace

const QString CTradeDateFileReader::openFailedText = QStringLiteral("文件打开失败");
const QString CTradeDateFileReader::lineFormatText = QStringLiteral("第 %1 行文件格式错误");

bool CTradeDateFileReader::isWorkbookPath(const QString& path)
{
    const QString suffix = QFileInfo(path).completeSuffix();
    return suffix == QLatin1String("xls") || suffix == QLatin1String("xlsx");
}

bool CTradeDateFileReader::readLines(const QString& path, CTradeDateLines& lines)
{
    lines.setRows(QStringList(), QLatin1Char(','));
    if (!isWorkbookPath(path)) {
        return readText(path, lines);
    }
    return readWorkbookInProcess(path, lines) || readWorkbookThroughApplication(path, lines);
}

bool CTradeDateFileReader::readWorkbookInProcess(const QString& path, CTradeDateLines& lines)
{
    const auto reader = std::make_unique<XP::COdbcExcelReader>(nullptr);
    QStringList rows;
    if (!reader->open(path, rows, false)) {
        return false;
    }
    reader->close();
    lines.setRows(rows, QLatin1Char('\t'));
    return true;
}

bool CTradeDateFileReader::readWorkbookThroughApplication(const QString& path, CTradeDateLines& lines)
{
    const auto reader = std::make_unique<XP::CExcelReader>(nullptr);
    if (!reader->init(false) || !reader->isValid() || !reader->open(path)) {
        return false;
    }
    const int firstRow = reader->getSheetStartRow(1);
    const int lastRow = reader->getSheetRowCount(1);
    const int firstColumn = reader->getSheetStartCol(1);
    const int lastColumn = reader->getSheetColCount(1);
    QStringList rows;
    for (int row = firstRow; row <= lastRow; ++row) {
        QStringList fields;
        for (int column = firstColumn; column <= lastColumn; ++column) {
            fields.append(reader->getData(1, row, column, false));
        }
        rows.append(fields.join(QLatin1Char(',')));
    }
    reader->close();
    reader->exitExcel();
    lines.setRows(rows, QLatin1Char(','));
    return true;
}

bool CTradeDateFileReader::readText(const QString& path, CTradeDateLines& lines)
{
    std::string systemPath = path.toUtf8().toStdString();
    utils::safeUtf82GbkOrigin(systemPath);
    std::string content;
    if (!utils::FileHelper::open(systemPath, content)) {
        return false;
    }
    if (utils::isGBKCode(content)) {
        utils::safeGbk2Utf8(content);
    }
    lines.setText(asUtf8(std::move(content)), QLatin1Char(','));
    return true;
}

int CTradeDateFileReader::markedDates(const CTradeDateLines& lines, std::vector<std::string_view>& dates)
{
    dates.clear();
    // Room for every line at once: growing step by step would touch twice the memory the dates take.
    dates.reserve(lines.knownLineCount());
    // Files list their days in order, or in runs of order (a calendar uploaded twice over): a date is new at
    // the end, or found at or right after the last one found, before any search. A new date that falls
    // inside the ones seen waits in late; none of those can come into dates later, as dates only grows at
    // its end with greater ones.
    std::vector<std::string_view> late;
    std::size_t last = 0;
    const auto mark = [&](std::string_view date) {
        if (dates.empty() || dates.back() < date) {
            dates.push_back(date);
            last = dates.size() - 1;
            return;
        }
        if (dates[last] == date) {
            return;
        }
        if (last + 1 < dates.size() && dates[last + 1] == date) {
            ++last;
            return;
        }
        const auto found = std::lower_bound(dates.begin(), dates.end(), date);
        if (*found == date) {
            last = static_cast<std::size_t>(found - dates.begin());
        } else {
            late.push_back(date);
        }
    };
    const char separator = lines.separator().toLatin1();
    int badLine = 0;
    lines.forEachLine([&](int index, std::string_view line) {
        if (index == 0) {
            return true; // the header is never looked at
        }
        const std::size_t split = line.find(separator);
        if (split == std::string_view::npos || line.find(separator, split + 1) != std::string_view::npos) {
            badLine = index + 1;
            return false;
        }
        if (line.substr(split + 1) == "1") {
            mark(dateOf(line.substr(0, split)));
        }
        return true;
    });
    std::sort(late.begin(), late.end());
    late.erase(std::unique(late.begin(), late.end()), late.end());
    const auto middle = dates.insert(dates.end(), late.begin(), late.end());
    std::inplace_merge(dates.begin(), middle, dates.end());
    return badLine;
}

int CTradeDateFileReader::makeRecords(const CTradeDateLines& lines, TradeDateMap& tradeDates)
{
    std::vector<std::string_view> dates;
    const int badLine = markedDates(lines, dates);
    // The dates ascend: into an empty map, or past its last date, each goes in at the end without a search.
    for (const std::string_view date : dates) {
        const std::string key(date);
        tradeDates.insert_or_assign(tradeDates.end(), key, CTradeDateRecords::makeDay(key, daySessionOnly));
    }
    return badLine;
}

QString CTradeDateFileReader::lineFormatMessage(int lineNumber)
{
    return lineFormatText.arg(lineNumber);
}

} // namespace IMC
