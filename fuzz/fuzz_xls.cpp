// .xls workbooks through our own compound-file and BIFF8 code, in memory.
#include "spreadsheet/CSheetTable.h"
#include "spreadsheet/CXlsWorkbookReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t length)
{
    const QByteArray file =
        QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), static_cast<int>(length));
    XP::CSheetTable table;
    if (XP::CXlsWorkbookReader::readBiff8(file, table) == XP::CXlsWorkbookReader::Outcome::Read) {
        QStringList lines;
        table.toLines(lines, QLatin1Char('\t'));
    }
    return 0;
}
