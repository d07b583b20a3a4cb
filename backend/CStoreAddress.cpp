#include "CStoreAddress.h"

#include <QFileInfo>
#include <QUrl>

namespace IMC {

namespace {
const QString sqliteScheme = QStringLiteral("sqlite://");
const QString schemeMark = QStringLiteral("://");
const QStringList postgreSqlSchemes = {QStringLiteral("postgresql"), QStringLiteral("postgres")};

QString schemeOf(const QString& address)
{
    const int mark = address.indexOf(schemeMark);
    return mark < 0 ? QString() : address.left(mark).toLower();
}
} // namespace

CStoreAddress CStoreAddress::parse(const QString& address)
{
    const QString trimmed = address.trimmed();
    if (trimmed.isEmpty()) {
        return refused(QStringLiteral("数据库地址为空"));
    }
    const QString scheme = schemeOf(trimmed);
    if (scheme.isEmpty()) {
        return parseSqlite(trimmed, trimmed);
    }
    if (scheme == QLatin1String("sqlite")) {
        return parseSqlite(trimmed, trimmed.mid(sqliteScheme.size()));
    }
    if (postgreSqlSchemes.contains(scheme)) {
        return parsePostgreSql(trimmed);
    }
    return refused(QStringLiteral("不支持的数据库地址 %1：只支持 SQLite 文件路径、sqlite:///文件路径或 "
                                  "postgresql://用户@主机:端口/数据库")
                       .arg(trimmed));
}

CStoreAddress CStoreAddress::parseSqlite(const QString& address, const QString& filePath)
{
    if (filePath.isEmpty()) {
        return refused(QStringLiteral("数据库地址 %1 没有文件路径").arg(address));
    }
    if (filePath == QLatin1String(":memory:")) {
        return refused(QStringLiteral("交易日数据库必须是文件，不能是内存数据库"));
    }
    CStoreAddress parsed;
    parsed.addressKind = SqliteFile;
    parsed.path = QFileInfo(filePath).absoluteFilePath();
    return parsed;
}

CStoreAddress CStoreAddress::parsePostgreSql(const QString& address)
{
    const QUrl url(address, QUrl::StrictMode);
    const QString expected = QStringLiteral("，应为 postgresql://用户[:密码]@主机[:端口]/数据库");
    if (!url.isValid()) {
        return refused(QStringLiteral("数据库地址 %1 格式不正确").arg(address) + expected);
    }
    CStoreAddress parsed;
    parsed.addressKind = PostgreSql;
    parsed.serverHost = url.host();
    parsed.serverPort = url.port(defaultPostgreSqlPort);
    parsed.user = url.userName();
    parsed.secret = url.password();
    parsed.database = url.path().mid(1);
    if (parsed.serverHost.isEmpty()) {
        return refused(QStringLiteral("数据库地址 %1 缺少主机").arg(address) + expected);
    }
    if (parsed.user.isEmpty()) {
        return refused(QStringLiteral("数据库地址 %1 缺少用户名").arg(address) + expected);
    }
    if (parsed.database.isEmpty() || parsed.database.contains(QLatin1Char('/'))) {
        return refused(QStringLiteral("数据库地址 %1 缺少数据库名").arg(address) + expected);
    }
    if (url.hasQuery() || url.hasFragment()) {
        return refused(QStringLiteral("数据库地址 %1 不能带参数").arg(address) + expected);
    }
    return parsed;
}

bool CStoreAddress::isValid() const
{
    return addressKind != Refused;
}

CStoreAddress::Kind CStoreAddress::kind() const
{
    return addressKind;
}

const QString& CStoreAddress::filePath() const
{
    return path;
}

const QString& CStoreAddress::host() const
{
    return serverHost;
}

int CStoreAddress::port() const
{
    return serverPort;
}

const QString& CStoreAddress::userName() const
{
    return user;
}

const QString& CStoreAddress::password() const
{
    return secret;
}

const QString& CStoreAddress::databaseName() const
{
    return database;
}

QString CStoreAddress::displayText() const
{
    if (addressKind != PostgreSql) {
        return path;
    }
    QUrl url;
    url.setScheme(QStringLiteral("postgresql"));
    url.setUserName(user);
    url.setHost(serverHost);
    url.setPort(serverPort);
    url.setPath(QLatin1Char('/') + database);
    return url.toString();
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
