// Calendar questions as the systems that consume a market's calendar ask them. Goals: through
// CTradingCalendar at least 1,000,000 "next" answers a second on a 30-year calendar in memory; an answer
// --as-of an old state of a store with 1,000 revisions within twice the current state's; and "next" as a
// whole tradingday-ctl process on a 30-year market within 50 ms.
#include "CSqlTradingDayBackend.h"
#include "CTradingCalendar.h"
#include "support/BenchProcess.h"
#include "support/BenchTradeDays.h"

#include "records/CItsmQueryDataReq.h"

#include <benchmark/benchmark.h>

#include <QDate>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace {

const int thirtyYearsOfDays = 7500;
const int revisionCount = 1000;

void BM_CalendarNext(benchmark::State& state)
{
    const IMC::CTradingCalendar calendar(tds::bench::weekdaysFrom(QDate(1996, 1, 1), thirtyYearsOfDays));
    QRandomGenerator random(7);
    std::vector<QDate> asked;
    for (int i = 0; i < 4096; ++i) {
        asked.push_back(QDate(1996, 1, 1).addDays(random.bounded(10000)));
    }
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(calendar.next(asked[next++ & 4095], 1));
    }
    state.SetItemsProcessed(state.iterations());
}

// A store whose market 0 has 1,000 revisions, each a 30-year map that differs from the one before; made once.
struct RevisedStore
{
    QTemporaryDir dir;
    std::unique_ptr<IMC::CSqlTradingDayBackend> store;
    bool ready = false;

    RevisedStore()
    {
        store = std::make_unique<IMC::CSqlTradingDayBackend>(dir.filePath(QStringLiteral("bench.db")));
        TradeDateMap days = tds::bench::weekdaysFrom(QDate(1996, 1, 1), thirtyYearsOfDays);
        for (int revision = 1; revision <= revisionCount; ++revision) {
            days.erase(std::next(days.begin(), revision));
            if (!store->operate(tds::bench::domesticSave(days), "bench").isSuccess()) {
                return;
            }
        }
        ready = true;
    }

    static RevisedStore& instance()
    {
        static RevisedStore revised;
        return revised;
    }
};

void BM_CalendarOfCurrentState(benchmark::State& state)
{
    RevisedStore& revised = RevisedStore::instance();
    ttservice::CItsmQueryDataReq request;
    request.dataType = IMC::ITradingDayBackend::DataKindTradeDates;
    request.marketParam = "0";
    for (auto _ : state) {
        std::vector<boost::shared_ptr<ttservice::IData>> records;
        if (!revised.ready || !revised.store->query(request, records).isSuccess()) {
            state.SkipWithError("query failed");
            break;
        }
        const auto market =
            boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(records.front());
        benchmark::DoNotOptimize(IMC::CTradingCalendar(market->tradeDates).next(QDate(2010, 1, 1), 1));
    }
}

void BM_CalendarAsOfOldRevision(benchmark::State& state)
{
    RevisedStore& revised = RevisedStore::instance();
    for (auto _ : state) {
        IMC::CStoreRevision revision;
        TradeDateMap days;
        if (!revised.ready ||
            !revised.store->daysAsOf(0, std::string(), std::string(), 10, QDateTime(), revision, days)
                 .isSuccess()) {
            state.SkipWithError("as-of query failed");
            break;
        }
        benchmark::DoNotOptimize(IMC::CTradingCalendar(days).next(QDate(2010, 1, 1), 1));
    }
}

void BM_CtlNextProcess(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("bench.db"));
    {
        IMC::CSqlTradingDayBackend store(db);
        if (!store
                 .operate(
                     tds::bench::domesticSave(tds::bench::weekdaysFrom(QDate(1996, 1, 1), thirtyYearsOfDays)),
                     "bench")
                 .isSuccess()) {
            state.SkipWithError("save failed");
            return;
        }
    }
    const std::vector<std::string> next = {TDS_CTL_PATH, "--db", db.toStdString(), "next",
                                           "--market",   "0",    "2010-06-01"};
    for (auto _ : state) {
        if (tds::bench::runToEnd(next) < 0) {
            state.SkipWithError("tradingday-ctl next failed");
            return;
        }
    }
}

} // namespace

BENCHMARK(BM_CalendarNext);
BENCHMARK(BM_CalendarOfCurrentState)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CalendarAsOfOldRevision)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CtlNextProcess)->Unit(benchmark::kMillisecond)->Iterations(20);
