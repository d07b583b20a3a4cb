#include "upload/CTradeDateFileReader.h"

#include "data/CTradeDateRecords.h"
#include "spreadsheet/CExcelReader.h"
#include "spreadsheet/COdbcExcelReader.h"
#include "utils/FileHelper.h"
#include "utils/GbkConversion.h"
#include "utils/StringConversion.h"

#include <QFileInfo>

#include <memory>
#include <vector>

namespace IMC {
namespace {

constexpr int daySessionOnly = 1;

// The UTF-8 bytes of a date field, up to the first zero byte; plain ASCII dates are copied directly.
std::string dateKey(const QStringRef& field)
{
    std::string key;
    key.reserve(static_cast<std::size_t>(field.size()));
    for (const QChar c : field) {
        if (c.unicode() == 0 || c.unicode() >= 0x80) {
            const QByteArray bytes = field.toUtf8();
            return std::string(bytes.constData());
        }
        key += static_cast<char>(c.unicode());
    }
    return key;
}

// The entry for key, and whether it was added (with an empty record). Sorted files find their place
// next to the previous date's entry without a search.
std::pair<TradeDateMap::iterator, bool> findOrAdd(TradeDateMap& tradeDates, const std::string& key,
                                                  TradeDateMap::iterator previous)
{
    if (previous != tradeDates.end()) {
        const auto next = std::next(previous);
        if (next != tradeDates.end() && next->first == key) {
            return {next, false};
        }
        if (previous->first == key) {
            return {previous, false};
        }
        if (previous->first < key && (next == tradeDates.end() || key < next->first)) {
            return {tradeDates.emplace_hint(next, key, nullptr), true};
        }
    }
    const auto found = tradeDates.lower_bound(key);
    if (found != tradeDates.end() && found->first == key) {
        return {found, false};
    }
    return {tradeDates.emplace_hint(found, key, nullptr), true};
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
    lines.setText(XP::sToQs(content), QLatin1Char(','));
    return true;
}

int CTradeDateFileReader::makeRecords(const CTradeDateLines& lines, TradeDateMap& tradeDates)
{
    const QChar separator = lines.separator();
    // Days are marked while the lines are checked and made into records at the end, once per date:
    // a date that comes again replaces its record, so only its last line's record would survive.
    std::vector<TradeDateMap::iterator> marked;
    auto previous = tradeDates.end();
    int badLine = 0;
    lines.forEachLine([&](int index, const QStringRef& line) {
        if (index == 0) {
            return true; // the header is never looked at
        }
        const int split = line.indexOf(separator);
        if (split < 0 || line.indexOf(separator, split + 1) >= 0) {
            badLine = index + 1;
            return false;
        }
        if (line.mid(split + 1) == QLatin1String("1")) {
            const auto entry = findOrAdd(tradeDates, dateKey(line.left(split)), previous);
            previous = entry.first;
            // An entry without a record is new or already marked; one with a record gets a new one.
            if (entry.second || previous->second) {
                previous->second.reset();
                marked.push_back(previous);
            }
        }
        return true;
    });
    for (auto entry : marked) {
        entry->second = CTradeDateRecords::makeDay(entry->first, daySessionOnly);
    }
    return badLine;
}

QString CTradeDateFileReader::lineFormatMessage(int lineNumber)
{
    return lineFormatText.arg(lineNumber);
}

} // namespace IMC
