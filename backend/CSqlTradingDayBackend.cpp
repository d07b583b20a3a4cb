#include "CSqlTradingDayBackend.h"

#include "CDaySetCodec.h"
#include "CStoreDialect.h"
#include "CStoreException.h"
#include "CStoreQuery.h"
#include "CStoreSchema.h"
#include "CStoreTransaction.h"

#include "records/CItsmInstrumentDetail.h"
#include "records/CItsmPlatformInfo.h"
#include "records/EZRMarketType.h"

#include <boost/make_shared.hpp>

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

#include <algorithm>
#include <atomic>

namespace IMC {

namespace {

const char* const overseasPlatform = "WP";
const char* const futuresPlatform = "14";
const char* const ratesPlatform = "15";

// Empty but not null: a null text would be bound as NULL.
const QString noPlatform = QString::fromLatin1("");

const QString maintainerGrantedFact = QStringLiteral("maintainer_granted");

std::atomic<unsigned long long> nextInstanceId{1};
std::atomic<unsigned long long> nextConnectionId{1};

[[noreturn]] void badRequest(const std::string& text)
{
    throw CStoreException(CStoreException::BadRequest, QString::fromStdString(text));
}

QString textOf(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

std::string stdTextOf(const QVariant& value)
{
    return value.toString().toStdString();
}

bool isTrackKind(const std::string& platformKind)
{
    return platformKind == futuresPlatform || platformKind == ratesPlatform;
}

int parseMarketType(const std::string& text)
{
    static const std::vector<std::string> known = {"0", "1", "2", "3", "4"};
    const auto found = std::find(known.begin(), known.end(), text);
    if (found == known.end()) {
        badRequest("不支持的市场类型: " + text);
    }
    return static_cast<int>(found - known.begin());
}

void requireOverseasPlatform(const std::string& platformParam)
{
    if (platformParam != overseasPlatform) {
        badRequest("境外市场的平台参数应为 WP, 收到: " + platformParam);
    }
}

// Reads the day columns (key, flags, valid flag, date, description, trade date) from column first on.
void addDay(const QSqlQuery& row, int first, TradeDateMap& days)
{
    const std::string key = stdTextOf(row.value(first));
    auto day = boost::make_shared<ttservice::CItsmMarketTradeDateInfo>();
    day->sessionFlags = row.value(first + 1).toInt();
    day->valid = row.value(first + 2).toBool();
    day->date = CDaySetCodec::loadedText(row.value(first + 3), key);
    day->description = CDaySetCodec::loadedText(row.value(first + 4), CDaySetCodec::usualDescription(key));
    day->tradeDate = CDaySetCodec::loadedText(row.value(first + 5), key);
    days.emplace_hint(days.end(), key, day);
}

// The columns revisionOf reads, without FROM, so that a caller can add the day blob.
const QString revisionSelect =
    QStringLiteral("SELECT id, market_type, platform, exchange_name, exchange_code, track_id, operation, "
                   "restored_from, operator, saved_at, day_count");
const int revisionColumnCount = 11;

CStoreRevision revisionOf(const QSqlQuery& row)
{
    CStoreRevision revision;
    revision.id = row.value(0).toLongLong();
    revision.marketType = row.value(1).toInt();
    revision.platformParam = stdTextOf(row.value(2));
    revision.exchangeName = stdTextOf(row.value(3));
    revision.exchangeCode = stdTextOf(row.value(4));
    revision.trackId = row.value(5).toInt();
    revision.operation = row.value(6).toInt();
    revision.restoredFrom = row.value(7).toLongLong();
    revision.operatorName = stdTextOf(row.value(8));
    revision.savedAt = QDateTime::fromString(row.value(9).toString(), Qt::ISODateWithMs);
    revision.dayCount = row.value(10).toInt();
    return revision;
}

typedef std::vector<TradeDateMap::const_iterator> DayRows;

// The columns that say whose days a table's rows are, their types and this owner's values.
struct DayOwner
{
    QStringList columns;
    QStringList types;
    QVariantList values;
};

const QStringList keyColumns = {QStringLiteral("day_key"), QStringLiteral("session_flags"),
                                QStringLiteral("valid")};
const QStringList keyColumnTypes = {QStringLiteral("TEXT"), QStringLiteral("INTEGER"),
                                    QStringLiteral("INTEGER")};
const QStringList textColumns = {QStringLiteral("date_text"), QStringLiteral("description"),
                                 QStringLiteral("trade_date")};
const QStringList textColumnTypes = {QStringLiteral("TEXT"), QStringLiteral("TEXT"), QStringLiteral("TEXT")};
// Rows per statement. One statement per row costs Qt more than SQLite needs to store the row; too many
// rows per statement make preparing slow, because Qt hands each "?" to SQLite as a named placeholder and
// SQLite looks those names up one by one. On PostgreSQL larger statements measured no faster.
const std::size_t rowsPerStatement = 64;

// INSERT INTO table (owner columns, day columns) SELECT ?, ..., column1, ... FROM (VALUES (?, ...), ...) AS
// day_row: the owner's values are bound once per statement and each row binds only its own values. Each
// placeholder carries its column's type where the database cannot tell it from the statement.
QString dayInsert(const CStoreDialect& dialect, const QString& table, const DayOwner& owner,
                  const QStringList& columns, const QStringList& columnTypes, std::size_t rows)
{
    QStringList selected;
    for (const QString& type : owner.types) {
        selected << dialect.typedPlaceholder(type);
    }
    QStringList placeholders;
    for (int i = 1; i <= columns.size(); ++i) {
        selected << QStringLiteral("column%1").arg(i);
        placeholders << dialect.typedPlaceholder(columnTypes.at(i - 1));
    }
    const QString row = QLatin1Char('(') + placeholders.join(QStringLiteral(", ")) + QLatin1Char(')');
    QStringList valueRows;
    for (std::size_t i = 0; i < rows; ++i) {
        valueRows << row;
    }
    return QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM (VALUES %4) AS day_row")
        .arg(table, (owner.columns + columns).join(QStringLiteral(", ")), selected.join(QStringLiteral(", ")),
             valueRows.join(QStringLiteral(", ")));
}

void insertDayRows(const QSqlDatabase& db, const QString& table, const DayOwner& owner, const DayRows& rows,
                   bool withTexts)
{
    const QStringList columns = withTexts ? keyColumns + textColumns : keyColumns;
    const QStringList columnTypes = withTexts ? keyColumnTypes + textColumnTypes : keyColumnTypes;
    const CStoreDialect& dialect = CStoreDialect::of(db);
    QSqlQuery insert;
    std::size_t preparedRows = 0;
    for (std::size_t first = 0; first < rows.size(); first += rowsPerStatement) {
        const std::size_t count = std::min(rowsPerStatement, rows.size() - first);
        if (count != preparedRows) {
            insert = CStoreQuery::prepare(db, dayInsert(dialect, table, owner, columns, columnTypes, count));
            preparedRows = count;
        }
        int parameter = 0;
        for (const QVariant& ownerValue : owner.values) {
            insert.bindValue(parameter++, ownerValue);
        }
        for (std::size_t i = first; i < first + count; ++i) {
            const std::string& key = rows[i]->first;
            const ttservice::CItsmMarketTradeDateInfo& day = *rows[i]->second;
            insert.bindValue(parameter++, textOf(key));
            insert.bindValue(parameter++, day.sessionFlags);
            insert.bindValue(parameter++, day.valid ? 1 : 0);
            if (withTexts) {
                insert.bindValue(parameter++, CDaySetCodec::storedText(day.date, key));
                insert.bindValue(parameter++, CDaySetCodec::storedDescription(day.description, key));
                insert.bindValue(parameter++, CDaySetCodec::storedText(day.tradeDate, key));
            }
        }
        CStoreQuery::execPrepared(db, insert);
    }
}

void insertDays(const QSqlDatabase& db, const QString& table, const DayOwner& owner, const TradeDateMap& days)
{
    // Most days carry the usual texts, which are stored as NULL: their rows need only key, flags and
    // valid flag bound.
    DayRows usualDays;
    DayRows unusualDays;
    usualDays.reserve(days.size());
    for (auto day = days.begin(); day != days.end(); ++day) {
        (CDaySetCodec::hasUsualTexts(*day->second, day->first) ? usualDays : unusualDays).push_back(day);
    }
    insertDayRows(db, table, owner, usualDays, false);
    insertDayRows(db, table, owner, unusualDays, true);
}

QString marketSubject(int marketType, const QString& platform)
{
    return QStringLiteral("market %1 %2").arg(marketType).arg(platform);
}

QString exchangeSubject(const std::string& exchangeName)
{
    return QStringLiteral("exchange ") + textOf(exchangeName);
}

} // namespace

template<typename Work> utils::TTError CSqlTradingDayBackend::guarded(Work&& work)
{
    // A connection the server dropped while it was idle (server stopped and back, or restarted) fails at
    // the request's first statement; it is replaced and the request runs once more on a new connection.
    // One that breaks later is not retried: a save whose commit may have reached the server must not run
    // twice. Either way the next request starts on a new connection.
    for (bool retried = false;; retried = true) {
        const unsigned long long statementsBefore = CStoreQuery::statementsDoneOnThisThread();
        try {
            work();
            return {};
        } catch (const CStoreException& failure) {
            const bool nothingDone = CStoreQuery::statementsDoneOnThisThread() == statementsBefore;
            if (failure.code() == CStoreException::NoConnection &&
                forgetConnection(QThread::currentThread()) && nothingDone && !retried) {
                continue;
            }
            return reported(failure).toError();
        } catch (const std::exception& failure) {
            return utils::TTError(CStoreException::DatabaseFailure,
                                  std::string("交易日数据库内部错误: ") + failure.what());
        }
    }
}

CSqlTradingDayBackend::CSqlTradingDayBackend(const QString& address)
    : address(CStoreAddress::parse(address))
    , dialect(CStoreDialect::forAddress(this->address))
    , instanceId(nextInstanceId++)
{}

CSqlTradingDayBackend::~CSqlTradingDayBackend()
{
    std::vector<QString> names;
    for (const auto& entry : connections) {
        names.push_back(entry.second.connectionName());
    }
    connections.clear();
    for (const QString& name : names) {
        QSqlDatabase::removeDatabase(name);
    }
}

utils::TTError CSqlTradingDayBackend::query(const ttservice::CItsmQueryDataReq& request,
                                            std::vector<boost::shared_ptr<ttservice::IData>>& records)
{
    return queryDays(request, records, nullptr);
}

utils::TTError CSqlTradingDayBackend::operate(const ttservice::COperateDataReq& request,
                                              const std::string& operatorName)
{
    return operateOnDays(request, operatorName, nullptr);
}

utils::TTError CSqlTradingDayBackend::queryTracked(const ttservice::CItsmQueryDataReq& request,
                                                   std::vector<boost::shared_ptr<ttservice::IData>>& records,
                                                   CSeenRevisions& seen)
{
    return queryDays(request, records, &seen);
}

utils::TTError CSqlTradingDayBackend::operateChecked(const ttservice::COperateDataReq& request,
                                                     const std::string& operatorName, CSeenRevisions& seen)
{
    return operateOnDays(request, operatorName, &seen);
}

utils::TTError CSqlTradingDayBackend::queryDays(const ttservice::CItsmQueryDataReq& request,
                                                std::vector<boost::shared_ptr<ttservice::IData>>& records,
                                                CSeenRevisions* seen)
{
    return guarded([&] {
        if (request.dataType != DataKindTradeDates) {
            badRequest("不支持的数据类型: " + std::to_string(request.dataType));
        }
        const int marketType = parseMarketType(request.marketParam);
        const QSqlDatabase db = connection();
        std::vector<boost::shared_ptr<ttservice::IData>> answer;
        // Revisions are read before the days: a save committed in between leaves the desk with an older
        // revision than its days, so its next save is refused rather than the other desk's days lost.
        if (marketType == ttservice::EZR_MarketOverseas) {
            requireOverseasPlatform(request.platformParam);
            const std::map<std::string, long long> revisions =
                seen ? latestExchangeRevisions(db) : std::map<std::string, long long>();
            loadExchanges(db, answer);
            if (seen) {
                seen->forgetExchanges();
                for (const auto& record : answer) {
                    const std::string& name =
                        static_cast<const ttservice::CItsmTypedMarketTradeDate&>(*record).exchangeName;
                    const auto revision = revisions.find(name);
                    seen->remember({marketType, std::string(), name},
                                   revision == revisions.end() ? 0 : revision->second);
                }
            }
        } else {
            const QString platform = marketPlatform(marketType, request.platformParam);
            const Subject subject{marketType, platform.toStdString(), std::string()};
            const long long revision = seen ? latestRevision(db, subject).id : 0;
            answer.push_back(loadMarket(db, marketType, platform));
            if (seen) {
                seen->remember(subject, revision);
            }
        }
        records.insert(records.end(), answer.begin(), answer.end());
    });
}

utils::TTError CSqlTradingDayBackend::operateOnDays(const ttservice::COperateDataReq& request,
                                                    const std::string& operatorName, CSeenRevisions* seen)
{
    return guarded([&] {
        const ttservice::CItsmTypedMarketTradeDate& record = operationRecord(request);
        if (request.operation == OperationDelete) {
            if (record.marketType != ttservice::EZR_MarketOverseas) {
                badRequest("只能删除境外交易所");
            }
            requireOverseasPlatform(request.platformParam);
            deleteExchange(connection(), record.exchangeName, operatorName, 0, seen);
        } else if (record.marketType == ttservice::EZR_MarketOverseas) {
            requireOverseasPlatform(request.platformParam);
            saveExchange(connection(), record, operatorName, 0, seen);
        } else {
            const QString platform = marketPlatform(record.marketType, request.platformParam);
            saveMarket(connection(), record.marketType, platform, record.tradeDates, operatorName, 0, seen);
        }
    });
}

utils::TTError
CSqlTradingDayBackend::queryReference(int dataKind, const std::string& queryParam,
                                      std::vector<boost::shared_ptr<ttservice::IData>>& records)
{
    return guarded([&] {
        std::vector<boost::shared_ptr<ttservice::IData>> answer;
        if (dataKind == DataKindTracks) {
            if (!isTrackKind(queryParam)) {
                badRequest("不支持的赛道平台类型: " + queryParam);
            }
            loadTracks(connection(), queryParam, answer);
        } else if (dataKind == DataKindInstruments) {
            loadInstruments(connection(), answer);
        } else {
            badRequest("不支持的数据类型: " + std::to_string(dataKind));
        }
        records.insert(records.end(), answer.begin(), answer.end());
    });
}

utils::TTError CSqlTradingDayBackend::open()
{
    return guarded([&] { connection(); });
}

const QString& CSqlTradingDayBackend::filePath() const
{
    return address.filePath();
}

const CStoreAddress& CSqlTradingDayBackend::storeAddress() const
{
    return address;
}

CSeenRevisions::Subject CSqlTradingDayBackend::subjectOf(int marketType, const std::string& platformParam,
                                                         const std::string& exchangeName) const
{
    if (marketType != ttservice::EZR_MarketOverseas) {
        return Subject::of(marketType, marketPlatform(marketType, platformParam).toStdString(),
                           std::string());
    }
    if (exchangeName.empty()) {
        badRequest("境外市场需要交易所名称");
    }
    return Subject::of(marketType, std::string(), exchangeName);
}

utils::TTError CSqlTradingDayBackend::revisions(int marketType, const std::string& platformParam,
                                                const std::string& exchangeName,
                                                std::vector<CStoreRevision>& found)
{
    return guarded([&] {
        const Subject subject = subjectOf(marketType, platformParam, exchangeName);
        QSqlQuery row = CStoreQuery::run(
            connection(),
            revisionSelect + QStringLiteral(" FROM revision WHERE market_type = ? AND platform = ? "
                                            "AND exchange_name = ? ORDER BY id"),
            {marketType, textOf(subject.platformParam), textOf(subject.exchangeName)});
        std::vector<CStoreRevision> answer;
        while (row.next()) {
            answer.push_back(revisionOf(row));
        }
        found.insert(found.end(), answer.begin(), answer.end());
    });
}

utils::TTError CSqlTradingDayBackend::revisionDays(long long revisionId, CStoreRevision& revision,
                                                   TradeDateMap& days)
{
    return guarded([&] {
        TradeDateMap kept;
        revision = loadRevision(connection(), revisionId, kept);
        days.swap(kept);
    });
}

utils::TTError CSqlTradingDayBackend::daysAsOf(int marketType, const std::string& platformParam,
                                               const std::string& exchangeName, long long revisionId,
                                               const QDateTime& at, CStoreRevision& revision,
                                               TradeDateMap& days)
{
    return guarded([&] {
        const Subject subject = subjectOf(marketType, platformParam, exchangeName);
        const QString bound = revisionId > 0 ? QStringLiteral("id <= ?") : QStringLiteral("saved_at <= ?");
        const QVariant limit = revisionId > 0
                                   ? QVariant(revisionId)
                                   : QVariant(at.toUTC().addMSecs(999).toString(Qt::ISODateWithMs));
        QSqlQuery row = CStoreQuery::run(
            connection(),
            revisionSelect + QStringLiteral(", days FROM revision WHERE market_type = ? AND platform = ? AND "
                                            "exchange_name = ? AND %1 ORDER BY id DESC LIMIT 1")
                                 .arg(bound),
            {subject.marketType, textOf(subject.platformParam), textOf(subject.exchangeName), limit});
        if (!row.next()) {
            throw CStoreException(CStoreException::NotFound, QStringLiteral("该市场当时还没有交易日修订"));
        }
        TradeDateMap kept;
        if (!CDaySetCodec::decode(row.value(revisionColumnCount).toByteArray(), kept)) {
            throw CStoreException(
                CStoreException::DatabaseFailure,
                QStringLiteral("修订 %1 的交易日数据已损坏").arg(row.value(0).toLongLong()));
        }
        revision = revisionOf(row);
        days.swap(kept);
    });
}

utils::TTError CSqlTradingDayBackend::restoreRevision(long long revisionId, const std::string& operatorName,
                                                      CStoreRevision& restored)
{
    return guarded([&] {
        const QSqlDatabase db = connection();
        TradeDateMap days;
        const CStoreRevision original = loadRevision(db, revisionId, days);
        if (original.marketType != ttservice::EZR_MarketOverseas) {
            restored = saveMarket(db, original.marketType, textOf(original.platformParam), days, operatorName,
                                  revisionId);
        } else if (original.operation == OperationDelete) {
            restored = deleteExchange(db, original.exchangeName, operatorName, revisionId);
        } else {
            ttservice::CItsmTypedMarketTradeDate exchange;
            exchange.marketType = ttservice::EZR_MarketOverseas;
            exchange.exchangeName = original.exchangeName;
            exchange.exchangeCode = original.exchangeCode;
            exchange.trackId = original.trackId;
            exchange.tradeDates = days;
            restored = saveExchange(db, exchange, operatorName, revisionId);
        }
    });
}

utils::TTError CSqlTradingDayBackend::revisionsAfter(long long revisionId, std::vector<CStoreRevision>& found)
{
    return guarded([&] {
        QSqlQuery row = CStoreQuery::run(
            connection(), revisionSelect + QStringLiteral(" FROM revision WHERE id > ? ORDER BY id"),
            {revisionId});
        std::vector<CStoreRevision> answer;
        while (row.next()) {
            answer.push_back(revisionOf(row));
        }
        found.insert(found.end(), answer.begin(), answer.end());
    });
}

utils::TTError CSqlTradingDayBackend::newestRevisionId(long long& revisionId)
{
    return guarded([&] {
        revisionId =
            CStoreQuery::scalar(connection(), QStringLiteral("SELECT COALESCE(MAX(id), 0) FROM revision"))
                .toLongLong();
    });
}

bool CSqlTradingDayBackend::wroteRevision(long long revisionId) const
{
    std::lock_guard<std::mutex> lock(mutex);
    return writtenRevisions.count(revisionId) > 0;
}

utils::TTError CSqlTradingDayBackend::rightsOf(const std::string& operatorName, QSet<int>& rights)
{
    return guarded([&] {
        const QSqlDatabase db = connection();
        QSet<int> answer;
        QSqlQuery row = CStoreQuery::run(
            db, QStringLiteral("SELECT right_id FROM operator_right WHERE operator = ? ORDER BY right_id"),
            {textOf(operatorName)});
        while (row.next()) {
            answer.insert(row.value(0).toInt());
        }
        row.finish();
        if (!maintainerEverGranted(db)) {
            answer.insert(RightTradingDayMaintenance);
        }
        rights.unite(answer);
    });
}

utils::TTError CSqlTradingDayBackend::grantRight(const std::string& operatorName, int right)
{
    return guarded([&] {
        checkRightArguments(operatorName, right);
        const QSqlDatabase db = connection();
        CStoreTransaction transaction(db, QStringLiteral("rights"));
        CStoreQuery::run(db,
                         QStringLiteral("INSERT INTO operator_right (operator, right_id) VALUES (?, ?) "
                                        "ON CONFLICT DO NOTHING"),
                         {textOf(operatorName), right});
        if (right == RightTradingDayMaintenance) {
            CStoreQuery::run(
                db, QStringLiteral("INSERT INTO store_fact (name) VALUES (?) ON CONFLICT DO NOTHING"),
                {maintainerGrantedFact});
        }
        transaction.commit();
    });
}

utils::TTError CSqlTradingDayBackend::revokeRight(const std::string& operatorName, int right)
{
    return guarded([&] {
        checkRightArguments(operatorName, right);
        CStoreQuery::run(connection(),
                         QStringLiteral("DELETE FROM operator_right WHERE operator = ? AND right_id = ?"),
                         {textOf(operatorName), right});
    });
}

utils::TTError CSqlTradingDayBackend::maintainers(std::vector<std::string>& operators)
{
    return guarded([&] {
        QSqlQuery row = CStoreQuery::run(
            connection(),
            QStringLiteral("SELECT operator FROM operator_right WHERE right_id = ? ORDER BY operator"),
            {RightTradingDayMaintenance});
        std::vector<std::string> found;
        while (row.next()) {
            found.push_back(stdTextOf(row.value(0)));
        }
        operators.insert(operators.end(), found.begin(), found.end());
    });
}

QSqlDatabase CSqlTradingDayBackend::connection()
{
    QThread* thread = QThread::currentThread();
    {
        std::lock_guard<std::mutex> lock(mutex);
        const auto found = connections.find(thread);
        if (found != connections.end() && found->second.driver()->thread() == thread) {
            return found->second;
        }
    }
    // A connection left behind by a finished thread whose QThread address was reused is closed first.
    forgetConnection(thread);
    return openConnection(thread);
}

QSqlDatabase CSqlTradingDayBackend::openConnection(QThread* thread)
{
    if (!address.isValid()) {
        throw CStoreException(CStoreException::StoreUnreachable, address.errorText());
    }
    const QString context = QStringLiteral("无法打开交易日数据库 %1: ").arg(address.displayText());
    if (!QSqlDatabase::isDriverAvailable(dialect.driverName())) {
        throw CStoreException(CStoreException::StoreUnreachable,
                              context +
                                  QStringLiteral("本机没有 Qt 的 %1 数据库驱动").arg(dialect.driverName()));
    }
    const QString name = QStringLiteral("tradingday-store-%1-%2").arg(instanceId).arg(nextConnectionId++);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(dialect.driverName(), name);
        dialect.configureConnection(db, address);
        try {
            if (!db.open()) {
                throw openFailure(db.lastError());
            }
            CStoreSchema::prepare(db);
            std::lock_guard<std::mutex> lock(mutex);
            connections[thread] = db;
            return db;
        } catch (const CStoreException& failure) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            // A lost connection is reported with the address when it reaches the caller.
            throw failure.code() == CStoreException::NoConnection ? failure : failure.within(context);
        }
    }
}

