#pragma once

#include "widgets/hpf/EFilterType.h"
#include "widgets/hpf/IBaseHpfTableData.h"

#include <QColor>
#include <QMap>
#include <QPair>
#include <QSet>
#include <QString>
#include <QVector>

#include <boost/shared_ptr.hpp>

#include <memory>
#include <string>

class QAbstractItemModel;

namespace XP {

class CHpfItemModel;

// The rows of a CStandardHpfTable, with sorting and column filters.
//
// Row numbers: rowCount, getData, rowOfKey and the table's selectedRow count every row of the model, the
// rows hidden by a filter included, in the model's order (the order of addData, or the sort order while a
// sort is on). So a duplicate check that walks rowCount/getData also sees rows the filter hides. The Qt
// model behind the view (itemModel) holds only the rows that pass the filters, in the same order;
// shownRowCount and rowOfShownRow/shownRowOfRow translate between the two.
class IBaseHpfTableModel
{
public:
    typedef boost::shared_ptr<IBaseHpfTableData> DataPtr;
    typedef QPair<EFilterType, QSet<QString>> ColumnFilter;

    enum EModelFlag
    {
        eModelNoSelection = 0x1, // rows cannot be selected
        eModelDragRows = 0x2,    // rows can be dragged out of the table
    };

    // sortable: sort() (and so a click on a column header) reorders the rows; otherwise they keep the
    // order of addData.
    explicit IBaseHpfTableModel(bool sortable);
    virtual ~IBaseHpfTableModel();

    IBaseHpfTableModel(const IBaseHpfTableModel&) = delete;
    IBaseHpfTableModel& operator=(const IBaseHpfTableModel&) = delete;

    virtual int columnCount() const = 0;
    virtual QString headerText(int column) const = 0;
    // Blank pixels left and right of each cell's text.
    virtual int textMargin() const;
    // Shown across the table while no row shows; empty shows nothing.
    virtual QString emptyText() const;
    // Whether the table shows row numbers (1, 2, ... of the shown rows) before the first column.
    virtual bool showRowNumbers() const;
    // Background of a shown row (its number in the view); an invalid colour keeps the table's own.
    virtual QColor rowBackground(int row) const;
    // EModelFlag values.
    virtual int modelFlags() const;

    void clear();
    // Appends data, or puts it at its place in the sort order while a sort is on. A null row is ignored.
    void addData(const DataPtr& data);
    // Null when row is out of range.
    DataPtr getData(int row) const;
    int rowCount() const;
    // First row with that key, or -1.
    int rowOfKey(const std::string& key) const;

    int shownRowCount() const;
    // The model row of a row of the view, or -1.
    int rowOfShownRow(int shownRow) const;
    // The view row of a model row, or -1 when the row is hidden or out of range.
    int shownRowOfRow(int row) const;

    bool isSortable() const { return sortable; }
    // Stable: equal rows keep their order. Ignored unless the model is sortable or when column is out
    // of range.
    void sort(int column, Qt::SortOrder order);
    // The sort column, or -1 while unsorted.
    int sortColumn() const { return sortedColumn; }
    Qt::SortOrder sortOrder() const { return order; }

    // Sets the filter of column, replacing the one before; filters of several columns must all pass.
    // A filter with an empty set of values removes the column's filter.
    void filterColumn(int column, ColumnFilter filter);
    void clearFilter();
    QMap<int, ColumnFilter> filters() const { return columnFilters; }

    // The Qt model the table's view shows; it belongs to this model.
    QAbstractItemModel* itemModel() const;

private:
    bool lessThan(const DataPtr& left, const DataPtr& right) const;
    bool passesFilters(const IBaseHpfTableData& data) const;
    int insertPosition(const DataPtr& data) const;
    void rebuildShownRows();

    bool sortable;
    int sortedColumn = -1;
    Qt::SortOrder order = Qt::AscendingOrder;
    QVector<DataPtr> rows;
    // Model rows that pass the filters, ascending.
    QVector<int> shownRows;
    QMap<int, ColumnFilter> columnFilters;
    std::unique_ptr<CHpfItemModel> items;
};

} // namespace XP
