#include "spreadsheet/CFreeXlWorkbookReader.h"

#include "spreadsheet/CCellTextFormatter.h"
#include "spreadsheet/CSheetTable.h"

#include <freexl.h>

#include <QFile>

#include <string>

namespace XP {
namespace {

// FreeXL's text, any invalid sequence in it replaced, so that the answer stays valid UTF-8.
std::string utf8Text(const char* text)
{
    return QString::fromUtf8(text).toStdString();
}

std::string cellText(const FreeXL_CellValue& value)
{
    switch (value.type) {
    case FREEXL_CELL_INT:
        return std::to_string(value.value.int_value);
    case FREEXL_CELL_DOUBLE:
        return CCellTextFormatter::numberText(value.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_TIME:
        return utf8Text(value.value.text_value);
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
        return utf8Text(value.value.text_value).substr(0, 10); // the date; the time is not shown
    default:
        return std::string(); // empty cells, and formulas, which FreeXL does not evaluate
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

bool CFreeXlWorkbookReader::read(const QString& path, ISheetCellSink& cells)
{
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
                !cells.setCell(static_cast<int>(row + 1), column + 1, cellText(value))) {
                return false;
            }
        }
    }
    return true;
}

} // namespace XP
