#include "CBackendTestKit.h"

#include "CStoreAddress.h"
#include "CStoreDialect.h"

#include "records/CItsmQueryDataReq.h"

#include <boost/make_shared.hpp>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

namespace tds {

namespace {

void fail(const QString& text)
{
    QTest::qFail(qPrintable(text), __FILE__, __LINE__);
}

boost::shared_ptr<ttservice::COperateDataReq>
request(int operation, const boost::shared_ptr<ttservice::IData>& record, const std::string& platformParam)
{
    auto request = boost::make_shared<ttservice::COperateDataReq>();
    request->dataType = IMC::ITradingDayBackend::DataKindTradeDates;
    request->operation = operation;
    request->records.push_back(record);
    request->platformParam = platformParam;
    return request;
}

QSqlDatabase connectDirectly(const QString& address, const QString& connectionName)
{
    const IMC::CStoreAddress parsed = IMC::CStoreAddress::parse(address);
    const IMC::CStoreDialect& dialect = IMC::CStoreDialect::forAddress(parsed);
    QSqlDatabase db = QSqlDatabase::addDatabase(dialect.driverName(), connectionName);
    dialect.configureConnection(db, parsed);
    if (!db.open()) {
        fail(db.lastError().text());
    }
    return db;
}

// The records a query answers; fails the running test when it fails.
CBackendTestKit::Records answer(IMC::ITradingDayBackend& backend, const std::string& marketParam,
                                const std::string& platformParam)
{
    CBackendTestKit::Records records;
    const utils::TTError error = CBackendTestKit::query(backend, marketParam, platformParam, records);
    if (!error.isSuccess()) {
        fail(QStringLiteral("query failed: ") + QString::fromStdString(error.errorMsg()));
    }
    return records;
}

// The address of database name on the tests' PostgreSQL server, created when missing and emptied otherwise.
QString freshPostgreSqlDatabase(const QString& name)
{
    const QString server = CBackendTestKit::postgreSqlServer();
    const IMC::CStoreAddress parsed = IMC::CStoreAddress::parse(server);
    const QString address = QStringLiteral("postgresql://%1@%2:%3/%4")
                                .arg(parsed.userName(), parsed.host())
                                .arg(parsed.port())
                                .arg(name);
    // Names come from the tests themselves: letters, digits and underscores.
    QString failure = CBackendTestKit::execute(server, {QStringLiteral("CREATE DATABASE ") + name});
    if (failure.contains(QStringLiteral("already exists"))) {
        failure.clear();
    }
    if (failure.isEmpty()) {
        failure = CBackendTestKit::execute(address, {QStringLiteral("SET client_min_messages = error"),
                                                     QStringLiteral("DROP SCHEMA IF EXISTS public CASCADE"),
                                                     QStringLiteral("CREATE SCHEMA public")});
    }
    if (!failure.isEmpty()) {
        fail(QStringLiteral("PostgreSQL: ") + failure);
        return QString();
    }
    return address;
}

} // namespace

boost::shared_ptr<ttservice::CItsmMarketTradeDateInfo> CBackendTestKit::makeDay(const std::string& date,
                                                                                int sessionFlags)
{
    auto day = boost::make_shared<ttservice::CItsmMarketTradeDateInfo>();
    day->date = date;
    day->sessionFlags = sessionFlags;
    day->valid = true;
    day->description = "交易日 " + date;
    day->tradeDate = date;
    return day;
}

TradeDateMap CBackendTestKit::makeDays(const QStringList& dates, int sessionFlags)
{
    TradeDateMap days;
    for (const QString& date : dates) {
        days[date.toStdString()] = makeDay(date.toStdString(), sessionFlags);
    }
    return days;
}

boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate>
CBackendTestKit::makeExchange(const std::string& name, const std::string& code, int trackId,
                              const TradeDateMap& days)
{
    auto exchange = boost::make_shared<ttservice::CItsmTypedMarketTradeDate>();
    exchange->marketType = 4;
    exchange->exchangeName = name;
    exchange->exchangeCode = code;
    exchange->trackId = trackId;
    exchange->tradeDates = days;
    return exchange;
}

boost::shared_ptr<ttservice::COperateDataReq>
CBackendTestKit::marketSave(int marketType, const std::string& platformParam, const TradeDateMap& days)
{
    auto market = boost::make_shared<ttservice::CItsmTypedMarketTradeDate>();
    market->marketType = marketType;
    market->tradeDates = days;
    return request(IMC::ITradingDayBackend::OperationSave, market, platformParam);
}

utils::TTError CBackendTestKit::query(IMC::ITradingDayBackend& backend, const std::string& marketParam,
                                      const std::string& platformParam, Records& records)
{
    ttservice::CItsmQueryDataReq request;
    request.dataType = IMC::ITradingDayBackend::DataKindTradeDates;
    request.marketParam = marketParam;
    request.platformParam = platformParam;
    return backend.query(request, records);
}

utils::TTError CBackendTestKit::save(IMC::ITradingDayBackend& backend, int marketType,
                                     const std::string& platformParam, const TradeDateMap& days,
                                     const std::string& operatorName)
{
    return backend.operate(*marketSave(marketType, platformParam, days), operatorName);
}

utils::TTError CBackendTestKit::operate(IMC::ITradingDayBackend& backend, int operation,
                                        const boost::shared_ptr<ttservice::IData>& record,
                                        const std::string& operatorName)
{
    return backend.operate(*request(operation, record, "WP"), operatorName);
}

QStringList CBackendTestKit::days(IMC::ITradingDayBackend& backend, const std::string& marketParam,
                                  const std::string& platformParam)
{
    const Records records = answer(backend, marketParam, platformParam);
    const auto market =
        records.size() == 1
            ? boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(records.front())
            : nullptr;
    if (!market || market->marketType != std::stoi(marketParam)) {
        fail(QStringLiteral("the answer is not one typed record of the market"));
        return {};
    }
    return describe(market->tradeDates);
}

QStringList CBackendTestKit::exchanges(IMC::ITradingDayBackend& backend)
{
    QStringList lines;
    for (const auto& record : answer(backend, "4", "WP")) {
        const auto exchange = boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(record);
        if (!exchange || exchange->marketType != 4) {
            fail(QStringLiteral("an answered exchange is not a typed record of market 4"));
            return lines;
        }
        lines << QStringLiteral("%1 %2 %3: %4")
                     .arg(QString::fromStdString(exchange->exchangeName),
                          QString::fromStdString(exchange->exchangeCode), QString::number(exchange->trackId),
                          describe(exchange->tradeDates).join(QLatin1Char(' ')));
    }
    return lines;
}

QStringList CBackendTestKit::describe(const TradeDateMap& days)
{
    QStringList lines;
    for (const auto& entry : days) {
        const auto& day = *entry.second;
        QString line = QStringLiteral("%1=%2").arg(QString::fromStdString(entry.first)).arg(day.sessionFlags);
        if (!day.valid) {
            line += QStringLiteral(" invalid");
        }
        if (day.date != entry.first) {
            line += QStringLiteral(" date:") + QString::fromStdString(day.date);
        }
        if (day.description != "交易日 " + entry.first) {
            line += QStringLiteral(" description:") + QString::fromStdString(day.description);
        }
        if (day.tradeDate != entry.first) {
            line += QStringLiteral(" tradeDate:") + QString::fromStdString(day.tradeDate);
        }
        lines << line;
    }
    return lines;
}

QString CBackendTestKit::postgreSqlServer()
{
    return qEnvironmentVariable("TDS_TEST_PG_ADDRESS");
}

QString CBackendTestKit::freshStore(const QString& folder, const QString& name)
{
    if (!postgreSqlServer().isEmpty()) {
        return freshPostgreSqlDatabase(name);
    }
    return folder + QLatin1Char('/') + name + QStringLiteral(".db");
}

QString CBackendTestKit::execute(const QString& address, const QStringList& statements, QVariant* lastValue)
{
    const QString name = QStringLiteral("tds-test-statements");
    QString failure;
    {
        QSqlDatabase db = connectDirectly(address, name);
        for (const QString& statement : statements) {
            QSqlQuery query(db);
            if (!query.exec(statement)) {
                failure = statement + QStringLiteral(": ") + query.lastError().text();
                break;
            }
            if (lastValue && query.next()) {
                *lastValue = query.value(0);
            }
        }
    }
    QSqlDatabase::removeDatabase(name);
    return failure;
}

} // namespace tds
