#pragma once

#include <QString>

namespace XP {

// Tells workbook formats apart by their first bytes.
class CWorkbookKind
{
public:
    enum class Kind
    {
        Unknown,
        Xlsx,
        Xls
    };

    static Kind of(const QString& path);
};

} // namespace XP
