#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

class QCoreApplication;

namespace IMC {

// What the command line asks of tradingday-host. Values left empty fall back to the configuration.
struct CHostOptions
{
    QString configFile;  // --config FILE
    QString database;    // --db ADDRESS: store of the default system
    QString userName;    // --user NAME
    QStringList modules; // --modules a,b,c (switched on)
    bool modulesGiven = false;
    QSet<int> rights; // --rights 10615,...
    bool rightsGiven = false;
    int page = 0;                     // --page N
    QString screenshot;               // --screenshot FILE
    bool history = false;             // --history: the shown page's revision history opened at start
    bool exitAfterFirstPaint = false; // --exit-after-first-paint (start-up measurements)
    QString error;                    // set when the command line cannot be used

    // Parses app's arguments; --help and --version print and exit inside.
    static CHostOptions parse(const QCoreApplication& app);
};

} // namespace IMC
