#include "spreadsheet/CSheetAnswer.h"

#include "spreadsheet/CSheetAnswerReader.h"
#include "spreadsheet/CSheetAnswerWriter.h"

namespace XP {

QByteArray CSheetAnswer::encode(CSheetTable& table)
{
    QByteArray answer;
    CSheetAnswerWriter writer([&answer](const char* data, std::size_t size) {
        answer.append(data, static_cast<int>(size));
        return true;
    });
    table.forEachCell(
        [&writer](int row, int column, std::string_view utf8) { writer.setCell(row, column, utf8); });
    writer.finish();
    return answer;
}

bool CSheetAnswer::decode(const QByteArray& answer, CSheetTable& table)
{
    table = CSheetTable();
    CSheetAnswerReader reader(table);
    const bool read =
        reader.feed(answer.constData(), static_cast<std::size_t>(answer.size())) && reader.finish();
    if (!read) {
        table = CSheetTable();
    }
    return read;
}

} // namespace XP
