#include "CBackendTestKit.h"

#include "CStoreAddress.h"
#include "CStoreDialect.h"

#include "records/CItsmQueryDataReq.h"
#include "records/COperateDataReq.h"

#include <boost/make_shared.hpp>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

namespace tds {

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
    auto market = boost::make_shared<ttservice::CItsmTypedMarketTradeDate>();
    market->marketType = marketType;
    market->tradeDates = days;
    return operate(backend, IMC::ITradingDayBackend::OperationSave, market, platformParam, operatorName);
}

utils::TTError CBackendTestKit::operate(IMC::ITradingDayBackend& backend, int operation,
                                        const boost::shared_ptr<ttservice::IData>& record,
                                        const std::string& platformParam, const std::string& operatorName)
{
    ttservice::COperateDataReq request;
    request.dataType = IMC::ITradingDayBackend::DataKindTradeDates;
    request.operation = operation;
    request.records.push_back(record);
    request.platformParam = platformParam;
    return backend.operate(request, operatorName);
}

TradeDateMap CBackendTestKit::marketDays(IMC::ITradingDayBackend& backend, const std::string& marketParam,
                                         const std::string& platformParam)
{
    Records records;
    const utils::TTError error = query(backend, marketParam, platformParam, records);
    if (!error.isSuccess()) {
        QTest::qFail(
            qPrintable(QStringLiteral("query failed: %1").arg(QString::fromStdString(error.errorMsg()))),
            __FILE__, __LINE__);
        return {};
    }
    const auto market =
        records.size() == 1
            ? boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(records.front())
            : nullptr;
    if (!market || market->marketType != std::stoi(marketParam)) {
        QTest::qFail("the answer is not one typed record of the market", __FILE__, __LINE__);
        return {};
    }
    return market->tradeDates;
}

std::vector<boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate>>
CBackendTestKit::exchanges(IMC::ITradingDayBackend& backend)
{
    Records records;
    const utils::TTError error = query(backend, "4", "WP", records);
    std::vector<boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate>> found;
    if (!error.isSuccess()) {
        QTest::qFail(
            qPrintable(QStringLiteral("query failed: %1").arg(QString::fromStdString(error.errorMsg()))),
            __FILE__, __LINE__);
        return found;
    }
    for (const auto& record : records) {
        found.push_back(boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(record));
    }
    return found;
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

namespace {

// SQLSTATE of CREATE DATABASE for a database that exists already.
const QString duplicateDatabase = QStringLiteral("42P04");

// Runs statements as the server's administrator on database; the first failure's text, or an empty one.
QString administer(const IMC::CStoreAddress& server, const QString& database, const QStringList& statements)
{
    const QString name = QStringLiteral("tds-test-administration");
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(server.host());
        db.setPort(server.port());
        db.setUserName(server.userName());
        db.setPassword(server.password());
        db.setDatabaseName(database);
        if (!db.open()) {
            failure = db.lastError().text();
        }
        for (const QString& statement :
             QStringList(QStringLiteral("SET client_min_messages = error")) + statements) {
            QSqlQuery query(db);
            if (failure.isEmpty() && !query.exec(statement) &&
                query.lastError().nativeErrorCode() != duplicateDatabase) {
                failure = statement + QStringLiteral(": ") + query.lastError().text();
            }
        }
    }
    QSqlDatabase::removeDatabase(name);
    return failure;
}

} // namespace

QString CBackendTestKit::freshPostgreSqlDatabase(const QString& name)
{
    const IMC::CStoreAddress server = IMC::CStoreAddress::parse(postgreSqlServer());
    if (server.kind() != IMC::CStoreAddress::PostgreSql) {
        QTest::qFail("TDS_TEST_PG_ADDRESS does not name a PostgreSQL server", __FILE__, __LINE__);
        return {};
    }
    // Names come from the tests themselves: letters, digits and underscores.
    QString failure =
        administer(server, server.databaseName(), {QStringLiteral("CREATE DATABASE %1").arg(name)});
    if (failure.isEmpty()) {
        failure = administer(
            server, name,
            {QStringLiteral("DROP SCHEMA IF EXISTS public CASCADE"), QStringLiteral("CREATE SCHEMA public")});
    }
    if (!failure.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("PostgreSQL: ") + failure), __FILE__, __LINE__);
        return {};
    }
    return QStringLiteral("postgresql://%1@%2:%3/%4")
        .arg(server.userName(), server.host())
        .arg(server.port())
        .arg(name);
}

QString CBackendTestKit::freshStore(const QString& folder, const QString& name)
{
    if (!postgreSqlServer().isEmpty()) {
        return freshPostgreSqlDatabase(name);
    }
    return folder + QLatin1Char('/') + name + QStringLiteral(".db");
}

QSqlDatabase CBackendTestKit::connectDirectly(const QString& address, const QString& connectionName)
{
    const IMC::CStoreAddress parsed = IMC::CStoreAddress::parse(address);
    const IMC::CStoreDialect& dialect = IMC::CStoreDialect::forAddress(parsed);
    QSqlDatabase db = QSqlDatabase::addDatabase(dialect.driverName(), connectionName);
    dialect.configureConnection(db, parsed);
    if (!db.open()) {
        QTest::qFail(qPrintable(db.lastError().text()), __FILE__, __LINE__);
    }
    return db;
}

} // namespace tds
