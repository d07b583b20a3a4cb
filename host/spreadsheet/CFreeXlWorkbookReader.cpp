#include "spreadsheet/CFreeXlWorkbookReader.h"

#include "spreadsheet/CCellTextFormatter.h"

#include <freexl.h>

#include <QFile>

namespace XP {
namespace {

QString cellText(const FreeXL_CellValue& value)
{
    switch (value.type) {
    case FREEXL_CELL_INT:
        return QString::number(value.value.int_value);
    case FREEXL_CELL_DOUBLE:
        return CCellTextFormatter::numberText(value.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_TIME:
        return QString::fromUtf8(value.value.text_value);
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
        return QString::fromUtf8(value.value.text_value).left(10);
    default:
        return QString(); // empty cells, and formulas, which FreeXL does not evaluate
    }
}

class CFreeXlHandle
{
public:
    explicit CFreeXlHandle(const QString& path)
    {
        if (freexl_open(QFile::encodeName(path).constData(), &handle) != FREEXL_OK) {
            handle = nullptr;
        }
    }
    ~CFreeXlHandle()
    {
        if (handle) {
            freexl_close(handle);
        }
    }
    CFreeXlHandle(const CFreeXlHandle&) = delete;
    CFreeXlHandle& operator=(const CFreeXlHandle&) = delete;

    const void* get() const { return handle; }

private:
    const void* handle = nullptr;
};

} // namespace

bool CFreeXlWorkbookReader::read(const QString& path, CSheetTable& table)
{
    table = CSheetTable();
    CFreeXlHandle book(path);
    unsigned int password = 0;
    if (!book.get() || freexl_get_info(book.get(), FREEXL_BIFF_PASSWORD, &password) != FREEXL_OK ||
        password != FREEXL_BIFF_PLAIN || freexl_select_active_worksheet(book.get(), 0) != FREEXL_OK) {
        return false;
    }
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_worksheet_dimensions(book.get(), &rows, &columns) != FREEXL_OK ||
        static_cast<qint64>(rows) * columns > CSheetTable::maxFields) {
        return false;
    }
    for (unsigned int row = 0; row < rows; ++row) {
        for (unsigned short column = 0; column < columns; ++column) {
            FreeXL_CellValue value;
            if (freexl_get_cell_value(book.get(), row, column, &value) != FREEXL_OK ||
                !table.setCell(static_cast<int>(row + 1), column + 1, cellText(value))) {
                table = CSheetTable();
                return false;
            }
        }
    }
    return true;
}

} // namespace XP
