#pragma once

#include <QColor>
#include <QString>

#include <string>

namespace XP {

// One row of a CStandardHpfTable. Rows are shared through boost::shared_ptr between their owner and the
// model; a model never changes a row.
class IBaseHpfTableData
{
public:
    // How a column compares when the model sorts by it (sortKind).
    enum ESortKind
    {
        eSortByInteger = 0,
        eSortByText = 1,
        eSortByFloat = 2,
    };

    virtual ~IBaseHpfTableData();

    // The text painted in column.
    virtual QString displayText(int column) const = 0;
    // The plain value of column: what text sorting compares, what filters match and what "复制" copies.
    virtual QString cellText(int column) const = 0;
    // Value of column when it sorts as an integer.
    virtual qint64 integerValue(int column) const = 0;
    // Value of column when it sorts as a floating-point number.
    virtual double floatValue(int column) const = 0;
    // An ESortKind.
    virtual int sortKind(int column) const = 0;
    // Colour of the row's texts; an invalid colour keeps the table's own.
    virtual QColor textColor() const = 0;
    // Names the row to its owner: the row's buttons and rowOfKey go by it. Raw bytes (UTF-8).
    virtual std::string rowKey() const = 0;

    // The text the column filters match: cellText unless a row says otherwise.
    virtual QString getFilterQString(int column) const;
};

} // namespace XP
