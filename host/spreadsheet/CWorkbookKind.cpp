#include "spreadsheet/CWorkbookKind.h"

#include <QFile>

namespace XP {

CWorkbookKind::Kind CWorkbookKind::of(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return Kind::Unknown;
    }
    const QByteArray head = file.read(8);
    if (head.startsWith("PK\x03\x04")) {
        return Kind::Xlsx;
    }
    if (head == QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)) {
        return Kind::Xls;
    }
    return Kind::Unknown;
}

} // namespace XP
