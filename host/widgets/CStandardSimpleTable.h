#pragma once

#include "widgets/CBaseNormalTable.h"

#include <QString>
#include <QVector>

namespace XP {

// A plain grid under a painted header strip. Rows alternate between the two table backgrounds.
class CStandardSimpleTable : public CBaseNormalTable
{
    Q_OBJECT
public:
    enum EFlag
    {
        eNoHeader = 0x1,    // no header strip
        eNoGridLines = 0x2, // no lines between cells
    };
    static constexpr int headerHeight = 30;

    CStandardSimpleTable(int id, QWidget* parent);

    int id() const { return tableId; }

    void setRowCount(int rows);
    void setColumnCount(int columns);
    int rowCount() const override { return rows; }
    int columnCount() const override { return columnWidths.size(); }

    void setColumnHeader(int column, const QString& text);
    QString columnHeader(int column) const;
    void setColumnWidth(int column, int width);
    int columnWidth(int column) const;
    void setItemHeight(int height);
    int itemHeight() const { return rowHeight; }
    void setFlag(int flag);
    int flag() const { return flags; }

    QRect itemRect(int row, int column) const override;
    // Row and column under a point of the table, or (-1, -1).
    QPoint cellAt(const QPoint& position) const;

    void updateUi() override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int headerStrip() const;
    int columnLeft(int column) const;

    int tableId;
    int rows = 0;
    int rowHeight = 30;
    int flags = 0;
    QVector<int> columnWidths;
    QVector<QString> headers;
};

} // namespace XP
