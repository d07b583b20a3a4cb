// Whole .xlsx packages, through the same path the upload takes (file on disk, ZIP, parts, sheet).
#include "spreadsheet/CSheetTable.h"
#include "spreadsheet/CXlsxWorkbookReader.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t length)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("input.xlsx"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return 0;
    }
    file.write(reinterpret_cast<const char*>(bytes), static_cast<qint64>(length));
    file.close();
    XP::CSheetTable table;
    if (XP::CXlsxWorkbookReader::read(path, table)) {
        QStringList lines;
        table.toLines(lines, QLatin1Char('\t'));
    }
    return 0;
}
