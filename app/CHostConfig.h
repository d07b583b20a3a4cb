#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

namespace IMC {

struct CHostOptions;

// The host's configuration, kept as an INI file in the user's configuration location (or the file
// given with --config): back-end systems with their store addresses, the operator, rights and module
// switches. A missing file is created with the embedded defaults: one system on a SQLite store in the
// user's data location, every module switched on and right 10615 granted.
class CHostConfig
{
public:
    struct System
    {
        QString name;
        QString storeAddress;
    };

    static QString defaultConfigFile();
    static QString defaultStoreAddress();

    // Reads path (creating it with the defaults when missing), then applies the command line on top.
    static CHostConfig load(const QString& path, const CHostOptions& options);

    QList<System> systems;
    QString userName;
    QSet<int> rights;
    QStringList modules;

private:
    static CHostConfig defaults();
    void save(const QString& path) const;
};

} // namespace IMC
