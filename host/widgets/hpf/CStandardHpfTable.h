#pragma once

#include "widgets/CEventWidgetT.h"

#include <QPointer>

#include <memory>

class QAbstractItemDelegate;
class QLabel;
class QMenu;
class QTableView;

namespace XP {

class IBaseHpfTableModel;

// A table of many rows on Qt model/view: a QTableView over an IBaseHpfTableModel. It is an event-bus node
// whose owner is the nearest deliverer above its parent, so the events of its column delegates (row
// buttons, 228) reach the page that holds it.
class CStandardHpfTable : public CEventWidgetT<QWidget>
{
    Q_OBJECT
public:
    enum ETableFlag
    {
        eTableGrid = 0x1,        // lines between cells
        eTableHeader = 0x2,      // the column header
        eTableSelectRows = 0x4,  // a click selects its whole row
        eTableMultiSelect = 0x8, // several rows may be selected (Ctrl, Shift)
    };
    static constexpr int defaultFlags = eTableGrid | eTableHeader | eTableMultiSelect;

    // Entries of the context menu.
    enum EMenuFlag
    {
        eMenuCopyCell = 0x1, // "复制": the cell's text
        eMenuCopyRow = 0x2,  // "复制整行": the row's texts, tab-separated
    };

    static constexpr int rowHeight = 30;
    // Rows that updateTable measures when it fits the columns to their contents.
    static constexpr int fittedRows = 50;

    CStandardHpfTable(int id, QWidget* parent, int menuFlags);
    ~CStandardHpfTable() override;

    int id() const { return tableId; }
    int menuFlags() const { return menu; }

    // The table takes the model over and deletes the one before.
    void setDataModel(IBaseHpfTableModel* model);
    IBaseHpfTableModel* dataModel() const { return model.get(); }

    // ETableFlag values.
    void setFlag(int flags);
    int flag() const { return flags; }

    // delegate paints column from now on; the table takes it over.
    void setColumnDelegate(int column, QAbstractItemDelegate* delegate);

    // The model row (see IBaseHpfTableModel) of the current selected row, or -1.
    int selectedRow() const;
    // Selects the model row and makes it current; a row hidden by a filter clears the selection.
    void selectRow(int row);
    // Every row of the model, hidden ones included.
    int rowCount() const;
    // Applies the model's settings again, fits the columns to the header and the first rows, and repaints;
    // call after a batch of changes to the model.
    void updateTable();

    QTableView* tableView() const { return view; }
    // The context menu for a point of the view's viewport, with the entries the menu flags allow; empty
    // (null) when the point shows no row. The caller owns the menu.
    QMenu* createContextMenu(const QPoint& position);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyFlags();
    void applyModelSettings();
    void updateEmptyText();
    void copyCell(const QModelIndex& index);
    void copyRow(const QModelIndex& index);
    void slotContextMenu(const QPoint& position);

    int tableId;
    int menu;
    int flags = defaultFlags;
    QTableView* view;
    QLabel* emptyLabel;
    std::unique_ptr<IBaseHpfTableModel> model;
};

} // namespace XP
