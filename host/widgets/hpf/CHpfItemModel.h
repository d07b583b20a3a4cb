#pragma once

#include <QAbstractTableModel>

namespace XP {

class IBaseHpfTableModel;

// The Qt face of an IBaseHpfTableModel: the rows that pass its filters, for a QTableView. Built and
// driven by the IBaseHpfTableModel it belongs to.
class CHpfItemModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // The raw bytes of the row's rowKey, as a QByteArray.
    static constexpr int rowKeyRole = Qt::UserRole + 1;

    explicit CHpfItemModel(IBaseHpfTableModel& rows);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    friend class IBaseHpfTableModel;

    IBaseHpfTableModel& rows;
};

} // namespace XP
