#include "spreadsheet/CSheetAnswerReader.h"

#include "spreadsheet/CSheetAnswer.h"

#include <QTextCodec>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <string_view>

namespace XP {
namespace {

quint32 numberAt(const char* data)
{
    return qFromLittleEndian<quint32>(data);
}

// Most cells are ASCII, which is UTF-8 as it stands; the codec checks the others.
bool isUtf8(std::string_view text)
{
    if (std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; })) {
        return true;
    }
    static QTextCodec* const utf8 = QTextCodec::codecForName("UTF-8");
    QTextCodec::ConverterState state(QTextCodec::ConvertInvalidToNull);
    utf8->toUnicode(text.data(), static_cast<int>(text.size()), &state);
    return state.invalidChars == 0 && state.remainingChars == 0;
}

} // namespace

CSheetAnswerReader::CSheetAnswerReader(ISheetCellSink& sink)
    : sink(sink)
{}

bool CSheetAnswerReader::feed(const char* data, std::size_t size)
{
    if (state == State::Bad || size == 0) {
        return state != State::Bad;
    }
    if (pending.empty()) {
        const std::size_t used = readUnits(data, size);
        pending.assign(data + used, size - used);
    } else {
        pending.append(data, size);
        pending.erase(0, readUnits(pending.data(), pending.size()));
    }
    return state != State::Bad;
}

// Reads every complete unit (the magic, a record) at the start of data; returns the bytes they took.
std::size_t CSheetAnswerReader::readUnits(const char* data, std::size_t size)
{
    std::size_t offset = 0;
    if (state == State::Magic) {
        if (size < CSheetAnswer::magicSize) {
            return 0;
        }
        if (std::memcmp(data, CSheetAnswer::magic, CSheetAnswer::magicSize) != 0) {
            state = State::Bad;
            return 0;
        }
        offset = CSheetAnswer::magicSize;
        state = State::Cells;
    }
    while (state == State::Cells && size - offset >= CSheetAnswer::recordHeaderSize) {
        const char* record = data + offset;
        const quint32 row = numberAt(record);
        const quint32 column = numberAt(record + 4);
        const quint32 length = numberAt(record + 8);
        if (row == 0 && column == 0) {
            state = length == cells ? State::Closed : State::Bad;
            return offset + CSheetAnswer::recordHeaderSize;
        }
        if (length > CSheetAnswer::maxCellBytes) {
            state = State::Bad;
            return offset;
        }
        if (size - offset - CSheetAnswer::recordHeaderSize < length) {
            break; // the text is still on its way
        }
        if (!readCell(row, column, record + CSheetAnswer::recordHeaderSize, length)) {
            state = State::Bad;
            return offset;
        }
        offset += CSheetAnswer::recordHeaderSize + length;
    }
    return offset;
}

bool CSheetAnswerReader::readCell(quint32 row, quint32 column, const char* text, quint32 size)
{
    const bool fits = row >= 1 && row <= CSheetAnswer::maxRow && column >= 1 &&
                      column <= CSheetAnswer::maxColumn && size > 0;
    const std::string_view utf8(text, size);
    if (!fits || !isUtf8(utf8) || !sink.setCell(static_cast<int>(row), static_cast<int>(column), utf8)) {
        return false;
    }
    ++cells;
    return true;
}

} // namespace XP
