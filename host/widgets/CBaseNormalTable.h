#pragma once

#include "widgets/CEventWidgetT.h"
#include "widgets/IBaseTable.h"

#include <QVector>

namespace XP {

// Placement of an item widget inside its cell.
enum EAlign
{
    eAlignFill = 0,         // the cell's size (within the widget's minimum and maximum)
    eAlignHCenter = 0x1000, // the widget's own width, centred across the cell
    eAlignVCenter = 0x2000, // the widget's own height, centred down the cell
    eAlignCenter = 0x3000,
};

// A table whose cells may hold widgets. Subclasses define the grid.
class CBaseNormalTable : public CEventWidgetT<QWidget>, public IBaseTable
{
    Q_OBJECT
public:
    explicit CBaseNormalTable(QWidget* parent);
    ~CBaseNormalTable() override;

    virtual int rowCount() const = 0;
    virtual int columnCount() const = 0;
    // The cell's rectangle in table coordinates.
    virtual QRect itemRect(int row, int column) const = 0;

    // Shows widget at the cell in place of the one before, which is destroyed at once. The widget is
    // re-parented into the table and keeps its event owner. show: make it visible (else it stays hidden).
    void setItemWidget(int row, int column, QWidget* widget, int alignment, bool show);
    QWidget* itemWidget(int row, int column) const;

protected:
    // Subclasses call it after the grid changed shape; widgets outside the new grid are destroyed.
    void resizeItemGrid();
    void placeItemWidgets();
    bool event(QEvent* event) override;

private:
    struct SItem
    {
        QWidget* widget = nullptr;
        int alignment = 0;
    };

    int indexOf(int row, int column) const;
    void discard(QWidget* widget);
    void placeItem(int row, int column);

    int gridColumns = 0;
    QVector<SItem> items;
};

} // namespace XP
