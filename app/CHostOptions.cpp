#include "CHostOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace IMC {
namespace {

QStringList splitList(const QString& text)
{
    QStringList items;
    for (const QString& item : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        items << item.trimmed();
    }
    return items;
}

} // namespace

CHostOptions CHostOptions::parse(const QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Desktop host of the trading-day panel."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption config(QStringLiteral("config"),
                                    QStringLiteral("Configuration file (INI) instead of the user's one."),
                                    QStringLiteral("file"));
    const QCommandLineOption db(
        QStringLiteral("db"),
        QStringLiteral("Store of the default system: a SQLite file, sqlite:///path, "
                       "postgresql://user@host:port/database (shared by many hosts) or "
                       "memory: for a throw-away store."),
        QStringLiteral("address"));
    const QCommandLineOption user(QStringLiteral("user"), QStringLiteral("Operator name."),
                                  QStringLiteral("name"));
    const QCommandLineOption modules(QStringLiteral("modules"),
                                     QStringLiteral("Host modules switched on, comma-separated (e.g. "
                                                    "mdl_tradetype,mdl_tradetype_ggt); empty for none."),
                                     QStringLiteral("list"));
    const QCommandLineOption rights(QStringLiteral("rights"),
                                    QStringLiteral("Rights of the operator, comma-separated (10615 allows "
                                                   "saving); empty for none."),
                                    QStringLiteral("list"));
    const QCommandLineOption page(
        QStringLiteral("page"),
        QStringLiteral("Page to show: 0 domestic, 1 HK connect, 2 electronic, 3 overseas."),
        QStringLiteral("n"), QStringLiteral("0"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Render the window into a PNG once the page's data "
                                                       "have arrived, then exit."),
                                        QStringLiteral("file"));
    const QCommandLineOption history(QStringLiteral("history"),
                                     QStringLiteral("Open the revision history of the shown page's market at "
                                                    "start; with --screenshot, render that window."));
    const QCommandLineOption exitAfterFirstPaint(
        QStringLiteral("exit-after-first-paint"),
        QStringLiteral("Exit as soon as the window has been painted once "
                       "(to measure start-up)."));
    parser.addOptions({config, db, user, modules, rights, page, screenshot, history, exitAfterFirstPaint});
    parser.process(app);

    CHostOptions options;
    options.configFile = parser.value(config);
    options.database = parser.value(db);
    options.userName = parser.value(user);
    options.modulesGiven = parser.isSet(modules);
    options.modules = splitList(parser.value(modules));
    options.rightsGiven = parser.isSet(rights);
    for (const QString& right : splitList(parser.value(rights))) {
        bool ok = false;
        const int value = right.toInt(&ok);
        if (!ok) {
            options.error = QStringLiteral("--rights: \"%1\" is not a number").arg(right);
        }
        options.rights.insert(value);
    }
    bool pageOk = false;
    options.page = parser.value(page).toInt(&pageOk);
    if (!pageOk || options.page < 0 || options.page > 3) {
        options.error = QStringLiteral("--page: expected 0, 1, 2 or 3");
    }
    options.screenshot = parser.value(screenshot);
    options.history = parser.isSet(history);
    options.exitAfterFirstPaint = parser.isSet(exitAfterFirstPaint);
    return options;
}

} // namespace IMC
