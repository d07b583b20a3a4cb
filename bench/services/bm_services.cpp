#include "records/CItsmQueryDataReq.h"
#include "records/CItsmTypedMarketTradeDate.h"
#include "services/CItsmClient.h"
#include "services/CMemoryTradingDayBackend.h"

#include <QDate>

#include <benchmark/benchmark.h>
#include <boost/make_shared.hpp>

#include <condition_variable>
#include <mutex>

namespace {

// A year of weekdays, as a domestic market holds them.
TradeDateMap yearOfWeekdays(int year)
{
    TradeDateMap days;
    for (QDate date(year, 1, 1); date.year() == year; date = date.addDays(1)) {
        if (date.dayOfWeek() > 5) {
            continue;
        }
        const std::string text = date.toString("yyyy-MM-dd").toStdString();
        auto day = boost::make_shared<ttservice::CItsmMarketTradeDateInfo>();
        day->date = text;
        day->tradeDate = text;
        day->description = "交易日 " + text;
        day->sessionFlags = 3;
        day->valid = true;
        days[text] = day;
    }
    return days;
}

void BM_TypedRecordCopyOfAYear(benchmark::State& state)
{
    ttservice::CItsmTypedMarketTradeDate typed;
    typed.tradeDates = yearOfWeekdays(2026);
    for (auto _ : state) {
        benchmark::DoNotOptimize(typed.copy());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(typed.tradeDates.size()));
}
BENCHMARK(BM_TypedRecordCopyOfAYear);

// One query through the client's worker thread and back, answer a market of state.range(0) years.
void BM_ClientQueryRoundTrip(benchmark::State& state)
{
    auto backend = std::make_shared<IMC::CMemoryTradingDayBackend>();
    TradeDateMap days;
    for (int year = 2026; year < 2026 + state.range(0); ++year) {
        const TradeDateMap yearDays = yearOfWeekdays(year);
        days.insert(yearDays.begin(), yearDays.end());
    }
    backend->setMarketDays(0, days);
    IMC::CItsmClient client("bench", backend);
    auto query = boost::make_shared<ttservice::CItsmQueryDataReq>();
    query->dataType = 12306;
    query->marketParam = "0";

    std::mutex mutex;
    std::condition_variable answered;
    for (auto _ : state) {
        bool done = false;
        client.queryData_async(
            query,
            [&](const utils::TTError&, const std::vector<boost::shared_ptr<ttservice::IData>>&, int,
                bson::BSONObj) {
                std::lock_guard<std::mutex> lock(mutex);
                done = true;
                answered.notify_one();
            },
            0);
        std::unique_lock<std::mutex> lock(mutex);
        answered.wait(lock, [&done] { return done; });
    }
    backend->clearReceived();
    state.counters["days"] = static_cast<double>(days.size());
}
BENCHMARK(BM_ClientQueryRoundTrip)->Arg(1)->Arg(5)->Unit(benchmark::kMicrosecond);

} // namespace
