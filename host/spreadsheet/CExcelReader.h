#pragma once

#include "spreadsheet/CSheetTable.h"

#include <QObject>
#include <QString>

#include <memory>

class QTemporaryDir;

namespace XP {

// Reads workbooks the way a spreadsheet application sees them: LibreOffice, run headless, converts the
// file to .xlsx in a private temporary folder, and the sheet calls answer from that copy. Any format
// LibreOffice opens can be read. The environment variable TDS_SOFFICE names the program to run
// instead of the soffice found on the PATH.
class CExcelReader : public QObject
{
    Q_OBJECT
public:
    static constexpr int conversionTimeoutMs = 60000;

    explicit CExcelReader(QObject* parent = nullptr);
    ~CExcelReader() override;

    // Looks for the spreadsheet application; false when there is none that can be run.
    bool init(bool flag);
    bool isValid() const;

    // Converts and reads the workbook; false when the application fails or leaves no readable copy.
    bool open(const QString& path);

    // Sheets count from 1; only the first sheet is read. Rows and columns count from 1; the row and
    // column counts are the last used numbers, inclusive. An empty sheet starts at 1 and counts 0.
    int getSheetStartRow(int sheet) const;
    int getSheetRowCount(int sheet) const;
    int getSheetStartCol(int sheet) const;
    int getSheetColCount(int sheet) const;
    QString getData(int sheet, int row, int col, bool flag);

    void close();
    void exitExcel();

private:
    bool hasSheet(int sheet) const { return sheet == 1 && !table.isEmpty(); }

    QString program;
    CSheetTable table;
    std::unique_ptr<QTemporaryDir> workDir;
};

} // namespace XP
