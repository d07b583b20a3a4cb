#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace XP {

// Reads the first sheet of an .xlsx or .xls workbook without a spreadsheet application, parsed out of the
// calling process by the sheet reader helper (CSheetReaderProcess). The kind of workbook is taken from the
// file's content, not its name.
class COdbcExcelReader : public QObject
{
    Q_OBJECT
public:
    explicit COdbcExcelReader(QObject* parent = nullptr);

    // Fills rows with one line per row of the first sheet's used range, cells joined by a tab, the
    // first line being the sheet's first used row. False (rows empty) when the workbook cannot be read:
    // missing, damaged, encrypted, too large, not a workbook, or the helper failed on it. The flag is
    // accepted and unused.
    bool open(const QString& path, QStringList& rows, bool flag);

    void close();
};

} // namespace XP
