#pragma once

#include "CSqlTradingDayBackend.h"

#include <QCommandLineParser>
#include <QStringList>
#include <QTextStream>

#include <memory>
#include <string>
#include <vector>

namespace IMC {

// tradingday-ctl: administration of a trading-day store for operations staff. Parses the command
// line, runs one command against the store and answers with an exit code that scripts can rely on.
class CStoreCtl
{
public:
    enum ExitCode
    {
        ExitSuccess = 0,
        ExitUsage = 1,
        ExitStore = 2,
        ExitFile = 3,
        ExitNotFound = 4,
        ExitStale = 5,
        // A query needs days beyond those the store holds.
        ExitBeyondData = 6,
        // is-trading-day answers "no" with 1, so its usage errors have a code of their own.
        ExitQueryUsage = 64
    };

    CStoreCtl(QTextStream& out, QTextStream& err);

    // arguments without the program name.
    int run(const QStringList& arguments);

    static QString helpText();

private:
    void defineOptions();
    void parse(const QStringList& arguments);
    void requireOnly(const QStringList& allowed, int positionalCount);
    void openStore(bool mayCreate);

    void initStore();
    void exportDays();
    void importDays();
    void listExchanges();
    void addExchange();
    void history();
    void restore();
    int query();
    void changeRight(bool granting);
    void requireForceToRevokeLastMaintainer(const std::string& user, int right);
    void listRights();

    int marketType() const;
    std::string platformParam() const;
    std::string exchangeName() const;
    std::string operatorName() const;
    std::string userName() const;
    long long positiveNumber(const QString& option) const;
    // Every overseas exchange the store holds, with its days.
    // With seen, the reads also leave there the revision of each market or exchange they answered.
    std::vector<boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate>>
    exchanges(CSeenRevisions* seen = nullptr);
    boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate> findExchange(const std::string& name,
                                                                         CSeenRevisions* seen = nullptr);
    TradeDateMap currentDays(int market, CSeenRevisions* seen = nullptr);
    // The market's days as --as-of names them (a revision number or a local "yyyy-MM-dd HH:mm:ss"), or the
    // current ones; revision is the one they come from.
    TradeDateMap daysAsAsked(int market, CStoreRevision& revision);
    QString formatOption(const QStringList& allowed, const QString& fallback) const;
    QString subjectKey(int market) const;
    QString calendarTitle(int market) const;
    long long latestRevisionId(int market);
    std::map<int, std::string> trackNames();
    void check(const utils::TTError& error) const;

    QTextStream& out;
    QTextStream& err;
    QCommandLineParser parser;
    QString command;
    std::unique_ptr<CSqlTradingDayBackend> store;
};

} // namespace IMC
