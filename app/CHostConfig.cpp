#include "CHostConfig.h"

#include "CHostOptions.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace IMC {
namespace {

const QStringList allModules = {QStringLiteral("mdl_tradetype"), QStringLiteral("mdl_tradetype_ggt"),
                                QStringLiteral("mdl_tradetype_sgt"),
                                QStringLiteral("mdl_tradetype_electronic")};

QString localUserName()
{
    const QString name = qEnvironmentVariable("USER");
    return name.isEmpty() ? QStringLiteral("operator") : name;
}

QStringList rightsAsText(const QSet<int>& rights)
{
    QList<int> sorted = rights.values();
    std::sort(sorted.begin(), sorted.end());
    QStringList texts;
    for (int right : sorted) {
        texts << QString::number(right);
    }
    return texts;
}

// An unquoted value with commas comes back from QSettings as a list, split at them (a password in a store
// address, a name; a list of variants when a part starts with "@"): read as one text, it is the value as
// written.
QString textValue(const QSettings& settings, const QString& key, const QString& fallback = QString())
{
    const QVariant value = settings.value(key, fallback);
    const bool split = value.type() == QVariant::StringList || value.type() == QVariant::List;
    return split ? value.toStringList().join(QLatin1Char(',')) : value.toString();
}

} // namespace

QString CHostConfig::defaultConfigFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) +
           QStringLiteral("/tradingday-host.ini");
}

QString CHostConfig::defaultStoreAddress()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/tradingday.db");
}

CHostConfig CHostConfig::defaults()
{
    CHostConfig config;
    config.systems.append({QStringLiteral("默认系统"), defaultStoreAddress()});
    config.userName = localUserName();
    config.rights = {10615};
    config.modules = allModules;
    return config;
}

CHostConfig CHostConfig::load(const QString& path, const CHostOptions& options)
{
    if (!QFileInfo::exists(path)) {
        defaults().save(path);
    }
    QSettings settings(path, QSettings::IniFormat);
    CHostConfig config;
    const int systemCount = settings.beginReadArray(QStringLiteral("systems"));
    for (int i = 0; i < systemCount; ++i) {
        settings.setArrayIndex(i);
        const System system{textValue(settings, QStringLiteral("name")),
                            textValue(settings, QStringLiteral("store"))};
        if (!system.name.isEmpty()) {
            config.systems.append(system);
        }
    }
    settings.endArray();
    if (config.systems.isEmpty()) {
        config.systems = defaults().systems;
    }
    config.userName = textValue(settings, QStringLiteral("operator/name"), localUserName());
    for (const QString& right : settings.value(QStringLiteral("operator/rights")).toStringList()) {
        config.rights.insert(right.toInt());
    }
    config.modules = settings.value(QStringLiteral("modules/on")).toStringList();

    if (!options.database.isEmpty()) {
        config.systems.first().storeAddress = options.database;
    }
    if (!options.userName.isEmpty()) {
        config.userName = options.userName;
    }
    if (options.rightsGiven) {
        config.rights = options.rights;
    }
    if (options.modulesGiven) {
        config.modules = options.modules;
    }
    return config;
}

void CHostConfig::save(const QString& path) const
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSettings settings(path, QSettings::IniFormat);
    settings.beginWriteArray(QStringLiteral("systems"), systems.size());
    for (int i = 0; i < systems.size(); ++i) {
        settings.setArrayIndex(i);
        settings.setValue(QStringLiteral("name"), systems.at(i).name);
        settings.setValue(QStringLiteral("store"), systems.at(i).storeAddress);
    }
    settings.endArray();
    settings.setValue(QStringLiteral("operator/name"), userName);
    settings.setValue(QStringLiteral("operator/rights"), rightsAsText(rights));
    settings.setValue(QStringLiteral("modules/on"), modules);
}

} // namespace IMC
