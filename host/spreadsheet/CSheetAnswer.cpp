#include "spreadsheet/CSheetAnswer.h"

#include <QTextCodec>
#include <QtEndian>

namespace XP {
namespace {

const QByteArray magic = QByteArrayLiteral("TDSHEET1");
const int headerSize = 12;
// Rows and columns beyond what any spreadsheet application writes.
const quint32 maxRow = 1048576;
const quint32 maxColumn = 16384;

void appendNumber(QByteArray& answer, quint32 number)
{
    char bytes[4];
    qToLittleEndian(number, bytes);
    answer.append(bytes, 4);
}

quint32 numberAt(const QByteArray& answer, int offset)
{
    return qFromLittleEndian<quint32>(answer.constData() + offset);
}

} // namespace

QByteArray CSheetAnswer::encode(CSheetTable& table)
{
    QByteArray answer = magic;
    quint32 cells = 0;
    table.forEachCell([&](int row, int column, const QString& text) {
        const QByteArray utf8 = text.toUtf8();
        appendNumber(answer, static_cast<quint32>(row));
        appendNumber(answer, static_cast<quint32>(column));
        appendNumber(answer, static_cast<quint32>(utf8.size()));
        answer += utf8;
        ++cells;
    });
    appendNumber(answer, 0);
    appendNumber(answer, 0);
    appendNumber(answer, cells);
    return answer;
}

bool CSheetAnswer::decode(const QByteArray& answer, CSheetTable& table)
{
    table = CSheetTable();
    if (!answer.startsWith(magic)) {
        return false;
    }
    QTextCodec* utf8 = QTextCodec::codecForName("UTF-8");
    quint32 cells = 0;
    for (int offset = magic.size(); answer.size() - offset >= headerSize;) {
        const quint32 row = numberAt(answer, offset);
        const quint32 column = numberAt(answer, offset + 4);
        const quint32 length = numberAt(answer, offset + 8);
        offset += headerSize;
        if (row == 0 && column == 0) {
            const bool complete = length == cells && offset == answer.size();
            if (!complete) {
                table = CSheetTable();
            }
            return complete;
        }
        QTextCodec::ConverterState state(QTextCodec::ConvertInvalidToNull);
        const bool fits = row >= 1 && row <= maxRow && column >= 1 && column <= maxColumn && length > 0 &&
                          length <= static_cast<quint32>(answer.size() - offset);
        const QString text =
            fits ? utf8->toUnicode(answer.constData() + offset, static_cast<int>(length), &state) : QString();
        if (!fits || state.invalidChars > 0 || state.remainingChars > 0 ||
            !table.setCell(static_cast<int>(row), static_cast<int>(column), text)) {
            table = CSheetTable();
            return false;
        }
        offset += static_cast<int>(length);
        ++cells;
    }
    table = CSheetTable();
    return false;
}

} // namespace XP
