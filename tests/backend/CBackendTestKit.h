#pragma once

#include "records/CItsmTypedMarketTradeDate.h"
#include "records/COperateDataReq.h"
#include "records/TradeDateMap.h"
#include "services/ITradingDayBackend.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <string>
#include <vector>

namespace tds {

// Requests as the panel builds them, their answers as text, and fresh stores for the store's suites.
class CBackendTestKit
{
public:
    typedef std::vector<boost::shared_ptr<ttservice::IData>> Records;

    static boost::shared_ptr<ttservice::CItsmMarketTradeDateInfo> makeDay(const std::string& date,
                                                                          int sessionFlags);
    static TradeDateMap makeDays(const QStringList& dates, int sessionFlags);
    static boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate>
    makeExchange(const std::string& name, const std::string& code, int trackId, const TradeDateMap& days);

    // The save of a market's whole set.
    static boost::shared_ptr<ttservice::COperateDataReq>
    marketSave(int marketType, const std::string& platformParam, const TradeDateMap& days);

    static utils::TTError query(IMC::ITradingDayBackend& backend, const std::string& marketParam,
                                const std::string& platformParam, Records& records);
    static utils::TTError save(IMC::ITradingDayBackend& backend, int marketType,
                               const std::string& platformParam, const TradeDateMap& days,
                               const std::string& operatorName = "测试员");
    // operation 1 (save) or 3 (delete) of one exchange, platform "WP".
    static utils::TTError operate(IMC::ITradingDayBackend& backend, int operation,
                                  const boost::shared_ptr<ttservice::IData>& record,
                                  const std::string& operatorName = "测试员");

    // The days a market answers, described; fails the running test when the answer is not one record of
    // the market.
    static QStringList days(IMC::ITradingDayBackend& backend, const std::string& marketParam,
                            const std::string& platformParam = std::string());
    // "name code trackId: days" per exchange, in the order answered.
    static QStringList exchanges(IMC::ITradingDayBackend& backend);
    // "key=flags" per day, in key order, with every field that differs from a day makeDay makes.
    static QStringList describe(const TradeDateMap& days);

    // The PostgreSQL server the tests run against (TDS_TEST_PG_ADDRESS, set by scripts/pgcluster run);
    // empty when they run on SQLite alone.
    static QString postgreSqlServer();
    // A new, empty store: database name on that server (created, or emptied when it exists), else the
    // file name in folder. Fails the running test and answers an empty text when the server cannot be
    // reached.
    static QString freshStore(const QString& folder, const QString& name);
    // Runs statements on a connection of the test's own to the store at address, as another program
    // would open it; the first failure's text, or an empty one. lastValue takes
    // the first value the last statement answered.
    static QString execute(const QString& address, const QStringList& statements,
                           QVariant* lastValue = nullptr);
};

} // namespace tds
