#include "CStoreRevision.h"

#include "services/ITradingDayBackend.h"

namespace IMC {

QString CStoreRevision::operationText() const
{
    const QString text =
        operation == ITradingDayBackend::OperationDelete ? QStringLiteral("删除") : QStringLiteral("保存");
    if (restoredFrom == 0) {
        return text;
    }
    return QStringLiteral("%1(恢复修订 %2)").arg(text).arg(restoredFrom);
}

} // namespace IMC