CStoreException CSqlTradingDayBackend::openFailure(const QSqlError& error) const
{
    if (address.kind() == CStoreAddress::PostgreSql) {
        return CStoreException(CStoreException::NoConnection, error.databaseText().simplified());
    }
    return CStoreException(CStoreException::StoreUnreachable, error.databaseText());
}

CStoreException CSqlTradingDayBackend::reported(const CStoreException& failure) const
{
    if (failure.code() != CStoreException::NoConnection) {
        return failure;
    }
    return failure.within(QStringLiteral("交易日数据库无法连接: %1: ").arg(address.displayText()));
}

bool CSqlTradingDayBackend::forgetConnection(QThread* thread)
{
    QString name;
    {
        std::lock_guard<std::mutex> lock(mutex);
        const auto found = connections.find(thread);
        if (found == connections.end()) {
            return false;
        }
        name = found->second.connectionName();
        connections.erase(found);
    }
    QSqlDatabase::removeDatabase(name);
    return true;
}

QString CSqlTradingDayBackend::marketPlatform(int marketType, const std::string& platformParam) const
{
    switch (marketType) {
    case ttservice::EZR_MarketDomestic:
    case ttservice::EZR_MarketHKConnect:
    case ttservice::EZR_MarketReserved:
        return noPlatform;
    case ttservice::EZR_MarketElectronic:
        if (!isTrackKind(platformParam)) {
            badRequest("电子盘市场需要平台参数 14 或 15, 收到: " + platformParam);
        }
        return textOf(platformParam);
    default:
        badRequest("不支持的市场类型: " + std::to_string(marketType));
    }
}

boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate>
CSqlTradingDayBackend::loadMarket(const QSqlDatabase& db, int marketType, const QString& platform)
{
    auto market = boost::make_shared<ttservice::CItsmTypedMarketTradeDate>();
    market->marketType = marketType;
    QSqlQuery row =
        CStoreQuery::run(db,
                         QStringLiteral("SELECT day_key, session_flags, valid, date_text, description, "
                                        "trade_date FROM market_day WHERE market_type = ? AND "
                                        "platform = ? ORDER BY day_key"),
                         {marketType, platform});
    while (row.next()) {
        addDay(row, 0, market->tradeDates);
    }
    return market;
}

void CSqlTradingDayBackend::loadExchanges(const QSqlDatabase& db,
                                          std::vector<boost::shared_ptr<ttservice::IData>>& records)
{
    std::map<long long, boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate>> byId;
    QSqlQuery exchangeRow =
        CStoreQuery::run(db, QStringLiteral("SELECT id, name, code, track_id FROM exchange ORDER BY id"));
    while (exchangeRow.next()) {
        auto exchange = boost::make_shared<ttservice::CItsmTypedMarketTradeDate>();
        exchange->marketType = ttservice::EZR_MarketOverseas;
        exchange->exchangeName = stdTextOf(exchangeRow.value(1));
        exchange->exchangeCode = stdTextOf(exchangeRow.value(2));
        exchange->trackId = exchangeRow.value(3).toInt();
        byId[exchangeRow.value(0).toLongLong()] = exchange;
        records.push_back(exchange);
    }
    QSqlQuery dayRow =
        CStoreQuery::run(db, QStringLiteral("SELECT exchange_id, day_key, session_flags, valid, "
                                            "date_text, description, trade_date FROM exchange_day "
                                            "ORDER BY exchange_id, day_key"));
    while (dayRow.next()) {
        const auto owner = byId.find(dayRow.value(0).toLongLong());
        if (owner != byId.end()) {
            addDay(dayRow, 1, owner->second->tradeDates);
        }
    }
}

