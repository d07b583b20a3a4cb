// Whole workbooks through the sheet reader helper's entry (file on disk, kind, ZIP or compound file, parts,
// sheet) and its answer back into a sheet, as the upload takes them.
#include "spreadsheet/CSheetAnswer.h"
#include "spreadsheet/CSheetTable.h"
#include "spreadsheet/CWorkbookParser.h"

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
    if (XP::CWorkbookParser::parse(path, table)) {
        XP::CSheetTable answered;
        // What the helper writes, the host must read back.
        if (!XP::CSheetAnswer::decode(XP::CSheetAnswer::encode(table), answered)) {
            __builtin_trap();
        }
        QStringList lines;
        answered.toLines(lines, QLatin1Char('\t'));
    }
    return 0;
}
