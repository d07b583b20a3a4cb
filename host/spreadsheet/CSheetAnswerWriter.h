#pragma once

#include "spreadsheet/ISheetCellSink.h"

#include <QtGlobal>

#include <functional>
#include <string>

namespace XP {

// Writes a sheet answer (see CSheetAnswer) while the cells come: they are encoded into a buffer that goes
// to the output whenever it fills, so the host reads the first rows while the helper still parses the
// last ones.
class CSheetAnswerWriter : public ISheetCellSink
{
public:
    // Writes all of the bytes given; false when it could not.
    using Output = std::function<bool(const char* data, std::size_t size)>;

    explicit CSheetAnswerWriter(Output output);

    using ISheetCellSink::setCell;
    // False once the output failed, or for more cells than a sheet table takes or a text that is too long.
    bool setCell(int row, int column, std::string_view utf8) override;

    // Writes the closing record and what is still buffered; false when the output failed.
    bool finish();

private:
    void appendRecord(quint32 row, quint32 column, quint32 size);
    bool flush();

    Output output;
    std::string buffer;
    qint64 cells = 0;
    bool failed = false;
};

} // namespace XP