void CSqlTradingDayBackend::loadTracks(const QSqlDatabase& db, const std::string& platformKind,
                                       std::vector<boost::shared_ptr<ttservice::IData>>& records)
{
    QSqlQuery row = CStoreQuery::run(
        db, QStringLiteral("SELECT track_id, name FROM track WHERE platform_kind = ? ORDER BY track_id"),
        {textOf(platformKind)});
    while (row.next()) {
        auto track = boost::make_shared<ttservice::CItsmPlatformInfo>();
        track->platformId = row.value(0).toInt();
        track->platformName = stdTextOf(row.value(1));
        records.push_back(track);
    }
}

void CSqlTradingDayBackend::loadInstruments(const QSqlDatabase& db,
                                            std::vector<boost::shared_ptr<ttservice::IData>>& records)
{
    QSqlQuery row =
        CStoreQuery::run(db, QStringLiteral("SELECT instrument_code, instrument_name, exchange_code, "
                                            "exchange_name FROM instrument ORDER BY id"));
    while (row.next()) {
        auto instrument = boost::make_shared<ttservice::CItsmInstrumentDetail>();
        instrument->detail = boost::make_shared<ttservice::CItsmInstrumentDetailInfo>();
        instrument->detail->instrumentCode = stdTextOf(row.value(0));
        instrument->detail->instrumentName = stdTextOf(row.value(1));
        instrument->detail->exchangeCode = stdTextOf(row.value(2));
        instrument->detail->exchangeName = stdTextOf(row.value(3));
        records.push_back(instrument);
    }
}

