#include "spreadsheet/CSheetAnswerWriter.h"

#include "spreadsheet/CSheetAnswer.h"

#include <QtEndian>

namespace XP {
namespace {

// Large enough that writing costs little per cell, small enough that the host starts reading early.
constexpr std::size_t flushSize = 64 * 1024;

} // namespace

CSheetAnswerWriter::CSheetAnswerWriter(Output output)
    : output(std::move(output))
{
    buffer.reserve(flushSize + CSheetAnswer::recordHeaderSize);
    buffer.append(CSheetAnswer::magic, CSheetAnswer::magicSize);
}

void CSheetAnswerWriter::appendRecord(quint32 row, quint32 column, quint32 size)
{
    char header[CSheetAnswer::recordHeaderSize];
    qToLittleEndian(row, header);
    qToLittleEndian(column, header + 4);
    qToLittleEndian(size, header + 8);
    buffer.append(header, sizeof header);
}

bool CSheetAnswerWriter::setCell(int row, int column, std::string_view utf8)
{
    if (utf8.empty()) {
        return !failed;
    }
    if (failed || ++cells > CSheetTable::maxFields || utf8.size() > CSheetAnswer::maxCellBytes) {
        failed = true;
        return false;
    }
    appendRecord(static_cast<quint32>(row), static_cast<quint32>(column), static_cast<quint32>(utf8.size()));
    buffer.append(utf8);
    return buffer.size() < flushSize || flush();
}

bool CSheetAnswerWriter::finish()
{
    if (failed) {
        return false;
    }
    appendRecord(0, 0, static_cast<quint32>(cells));
    return flush();
}

bool CSheetAnswerWriter::flush()
{
    failed = failed || !output(buffer.data(), buffer.size());
    buffer.clear();
    return !failed;
}

} // namespace XP
