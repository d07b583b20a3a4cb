#pragma once

#include <QString>

#include <string_view>

namespace XP {

// Where a workbook reader puts the cells it finds: a sheet table, or the answer the sheet reader helper
// streams to the host. Cells come in the file's order, which is not always row by row.
class ISheetCellSink
{
public:
    virtual ~ISheetCellSink() = default;

    // Takes one cell (row and column counted from 1); empty texts are passed over. False when the sink
    // refuses the cell (the sheet is too large, the answer cannot be written): the read fails.
    virtual bool setCell(int row, int column, std::string_view utf8) = 0;

    bool setCell(int row, int column, const QString& text)
    {
        const QByteArray utf8 = text.toUtf8();
        return setCell(row, column,
                       std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    }
};

} // namespace XP
