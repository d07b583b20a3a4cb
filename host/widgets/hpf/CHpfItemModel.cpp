#include "widgets/hpf/CHpfItemModel.h"

#include "widgets/hpf/IBaseHpfTableModel.h"

namespace XP {

CHpfItemModel::CHpfItemModel(IBaseHpfTableModel& rows)
    : rows(rows)
{}

int CHpfItemModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows.shownRowCount();
}

int CHpfItemModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows.columnCount();
}

QVariant CHpfItemModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return QVariant();
    }
    const IBaseHpfTableModel::DataPtr row = rows.getData(rows.rowOfShownRow(index.row()));
    if (!row) {
        return QVariant();
    }
    switch (role) {
    case Qt::DisplayRole:
        return row->displayText(index.column());
    case Qt::TextAlignmentRole:
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ForegroundRole: {
        const QColor color = row->textColor();
        return color.isValid() ? QVariant(color) : QVariant();
    }
    case Qt::BackgroundRole: {
        const QColor color = rows.rowBackground(index.row());
        return color.isValid() ? QVariant(color) : QVariant();
    }
    case rowKeyRole:
        return QByteArray::fromStdString(row->rowKey());
    default:
        return QVariant();
    }
}

QVariant CHpfItemModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || section < 0) {
        return QVariant();
    }
    if (orientation == Qt::Horizontal) {
        return section < rows.columnCount() ? QVariant(rows.headerText(section)) : QVariant();
    }
    return rows.showRowNumbers() && section < rows.shownRowCount() ? QVariant(section + 1) : QVariant();
}

Qt::ItemFlags CHpfItemModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    const int modelFlags = rows.modelFlags();
    if (!(modelFlags & IBaseHpfTableModel::eModelNoSelection)) {
        result |= Qt::ItemIsSelectable;
    }
    if (modelFlags & IBaseHpfTableModel::eModelDragRows) {
        result |= Qt::ItemIsDragEnabled;
    }
    return result;
}

void CHpfItemModel::sort(int column, Qt::SortOrder order)
{
    rows.sort(column, order);
}

} // namespace XP
