// What the host reads from the sheet reader helper's output, which a broken helper may have garbled.
#include "spreadsheet/CSheetAnswer.h"
#include "spreadsheet/CSheetTable.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t length)
{
    const QByteArray answer =
        QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), static_cast<int>(length));
    XP::CSheetTable table;
    if (XP::CSheetAnswer::decode(answer, table)) {
        QStringList lines;
        table.toLines(lines, QLatin1Char('\t'));
    }
    return 0;
}
