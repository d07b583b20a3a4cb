#include "upload/CTradeDateFileReader.h"

#include "data/CTradeDateRecords.h"
#include "spreadsheet/CExcelReader.h"
#include "spreadsheet/COdbcExcelReader.h"
#include "utils/FileHelper.h"
#include "utils/GbkConversion.h"
#include "utils/StringConversion.h"

#include <QFileInfo>

#include <memory>

namespace IMC {
namespace {

constexpr int daySessionOnly = 1;

} // namespace

const QString CTradeDateFileReader::openFailedText = QStringLiteral("文件打开失败");
const QString CTradeDateFileReader::lineFormatText = QStringLiteral("第 %1 行文件格式错误");

bool CTradeDateFileReader::isWorkbookPath(const QString& path)
{
    const QString suffix = QFileInfo(path).completeSuffix();
    return suffix == QLatin1String("xls") || suffix == QLatin1String("xlsx");
}

bool CTradeDateFileReader::readLines(const QString& path, QStringList& lines, QChar& separator)
{
    lines.clear();
    if (!isWorkbookPath(path)) {
        separator = QLatin1Char(',');
        return readText(path, lines);
    }
    if (readWorkbookInProcess(path, lines)) {
        separator = QLatin1Char('\t');
        return true;
    }
    separator = QLatin1Char(',');
    return readWorkbookThroughApplication(path, lines);
}

bool CTradeDateFileReader::readWorkbookInProcess(const QString& path, QStringList& lines)
{
    const auto reader = std::make_unique<XP::COdbcExcelReader>(nullptr);
    const bool read = reader->open(path, lines, false);
    if (read) {
        reader->close();
    }
    return read;
}

bool CTradeDateFileReader::readWorkbookThroughApplication(const QString& path, QStringList& lines)
{
    const auto reader = std::make_unique<XP::CExcelReader>(nullptr);
    if (!reader->init(false) || !reader->isValid() || !reader->open(path)) {
        return false;
    }
    const int firstRow = reader->getSheetStartRow(1);
    const int lastRow = reader->getSheetRowCount(1);
    const int firstColumn = reader->getSheetStartCol(1);
    const int lastColumn = reader->getSheetColCount(1);
    for (int row = firstRow; row <= lastRow; ++row) {
        QStringList fields;
        for (int column = firstColumn; column <= lastColumn; ++column) {
            fields.append(reader->getData(1, row, column, false));
        }
        lines.append(fields.join(QLatin1Char(',')));
    }
    reader->close();
    reader->exitExcel();
    return true;
}

bool CTradeDateFileReader::readText(const QString& path, QStringList& lines)
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
    lines = XP::sToQs(content).split(QLatin1Char('\n'), Qt::KeepEmptyParts);
    return true;
}

int CTradeDateFileReader::makeRecords(const QStringList& lines, QChar separator, TradeDateMap& tradeDates)
{
    for (int i = 1; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        const int split = line.indexOf(separator);
        if (split < 0 || line.indexOf(separator, split + 1) >= 0) {
            return i + 1;
        }
        if (line.midRef(split + 1) == QLatin1String("1")) {
            const QByteArray date = line.left(split).toUtf8();
            CTradeDateRecords::putDay(tradeDates, std::string(date.constData()), daySessionOnly);
        }
    }
    return 0;
}

QString CTradeDateFileReader::lineFormatMessage(int lineNumber)
{
    return lineFormatText.arg(lineNumber);
}

} // namespace IMC
