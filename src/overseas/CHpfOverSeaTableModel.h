#pragma once

#include "widgets/hpf/IBaseHpfTableModel.h"

namespace IMC {

// The overseas exchange table's columns: 0 "交易所中文名称", 1 "操作" (the row buttons), 2 "所属赛道".
// Rows alternate between the two table backgrounds.
class CHpfOverSeaTableModel : public XP::IBaseHpfTableModel
{
public:
    CHpfOverSeaTableModel();
    ~CHpfOverSeaTableModel() override;

    int columnCount() const override;
    QString headerText(int column) const override;
    int textMargin() const override;
    QString emptyText() const override;
    bool showRowNumbers() const override;
    QColor rowBackground(int row) const override;
    int modelFlags() const override;
};

} // namespace IMC
