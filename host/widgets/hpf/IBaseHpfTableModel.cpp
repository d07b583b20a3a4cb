#include "widgets/hpf/IBaseHpfTableModel.h"

#include "widgets/hpf/CHpfItemModel.h"

#include <QHash>

#include <algorithm>

namespace XP {

IBaseHpfTableModel::IBaseHpfTableModel(bool sortable)
    : sortable(sortable)
    , items(new CHpfItemModel(*this))
{}

IBaseHpfTableModel::~IBaseHpfTableModel() = default;

int IBaseHpfTableModel::textMargin() const
{
    return 4;
}

QString IBaseHpfTableModel::emptyText() const
{
    return QString();
}

bool IBaseHpfTableModel::showRowNumbers() const
{
    return false;
}

QColor IBaseHpfTableModel::rowBackground(int) const
{
    return QColor();
}

int IBaseHpfTableModel::modelFlags() const
{
    return 0;
}

void IBaseHpfTableModel::clear()
{
    items->beginResetModel();
    rows.clear();
    shownRows.clear();
    items->endResetModel();
}

void IBaseHpfTableModel::addData(const DataPtr& data)
{
    if (!data) {
        return;
    }
    const int position = insertPosition(data);
    rows.insert(position, data);
    for (int& row : shownRows) {
        if (row >= position) {
            ++row;
        }
    }
    if (!passesFilters(*data)) {
        return;
    }
    const int shownPosition =
        int(std::lower_bound(shownRows.begin(), shownRows.end(), position) - shownRows.begin());
    items->beginInsertRows(QModelIndex(), shownPosition, shownPosition);
    shownRows.insert(shownPosition, position);
    items->endInsertRows();
}

IBaseHpfTableModel::DataPtr IBaseHpfTableModel::getData(int row) const
{
    return row >= 0 && row < rows.size() ? rows[row] : DataPtr();
}

int IBaseHpfTableModel::rowCount() const
{
    return rows.size();
}

int IBaseHpfTableModel::rowOfKey(const std::string& key) const
{
    for (int row = 0; row < rows.size(); ++row) {
        if (rows[row]->rowKey() == key) {
            return row;
        }
    }
    return -1;
}

int IBaseHpfTableModel::shownRowCount() const
{
    return shownRows.size();
}

int IBaseHpfTableModel::rowOfShownRow(int shownRow) const
{
    return shownRow >= 0 && shownRow < shownRows.size() ? shownRows[shownRow] : -1;
}

int IBaseHpfTableModel::shownRowOfRow(int row) const
{
    const auto it = std::lower_bound(shownRows.begin(), shownRows.end(), row);
    return it != shownRows.end() && *it == row ? int(it - shownRows.begin()) : -1;
}

void IBaseHpfTableModel::sort(int column, Qt::SortOrder sortOrder)
{
    if (!sortable || column < 0 || column >= columnCount()) {
        return;
    }
    emit items->layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList persistent = items->persistentIndexList();
    QVector<IBaseHpfTableData*> persistentRows;
    persistentRows.reserve(persistent.size());
    for (const QModelIndex& index : persistent) {
        persistentRows.append(rows[shownRows[index.row()]].get());
    }

    sortedColumn = column;
    order = sortOrder;
    std::stable_sort(rows.begin(), rows.end(), [this](const DataPtr& left, const DataPtr& right) {
        return order == Qt::AscendingOrder ? lessThan(left, right) : lessThan(right, left);
    });
    rebuildShownRows();

    QHash<IBaseHpfTableData*, int> newShownRow;
    for (int shown = 0; shown < shownRows.size(); ++shown) {
        newShownRow.insert(rows[shownRows[shown]].get(), shown);
    }
    QModelIndexList moved;
    moved.reserve(persistent.size());
    for (int i = 0; i < persistent.size(); ++i) {
        moved.append(items->index(newShownRow.value(persistentRows[i]), persistent[i].column()));
    }
    items->changePersistentIndexList(persistent, moved);
    emit items->layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void IBaseHpfTableModel::filterColumn(int column, ColumnFilter filter)
{
    items->beginResetModel();
    if (filter.second.isEmpty()) {
        columnFilters.remove(column);
    } else {
        columnFilters.insert(column, filter);
    }
    rebuildShownRows();
    items->endResetModel();
}

void IBaseHpfTableModel::clearFilter()
{
    items->beginResetModel();
    columnFilters.clear();
    rebuildShownRows();
    items->endResetModel();
}

QAbstractItemModel* IBaseHpfTableModel::itemModel() const
{
    return items.get();
}

bool IBaseHpfTableModel::lessThan(const DataPtr& left, const DataPtr& right) const
{
    switch (left->sortKind(sortedColumn)) {
    case IBaseHpfTableData::eSortByInteger:
        return left->integerValue(sortedColumn) < right->integerValue(sortedColumn);
    case IBaseHpfTableData::eSortByFloat:
        return left->floatValue(sortedColumn) < right->floatValue(sortedColumn);
    default:
        return QString::localeAwareCompare(left->cellText(sortedColumn), right->cellText(sortedColumn)) < 0;
    }
}

bool IBaseHpfTableModel::passesFilters(const IBaseHpfTableData& data) const
{
    for (auto filter = columnFilters.cbegin(); filter != columnFilters.cend(); ++filter) {
        const QString text = data.getFilterQString(filter.key());
        const QSet<QString>& values = filter.value().second;
        const bool matches = std::any_of(values.begin(), values.end(), [&](const QString& value) {
            return filter.value().first == eFilterContains ? text.contains(value, Qt::CaseInsensitive)
                                                           : text == value;
        });
        if (!matches) {
            return false;
        }
    }
    return true;
}

int IBaseHpfTableModel::insertPosition(const DataPtr& data) const
{
    if (sortedColumn < 0) {
        return rows.size();
    }
    const auto it =
        std::upper_bound(rows.begin(), rows.end(), data, [this](const DataPtr& left, const DataPtr& right) {
            return order == Qt::AscendingOrder ? lessThan(left, right) : lessThan(right, left);
        });
    return int(it - rows.begin());
}

void IBaseHpfTableModel::rebuildShownRows()
{
    shownRows.clear();
    for (int row = 0; row < rows.size(); ++row) {
        if (passesFilters(*rows[row])) {
            shownRows.append(row);
        }
    }
}

} // namespace XP
