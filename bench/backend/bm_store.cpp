// The store's save and query of a 30-year market map, next to a plain bulk insert of the same rows
// through the sqlite3 C library: the save (delete, insert, revision, commit) should stay within twice
// the plain insert. A desk's save, checked against the revision it read, within 1.2 times the same save
// unchecked.
#include "CSqlTradingDayBackend.h"
#include "support/BenchTradeDays.h"

#include "records/CItsmMarketTradeDateInfo.h"
#include "records/CItsmQueryDataReq.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QDate>
#include <QTemporaryDir>

#include <memory>

namespace {

const int thirtyYearsOfDays = 7500;

TradeDateMap thirtyYearMap()
{
    return tds::bench::weekdaysFrom(QDate(1996, 1, 1), thirtyYearsOfDays);
}

void BM_StoreSave30Years(benchmark::State& state)
{
    QTemporaryDir dir;
    IMC::CSqlTradingDayBackend store(dir.filePath(QStringLiteral("bench.db")));
    const ttservice::COperateDataReq request = tds::bench::domesticSave(thirtyYearMap());
    if (!store.open().isSuccess()) {
        state.SkipWithError("the store does not open");
        return;
    }
    for (auto _ : state) {
        if (!store.operate(request, "bench").isSuccess()) {
            state.SkipWithError("save failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * thirtyYearsOfDays);
}

void BM_StoreSave30YearsChecked(benchmark::State& state)
{
    QTemporaryDir dir;
    IMC::CSqlTradingDayBackend store(dir.filePath(QStringLiteral("bench.db")));
    const ttservice::COperateDataReq request = tds::bench::domesticSave(thirtyYearMap());
    ttservice::CItsmQueryDataReq read;
    read.dataType = IMC::ITradingDayBackend::DataKindTradeDates;
    read.marketParam = "0";
    std::vector<boost::shared_ptr<ttservice::IData>> records;
    IMC::CSeenRevisions seen;
    if (!store.queryTracked(read, records, seen).isSuccess()) {
        state.SkipWithError("the store does not open");
        return;
    }
    // Each save leaves the revision it wrote as the one the desk saw, as the host's client does.
    for (auto _ : state) {
        if (!store.operateChecked(request, "bench", seen).isSuccess()) {
            state.SkipWithError("save failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * thirtyYearsOfDays);
}

void BM_StoreQuery30Years(benchmark::State& state)
{
    QTemporaryDir dir;
    IMC::CSqlTradingDayBackend store(dir.filePath(QStringLiteral("bench.db")));
    if (!store.operate(tds::bench::domesticSave(thirtyYearMap()), "bench").isSuccess()) {
        state.SkipWithError("save failed");
        return;
    }
    ttservice::CItsmQueryDataReq request;
    request.dataType = IMC::ITradingDayBackend::DataKindTradeDates;
    request.marketParam = "0";
    for (auto _ : state) {
        std::vector<boost::shared_ptr<ttservice::IData>> records;
        if (!store.query(request, records).isSuccess() || records.size() != 1) {
            state.SkipWithError("query failed");
            break;
        }
        benchmark::DoNotOptimize(records);
    }
    state.SetItemsProcessed(state.iterations() * thirtyYearsOfDays);
}

bool execute(sqlite3* db, const char* sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// The same rows into the same table layout, with the same journal settings, in one transaction:
// what SQLite itself needs, without Qt and without the store's delete and revision.
void BM_Sqlite3BulkInsert30Years(benchmark::State& state)
{
    QTemporaryDir dir;
    const QByteArray path = dir.filePath(QStringLiteral("plain.db")).toUtf8();
    sqlite3* db = nullptr;
    if (sqlite3_open(path.constData(), &db) != SQLITE_OK ||
        !execute(db, "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;") ||
        !execute(db,
                 "CREATE TABLE market_day (market_type INTEGER NOT NULL CHECK (market_type BETWEEN 0 AND 3), "
                 "platform TEXT NOT NULL, day_key TEXT NOT NULL, session_flags INTEGER NOT NULL, "
                 "valid INTEGER NOT NULL, date_text TEXT, description TEXT, trade_date TEXT, "
                 "PRIMARY KEY (market_type, platform, day_key)) WITHOUT ROWID")) {
        state.SkipWithError("cannot set up the database");
        sqlite3_close(db);
        return;
    }
    const TradeDateMap days = thirtyYearMap();
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(
        db,
        "INSERT INTO market_day (market_type, platform, day_key, session_flags, valid, date_text, "
        "description, trade_date) VALUES (?, ?, ?, ?, ?, NULL, NULL, NULL)",
        -1, &insert, nullptr);
    for (auto _ : state) {
        state.PauseTiming();
        execute(db, "DELETE FROM market_day");
        state.ResumeTiming();
        execute(db, "BEGIN IMMEDIATE");
        for (const auto& day : days) {
            sqlite3_bind_int(insert, 1, 0);
            sqlite3_bind_text(insert, 2, "", 0, SQLITE_STATIC);
            sqlite3_bind_text(insert, 3, day.first.data(), static_cast<int>(day.first.size()), SQLITE_STATIC);
            sqlite3_bind_int(insert, 4, day.second->sessionFlags);
            sqlite3_bind_int(insert, 5, day.second->valid ? 1 : 0);
            if (sqlite3_step(insert) != SQLITE_DONE) {
                state.SkipWithError(sqlite3_errmsg(db));
            }
            sqlite3_reset(insert);
        }
        execute(db, "COMMIT");
    }
    sqlite3_finalize(insert);
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * thirtyYearsOfDays);
}

} // namespace

BENCHMARK(BM_StoreSave30Years)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreSave30YearsChecked)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreQuery30Years)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sqlite3BulkInsert30Years)->Unit(benchmark::kMillisecond);
