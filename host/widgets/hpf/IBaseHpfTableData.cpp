#include "widgets/hpf/IBaseHpfTableData.h"

#include "utils/StringConversion.h"

#include <functional>

namespace XP {

IBaseHpfTableData::~IBaseHpfTableData() = default;

QString IBaseHpfTableData::qsKey() const
{
    return sToQs(rowKey());
}

QString IBaseHpfTableData::getFilterQString(int column) const
{
    return cellText(column);
}

std::size_t IBaseHpfTableData::hashKey() const
{
    return std::hash<std::string>()(rowKey());
}

bool IBaseHpfTableData::assign(const IBaseHpfTableData&)
{
    return false;
}

} // namespace XP
