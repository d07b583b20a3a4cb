#pragma once

#include "records/CItsmTypedMarketTradeDate.h"
#include "records/TradeDateMap.h"
#include "services/ITradingDayBackend.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

namespace tds {

// Requests as the panel builds them, and their answers, for tests that talk to a back end directly.
class CBackendTestKit
{
public:
    typedef std::vector<boost::shared_ptr<ttservice::IData>> Records;

    static boost::shared_ptr<ttservice::CItsmMarketTradeDateInfo> makeDay(const std::string& date,
                                                                          int sessionFlags);
    static TradeDateMap makeDays(const QStringList& dates, int sessionFlags);
    static boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate>
    makeExchange(const std::string& name, const std::string& code, int trackId, const TradeDateMap& days);

    static utils::TTError query(IMC::ITradingDayBackend& backend, const std::string& marketParam,
                                const std::string& platformParam, Records& records);
    static utils::TTError save(IMC::ITradingDayBackend& backend, int marketType,
                               const std::string& platformParam, const TradeDateMap& days,
                               const std::string& operatorName = "测试员");
    static utils::TTError operate(IMC::ITradingDayBackend& backend, int operation,
                                  const boost::shared_ptr<ttservice::IData>& record,
                                  const std::string& platformParam,
                                  const std::string& operatorName = "测试员");

    // The days a market answers; fails the running test when the answer is not one typed record.
    static TradeDateMap marketDays(IMC::ITradingDayBackend& backend, const std::string& marketParam,
                                   const std::string& platformParam = std::string());
    static std::vector<boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate>>
    exchanges(IMC::ITradingDayBackend& backend);

    // "key=flags" per day, in key order, with every text field that differs from the usual one.
    static QStringList describe(const TradeDateMap& days);

    // The PostgreSQL server the tests run against (TDS_TEST_PG_ADDRESS, set by scripts/pgcluster run);
    // empty when the tests run on SQLite alone.
    static QString postgreSqlServer();
    // The address of database name on that server, created when missing and emptied otherwise, so that
    // each test starts from a new store. Fails the running test and answers an empty text when the server
    // cannot be reached.
    static QString freshPostgreSqlDatabase(const QString& name);
    // A new store for a test: database name on the PostgreSQL server when the tests run against one, else
    // file name in folder.
    static QString freshStore(const QString& folder, const QString& name);
    // A connection of the test's own to the store at address, opened as another program would open it.
    // Fails the running test when it does not open; remove it with QSqlDatabase::removeDatabase.
    static QSqlDatabase connectDirectly(const QString& address, const QString& connectionName);
};

} // namespace tds
