// Many hosts on one PostgreSQL store: 8 clients, each with its own store object and connection, save and
// read 30-year market maps for a bounded time, several of them on the same market. Reports saves per
// second and the 99th percentile latencies, then reads back every revision the run wrote and checks that
// it holds exactly the map its client saved.
//
// TDS_BENCH_PG: address of the database to use (postgresql://user@host:port/database); the store creates
// its tables there when it is empty. TDS_BENCH_PG_SECONDS: how long the clients run, 20 by default.
// For a throw-away server: scripts/pgcluster start DIR, then TDS_BENCH_PG=<its address>.
#include "CSqlTradingDayBackend.h"
#include "support/BenchTradeDays.h"

#include "records/CItsmMarketTradeDateInfo.h"
#include "records/CItsmQueryDataReq.h"
#include "records/COperateDataReq.h"

#include <benchmark/benchmark.h>
#include <boost/make_shared.hpp>

#include <QDate>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

const int clientCount = 8;
const int thirtyYearsOfDays = 7500;

typedef std::chrono::steady_clock Clock;

struct Market
{
    int marketType;
    std::string platform;
};

// Client i works on markets[i % 5]: three markets have two clients each.
const Market markets[] = {{0, ""}, {1, ""}, {2, ""}, {3, "14"}, {3, "15"}};
const int marketCount = 5;

std::string operatorOf(int client)
{
    return "bench-client-" + std::to_string(client);
}

// The maps a client saves: 7,500 weekdays from 1996 on, with flags that change from one save to the next
// (three variants); the first day's description names client and save, so every revision differs.
class CClientMaps
{
public:
    explicit CClientMaps(int client)
        : client(client)
    {
        for (int variant = 0; variant < 3; ++variant) {
            variants.push_back(
                tds::bench::weekdaysFrom(QDate(1996, 1, 1), thirtyYearsOfDays, 1 + (client + variant) % 3));
        }
    }

    // The map of save saveNumber, built in place from its variant: only the first day's record is new.
    TradeDateMap& map(int saveNumber)
    {
        TradeDateMap& days = variants[static_cast<std::size_t>(saveNumber % 3)];
        const auto first = days.begin();
        auto marked = boost::make_shared<ttservice::CItsmMarketTradeDateInfo>(*first->second);
        marked->description = description(saveNumber);
        const std::string key = first->first;
        days.erase(first);
        days.emplace(key, marked);
        return days;
    }

    // Whether days is exactly the map of save saveNumber.
    bool matches(const TradeDateMap& days, int saveNumber)
    {
        const TradeDateMap& expected = variants[static_cast<std::size_t>(saveNumber % 3)];
        if (days.size() != expected.size() || days.empty() ||
            days.begin()->second->description != description(saveNumber)) {
            return false;
        }
        return std::equal(std::next(days.begin()), days.end(), std::next(expected.begin()), sameDay);
    }

    static bool sameDay(const TradeDateMap::value_type& a, const TradeDateMap::value_type& b)
    {
        return a.first == b.first && a.second->date == b.second->date &&
               a.second->sessionFlags == b.second->sessionFlags && a.second->valid == b.second->valid &&
               a.second->description == b.second->description && a.second->tradeDate == b.second->tradeDate;
    }

private:
    std::string description(int saveNumber) const
    {
        return "客户端 " + std::to_string(client) + " 第 " + std::to_string(saveNumber) + " 次保存";
    }

    int client;
    std::vector<TradeDateMap> variants;
};

ttservice::COperateDataReq saveRequest(const Market& market)
{
    auto record = boost::make_shared<ttservice::CItsmTypedMarketTradeDate>();
    record->marketType = market.marketType;
    ttservice::COperateDataReq request;
    request.dataType = IMC::ITradingDayBackend::DataKindTradeDates;
    request.operation = IMC::ITradingDayBackend::OperationSave;
    request.records.push_back(record);
    request.platformParam = market.platform;
    return request;
}

ttservice::CItsmQueryDataReq queryRequest(const Market& market)
{
    ttservice::CItsmQueryDataReq request;
    request.dataType = IMC::ITradingDayBackend::DataKindTradeDates;
    request.marketParam = std::to_string(market.marketType);
    request.platformParam = market.platform;
    return request;
}

double percentileMs(std::vector<double> latencies, double fraction)
{
    if (latencies.empty()) {
        return 0;
    }
    std::sort(latencies.begin(), latencies.end());
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(latencies.size())));
    return latencies.at(std::max<std::size_t>(rank, 1) - 1);
}

struct ClientRun
{
    int saves = 0;
    std::vector<double> saveMs;
    std::vector<double> queryMs;
    std::string failure;
};

void runClient(const QString& address, int client, Clock::time_point deadline, ClientRun& run)
{
    IMC::CSqlTradingDayBackend store(address);
    const Market& market = markets[client % marketCount];
    const ttservice::CItsmQueryDataReq query = queryRequest(market);
    CClientMaps maps(client);
    ttservice::COperateDataReq save = saveRequest(market);
    // The request carries the client's map for the time of the save, without a copy.
    TradeDateMap& sentDays =
        boost::static_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(save.records.front())->tradeDates;
    while (Clock::now() < deadline && run.failure.empty()) {
        TradeDateMap& days = maps.map(run.saves);
        sentDays.swap(days);
        const auto saveStart = Clock::now();
        const utils::TTError saved = store.operate(save, operatorOf(client));
        const auto saveEnd = Clock::now();
        sentDays.swap(days);
        if (!saved.isSuccess()) {
            run.failure = "save: " + saved.errorMsg();
            break;
        }
        ++run.saves;
        run.saveMs.push_back(std::chrono::duration<double, std::milli>(saveEnd - saveStart).count());

        std::vector<boost::shared_ptr<ttservice::IData>> records;
        const utils::TTError answered = store.query(query, records);
        run.queryMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - saveEnd).count());
        const auto typed =
            records.size() == 1
                ? boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(records.front())
                : nullptr;
        if (!answered.isSuccess() || !typed || typed->tradeDates.size() != thirtyYearsOfDays) {
            run.failure = "query: " + answered.errorMsg();
        }
    }
}

