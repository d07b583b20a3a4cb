#include "overseas/CHpfOverSeaTableModel.h"

#include "widgets/CUiResource.h"

namespace IMC {

CHpfOverSeaTableModel::CHpfOverSeaTableModel()
    : XP::IBaseHpfTableModel(true)
{}

CHpfOverSeaTableModel::~CHpfOverSeaTableModel() = default;

int CHpfOverSeaTableModel::columnCount() const
{
    return 3;
}

QString CHpfOverSeaTableModel::headerText(int column) const
{
    switch (column) {
    case 0:
        return QStringLiteral("交易所中文名称");
    case 1:
        return QStringLiteral("操作");
    case 2:
        return QStringLiteral("所属赛道");
    default:
        return QString();
    }
}

int CHpfOverSeaTableModel::textMargin() const
{
    return 10;
}

QString CHpfOverSeaTableModel::emptyText() const
{
    return QString();
}

bool CHpfOverSeaTableModel::showRowNumbers() const
{
    return false;
}

QColor CHpfOverSeaTableModel::rowBackground(int row) const
{
    const QString key =
        (row & 1) ? QStringLiteral("clr_table_background2") : QStringLiteral("clr_table_background");
    return XP::CUiResource::instance()->getColor(key);
}

int CHpfOverSeaTableModel::modelFlags() const
{
    return 0;
}

} // namespace IMC
