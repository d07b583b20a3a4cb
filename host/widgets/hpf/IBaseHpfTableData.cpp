#include "widgets/hpf/IBaseHpfTableData.h"

namespace XP {

IBaseHpfTableData::~IBaseHpfTableData() = default;

QString IBaseHpfTableData::getFilterQString(int column) const
{
    return cellText(column);
}

} // namespace XP