// The revisions the clients wrote after lastIdBefore, each compared with the map its client saved in that
// turn, and each market's current map compared with its last revision; answers how many revisions are
// intact, or sets failure.
int checkRevisions(IMC::CSqlTradingDayBackend& store, long long lastIdBefore,
                   const std::vector<ClientRun>& runs, std::string& failure)
{
    int intact = 0;
    std::vector<int> seen(clientCount, 0);
    std::vector<CClientMaps> maps;
    for (int client = 0; client < clientCount; ++client) {
        maps.emplace_back(client);
    }
    for (const Market& market : markets) {
        std::vector<IMC::CStoreRevision> revisions;
        if (!store.revisions(market.marketType, market.platform, "", revisions).isSuccess()) {
            failure = "the revisions cannot be listed";
            return intact;
        }
        TradeDateMap last;
        for (const IMC::CStoreRevision& revision : revisions) {
            if (revision.id <= lastIdBefore) {
                continue;
            }
            int client = 0;
            while (client < clientCount && operatorOf(client) != revision.operatorName) {
                ++client;
            }
            IMC::CStoreRevision kept;
            TradeDateMap days;
            if (client == clientCount || !store.revisionDays(revision.id, kept, days).isSuccess() ||
                kept.dayCount != thirtyYearsOfDays ||
                !maps[static_cast<std::size_t>(client)].matches(days, seen[client]++)) {
                failure = "revision " + std::to_string(revision.id) + " is not what its client saved";
                return intact;
            }
            ++intact;
            last.swap(days);
        }
        std::vector<boost::shared_ptr<ttservice::IData>> records;
        store.query(queryRequest(market), records);
        const auto current =
            records.size() == 1
                ? boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(records.front())
                : nullptr;
        if (!last.empty() && (!current || !std::equal(current->tradeDates.begin(), current->tradeDates.end(),
                                                      last.begin(), last.end(), CClientMaps::sameDay))) {
            failure = "market " + std::to_string(market.marketType) + " " + market.platform +
                      " does not hold its last revision";
            return intact;
        }
    }
    for (int client = 0; client < clientCount; ++client) {
        if (seen[client] != runs.at(static_cast<std::size_t>(client)).saves) {
            failure = operatorOf(client) + " has revisions missing";
        }
    }
    return intact;
}

long long lastRevisionId(IMC::CSqlTradingDayBackend& store)
{
    long long last = 0;
    for (const Market& market : markets) {
        std::vector<IMC::CStoreRevision> revisions;
        store.revisions(market.marketType, market.platform, "", revisions);
        if (!revisions.empty()) {
            last = std::max(last, revisions.back().id);
        }
    }
    return last;
}

void BM_StoreLoad8ClientsPg(benchmark::State& state)
{
    const QString address = qEnvironmentVariable("TDS_BENCH_PG");
    if (address.isEmpty()) {
        state.SkipWithError(
            "TDS_BENCH_PG is not set: give the address of a PostgreSQL database "
            "(postgresql://user@host:port/database), e.g. one of scripts/pgcluster start DIR");
        return;
    }
    const int seconds = qEnvironmentVariableIsSet("TDS_BENCH_PG_SECONDS")
                            ? qEnvironmentVariableIntValue("TDS_BENCH_PG_SECONDS")
                            : 20;
    IMC::CSqlTradingDayBackend checker(address);
    const utils::TTError opened = checker.open();
    if (!opened.isSuccess()) {
        state.SkipWithError(opened.errorMsg().c_str());
        return;
    }
    const long long lastIdBefore = lastRevisionId(checker);

    std::vector<ClientRun> runs(clientCount);
    for (auto _ : state) {
        const auto deadline = Clock::now() + std::chrono::seconds(seconds);
        std::vector<std::thread> clients;
        for (int client = 0; client < clientCount; ++client) {
            clients.emplace_back(runClient, address, client, deadline, std::ref(runs[client]));
        }
        for (std::thread& client : clients) {
            client.join();
        }
    }

    std::vector<double> saveMs;
    std::vector<double> queryMs;
    int saves = 0;
    for (const ClientRun& run : runs) {
        if (!run.failure.empty()) {
            state.SkipWithError(run.failure.c_str());
            return;
        }
        saves += run.saves;
        saveMs.insert(saveMs.end(), run.saveMs.begin(), run.saveMs.end());
        queryMs.insert(queryMs.end(), run.queryMs.begin(), run.queryMs.end());
    }
    std::string failure;
    const int intact = checkRevisions(checker, lastIdBefore, runs, failure);
    if (!failure.empty()) {
        state.SkipWithError(failure.c_str());
        return;
    }
    state.counters["clients"] = clientCount;
    state.counters["saves"] = saves;
    state.counters["saves_per_s"] = saves / static_cast<double>(seconds);
    state.counters["save_p50_ms"] = percentileMs(saveMs, 0.50);
    state.counters["save_p99_ms"] = percentileMs(saveMs, 0.99);
    state.counters["query_p99_ms"] = percentileMs(queryMs, 0.99);
    state.counters["revisions_intact"] = intact;
    state.SetItemsProcessed(static_cast<int64_t>(saves) * thirtyYearsOfDays);
}

} // namespace

BENCHMARK(BM_StoreLoad8ClientsPg)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
