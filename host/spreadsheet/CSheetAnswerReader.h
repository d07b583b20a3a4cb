#pragma once

#include "spreadsheet/ISheetCellSink.h"

#include <QtGlobal>

#include <string>

namespace XP {

// Reads a sheet answer (see CSheetAnswer) piece by piece as it arrives from the helper, handing each cell
// on at once, so that decoding runs while the helper still parses.
class CSheetAnswerReader
{
public:
    explicit CSheetAnswerReader(ISheetCellSink& sink);

    // Takes the next piece of the answer; false, for good, once the answer is found to be bad.
    bool feed(const char* data, std::size_t size);

    // True when the answer is complete: the closing record came last and counted every cell.
    bool finish() const { return state == State::Closed && pending.empty(); }

private:
    enum class State
    {
        Magic,
        Cells,
        Closed,
        Bad
    };

    std::size_t readUnits(const char* data, std::size_t size);
    bool readCell(quint32 row, quint32 column, const char* text, quint32 size);

    ISheetCellSink& sink;
    std::string pending; // the start of a record that the next piece completes
    State state = State::Magic;
    quint32 cells = 0;
};

} // namespace XP