void CSqlTradingDayBackend::requireMaintenanceRight(const QSqlDatabase& db, const std::string& operatorName)
{
    // Called inside the write transaction, so a revoke committed before it cannot be slipped past.
    const bool refused =
        CStoreQuery::scalar(db,
                            QStringLiteral("SELECT EXISTS (SELECT 1 FROM store_fact WHERE name = ?) "
                                           "AND NOT EXISTS (SELECT 1 FROM operator_right WHERE "
                                           "operator = ? AND right_id = ?)"),
                            {maintainerGrantedFact, textOf(operatorName), RightTradingDayMaintenance})
            .toBool();
    if (refused) {
        throw CStoreException(CStoreException::Forbidden, QStringLiteral("操作员 %1 没有交易日维护权限(%2)")
                                                              .arg(textOf(operatorName))
                                                              .arg(RightTradingDayMaintenance));
    }
}

CStoreRevision CSqlTradingDayBackend::latestRevision(const QSqlDatabase& db, const Subject& subject)
{
    QSqlQuery row =
        CStoreQuery::run(db,
                         revisionSelect + QStringLiteral(" FROM revision WHERE market_type = ? AND "
                                                         "platform = ? AND exchange_name = ? "
                                                         "ORDER BY id DESC LIMIT 1"),
                         {subject.marketType, textOf(subject.platformParam), textOf(subject.exchangeName)});
    return row.next() ? revisionOf(row) : CStoreRevision();
}

