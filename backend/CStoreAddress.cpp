#include "CStoreAddress.h"

#include <QFileInfo>

namespace IMC {

namespace {
const QString sqliteScheme = QStringLiteral("sqlite://");
const QString schemeMark = QStringLiteral("://");
} // namespace

CStoreAddress CStoreAddress::parse(const QString& address)
{
    const QString trimmed = address.trimmed();
    if (trimmed.isEmpty()) {
        return refused(QStringLiteral("数据库地址为空"));
    }
    QString filePath = trimmed;
    if (trimmed.startsWith(sqliteScheme, Qt::CaseInsensitive)) {
        filePath = trimmed.mid(sqliteScheme.size());
    } else if (trimmed.contains(schemeMark)) {
        return refused(QStringLiteral("不支持的数据库地址 %1：只支持 SQLite 文件路径或 sqlite:///文件路径")
                           .arg(trimmed));
    }
    if (filePath.isEmpty()) {
        return refused(QStringLiteral("数据库地址 %1 没有文件路径").arg(trimmed));
    }
    if (filePath == QLatin1String(":memory:")) {
        return refused(QStringLiteral("交易日数据库必须是文件，不能是内存数据库"));
    }
    CStoreAddress parsed;
    parsed.path = QFileInfo(filePath).absoluteFilePath();
    return parsed;
}

bool CStoreAddress::isValid() const
{
    return !path.isEmpty();
}

const QString& CStoreAddress::filePath() const
{
    return path;
}

const QString& CStoreAddress::errorText() const
{
    return error;
}

CStoreAddress CStoreAddress::refused(const QString& errorText)
{
    CStoreAddress address;
    address.error = errorText;
    return address;
}

} // namespace IMC