std::map<std::string, long long> CSqlTradingDayBackend::latestExchangeRevisions(const QSqlDatabase& db)
{
    QSqlQuery row = CStoreQuery::run(db,
                                     QStringLiteral("SELECT exchange_name, MAX(id) FROM revision WHERE "
                                                    "market_type = ? GROUP BY exchange_name"),
                                     {static_cast<int>(ttservice::EZR_MarketOverseas)});
    std::map<std::string, long long> latest;
    while (row.next()) {
        latest[stdTextOf(row.value(0))] = row.value(1).toLongLong();
    }
    return latest;
}

void CSqlTradingDayBackend::requireUnchanged(const QSqlDatabase& db, const Subject& subject,
                                             const CSeenRevisions& seen)
{
    const CStoreRevision latest = latestRevision(db, subject);
    const boost::optional<long long> expected = seen.revisionOf(subject);
    bool unchanged = false;
    if (expected) {
        unchanged = latest.id == *expected;
    } else if (subject.marketType == ttservice::EZR_MarketOverseas) {
        unchanged = latest.id == 0 || latest.operation == OperationDelete;
    } else {
        unchanged = latest.id == 0;
    }
    if (!unchanged) {
        throw CStoreException(
            CStoreException::Stale,
            QStringLiteral("交易日已被 %1 于 %2 修改（修订 %3），请重新刷新后再保存")
                .arg(textOf(latest.operatorName),
                     latest.savedAt.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                .arg(latest.id));
    }
}

bool CSqlTradingDayBackend::maintainerEverGranted(const QSqlDatabase& db)
{
    return CStoreQuery::scalar(db, QStringLiteral("SELECT EXISTS (SELECT 1 FROM store_fact WHERE name = ?)"),
                               {maintainerGrantedFact})
        .toBool();
}

void CSqlTradingDayBackend::checkRightArguments(const std::string& operatorName, int right) const
{
    if (operatorName.empty()) {
        badRequest("操作员名称不能为空");
    }
    if (right <= 0) {
        badRequest("权限编号必须是正整数, 收到: " + std::to_string(right));
    }
}

const ttservice::CItsmTypedMarketTradeDate&
CSqlTradingDayBackend::operationRecord(const ttservice::COperateDataReq& request) const
{
    if (request.dataType != DataKindTradeDates) {
        badRequest("不支持的数据类型: " + std::to_string(request.dataType));
    }
    if (request.operation != OperationSave && request.operation != OperationDelete) {
        badRequest("不支持的操作类型: " + std::to_string(request.operation));
    }
    if (request.records.empty()) {
        badRequest("操作请求中没有记录");
    }
    if (request.records.size() > 1) {
        badRequest("操作请求只能包含一条记录");
    }
    const auto record =
        boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(request.records.front());
    if (!record) {
        badRequest("操作请求中的记录不是市场交易日记录");
    }
    for (const auto& day : record->tradeDates) {
        if (!day.second) {
            badRequest("交易日 " + day.first + " 的记录为空");
        }
    }
    return *record;
}

CStoreRevision CSqlTradingDayBackend::saveMarket(const QSqlDatabase& db, int marketType,
                                                 const QString& platform, const TradeDateMap& days,
                                                 const std::string& operatorName, long long restoredFrom,
                                                 CSeenRevisions* seen)
{
    const Subject subject{marketType, platform.toStdString(), std::string()};
    CStoreTransaction transaction(db, marketSubject(marketType, platform));
    requireMaintenanceRight(db, operatorName);
    if (seen) {
        requireUnchanged(db, subject, *seen);
    }
    CStoreQuery::run(db, QStringLiteral("DELETE FROM market_day WHERE market_type = ? AND platform = ?"),
                     {marketType, platform});
    insertDays(db, QStringLiteral("market_day"),
               {{QStringLiteral("market_type"), QStringLiteral("platform")},
                {QStringLiteral("INTEGER"), QStringLiteral("TEXT")},
                {marketType, platform}},
               days);
    CStoreRevision revision;
    revision.marketType = marketType;
    revision.platformParam = platform.toStdString();
    revision.operation = OperationSave;
    revision.restoredFrom = restoredFrom;
    revision.operatorName = operatorName;
    revision = recordRevision(db, revision, days);
    transaction.commit();
    if (seen) {
        seen->remember(subject, revision.id);
    }
    return revision;
}

CStoreRevision CSqlTradingDayBackend::saveExchange(const QSqlDatabase& db,
                                                   const ttservice::CItsmTypedMarketTradeDate& exchange,
                                                   const std::string& operatorName, long long restoredFrom,
                                                   CSeenRevisions* seen)
{
    if (exchange.exchangeName.empty()) {
        badRequest("交易所名称不能为空");
    }
    const Subject subject{ttservice::EZR_MarketOverseas, std::string(), exchange.exchangeName};
    CStoreTransaction transaction(db, exchangeSubject(exchange.exchangeName));
    requireMaintenanceRight(db, operatorName);
    if (seen) {
        requireUnchanged(db, subject, *seen);
    }
    const QString name = textOf(exchange.exchangeName);
    CStoreQuery::run(
        db,
        QStringLiteral("INSERT INTO exchange (name, code, track_id) VALUES (?, ?, ?) ON CONFLICT "
                       "(name) DO UPDATE SET code = excluded.code, track_id = excluded.track_id"),
        {name, textOf(exchange.exchangeCode), exchange.trackId});
    const QVariant exchangeId =
        CStoreQuery::scalar(db, QStringLiteral("SELECT id FROM exchange WHERE name = ?"), {name});
    CStoreQuery::run(db, QStringLiteral("DELETE FROM exchange_day WHERE exchange_id = ?"), {exchangeId});
    insertDays(db, QStringLiteral("exchange_day"),
               {{QStringLiteral("exchange_id")}, {QStringLiteral("BIGINT")}, {exchangeId}},
               exchange.tradeDates);
    CStoreRevision revision;
    revision.marketType = ttservice::EZR_MarketOverseas;
    revision.exchangeName = exchange.exchangeName;
    revision.exchangeCode = exchange.exchangeCode;
    revision.trackId = exchange.trackId;
    revision.operation = OperationSave;
    revision.restoredFrom = restoredFrom;
    revision.operatorName = operatorName;
    revision = recordRevision(db, revision, exchange.tradeDates);
    transaction.commit();
    if (seen) {
        seen->remember(subject, revision.id);
    }
    return revision;
}

CStoreRevision CSqlTradingDayBackend::deleteExchange(const QSqlDatabase& db, const std::string& exchangeName,
                                                     const std::string& operatorName, long long restoredFrom,
                                                     CSeenRevisions* seen)
{
    const Subject subject{ttservice::EZR_MarketOverseas, std::string(), exchangeName};
    CStoreTransaction transaction(db, exchangeSubject(exchangeName));
    requireMaintenanceRight(db, operatorName);
    if (seen) {
        requireUnchanged(db, subject, *seen);
    }
    CStoreRevision revision;
    {
        QSqlQuery row =
            CStoreQuery::run(db, QStringLiteral("SELECT id, code, track_id FROM exchange WHERE name = ?"),
                             {textOf(exchangeName)});
        if (!row.next()) {
            throw CStoreException(CStoreException::NotFound,
                                  QStringLiteral("交易所 %1 不存在").arg(textOf(exchangeName)));
        }
        const QVariant exchangeId = row.value(0);
        revision.exchangeCode = stdTextOf(row.value(1));
        revision.trackId = row.value(2).toInt();
        row.finish();
        CStoreQuery::run(db, QStringLiteral("DELETE FROM exchange_day WHERE exchange_id = ?"), {exchangeId});
        CStoreQuery::run(db, QStringLiteral("DELETE FROM exchange WHERE id = ?"), {exchangeId});
    }
    revision.marketType = ttservice::EZR_MarketOverseas;
    revision.exchangeName = exchangeName;
    revision.operation = OperationDelete;
    revision.restoredFrom = restoredFrom;
    revision.operatorName = operatorName;
    revision = recordRevision(db, revision, TradeDateMap());
    transaction.commit();
    if (seen) {
        // An exchange the desk has not seen is one it expects not to exist.
        seen->forget(subject);
    }
    return revision;
}

CStoreRevision CSqlTradingDayBackend::recordRevision(const QSqlDatabase& db, CStoreRevision revision,
                                                     const TradeDateMap& days)
{
    revision.savedAt = QDateTime::currentDateTimeUtc();
    revision.dayCount = static_cast<int>(days.size());
    QSqlQuery insert = CStoreQuery::run(
        db,
        QStringLiteral("INSERT INTO revision (market_type, platform, exchange_name, exchange_code, track_id, "
                       "operation, restored_from, operator, saved_at, day_count, days) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id"),
        {revision.marketType, textOf(revision.platformParam), textOf(revision.exchangeName),
         textOf(revision.exchangeCode), revision.trackId, revision.operation,
         revision.restoredFrom == 0 ? QVariant(QVariant::LongLong) : QVariant(revision.restoredFrom),
         textOf(revision.operatorName), revision.savedAt.toString(Qt::ISODateWithMs), revision.dayCount,
         CDaySetCodec::encode(days)});
    if (!insert.next()) {
        throw CStoreException(CStoreException::DatabaseFailure,
                              QStringLiteral("交易日数据库没有给出新修订的编号"));
    }
    revision.id = insert.value(0).toLongLong();
    insert.finish();
    // Known as this desk's before anyone can see it.
    {
        std::lock_guard<std::mutex> lock(mutex);
        writtenRevisions.insert(revision.id);
    }
    CStoreDialect::of(db).announceRevision(db, revision.id);
    return revision;
}

CStoreRevision CSqlTradingDayBackend::loadRevision(const QSqlDatabase& db, long long revisionId,
                                                   TradeDateMap& days)
{
    QSqlQuery row = CStoreQuery::run(db, revisionSelect + QStringLiteral(", days FROM revision WHERE id = ?"),
                                     {revisionId});
    if (!row.next()) {
        throw CStoreException(CStoreException::NotFound, QStringLiteral("修订 %1 不存在").arg(revisionId));
    }
    if (!CDaySetCodec::decode(row.value(revisionColumnCount).toByteArray(), days)) {
        throw CStoreException(CStoreException::DatabaseFailure,
                              QStringLiteral("修订 %1 的交易日数据已损坏").arg(revisionId));
    }
    return revisionOf(row);
}

} // namespace IMC
