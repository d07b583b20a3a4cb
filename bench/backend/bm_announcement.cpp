// How soon a desk hears of another desk's save: from the other desk's commit to the revision reaching the
// watching desk's GUI thread (where the host shows its toast), over 50 saves; goal: p99 within 2 s. Runs on
// a SQLite file and, when TDS_BENCH_PG names a PostgreSQL database (see bm_storeload.cpp), on it too.
#include "CRevisionWatcher.h"
#include "CSqlTradingDayBackend.h"
#include "support/BenchTradeDays.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

const int savesMeasured = 50;
const int giveUpMs = 10000;

// Milliseconds from each save's return (its commit) to the watcher's report on this thread.
void measureAnnouncements(benchmark::State& state, const QString& address)
{
    auto watchingDesk = std::make_shared<IMC::CSqlTradingDayBackend>(address);
    IMC::CSqlTradingDayBackend otherDesk(address);
    if (!watchingDesk->open().isSuccess() || !otherDesk.open().isSuccess()) {
        state.SkipWithError("the store does not open");
        return;
    }
    IMC::CRevisionWatcher watcher(watchingDesk);
    QEventLoop loop;
    long long awaited = 0;
    QObject::connect(&watcher, &IMC::CRevisionWatcher::sigRevisionsWaiting, &loop, [&] {
        for (const IMC::CStoreRevision& revision : watcher.takeRevisions()) {
            if (revision.id == awaited) {
                loop.quit();
            }
        }
    });
    // The watcher's first look marks what is there as known.
    QTimer::singleShot(3 * IMC::CRevisionWatcher::pollIntervalMs, &loop, &QEventLoop::quit);
    loop.exec();
    std::vector<double> latencies;
    for (auto _ : state) {
        latencies.clear();
        for (int save = 0; save < savesMeasured; ++save) {
            long long newest = 0;
            if (!otherDesk.newestRevisionId(newest).isSuccess() ||
                !otherDesk
                     .operate(tds::bench::domesticSave(
                                  tds::bench::weekdaysFrom(QDate(2026, 1, 1).addDays(save), 20)),
                              "bench")
                     .isSuccess()) {
                state.SkipWithError("save failed");
                return;
            }
            awaited = newest + 1;
            QElapsedTimer sinceCommit;
            sinceCommit.start();
            QTimer giveUp;
            giveUp.setSingleShot(true);
            QObject::connect(&giveUp, &QTimer::timeout, &loop, [&] { loop.exit(1); });
            giveUp.start(giveUpMs);
            if (loop.exec() != 0) {
                state.SkipWithError("a save was not announced");
                return;
            }
            latencies.push_back(sinceCommit.nsecsElapsed() / 1e6);
        }
    }
    std::sort(latencies.begin(), latencies.end());
    state.counters["p50_ms"] = latencies[latencies.size() / 2];
    state.counters["p99_ms"] = latencies[(latencies.size() * 99) / 100];
    state.counters["max_ms"] = latencies.back();
}

void BM_AnnouncementLatencySqlite(benchmark::State& state)
{
    QTemporaryDir dir;
    measureAnnouncements(state, dir.filePath(QStringLiteral("bench.db")));
}

void BM_AnnouncementLatencyPostgreSql(benchmark::State& state)
{
    const QString address = qEnvironmentVariable("TDS_BENCH_PG");
    if (address.isEmpty()) {
        state.SkipWithError("TDS_BENCH_PG is not set: give the address of a PostgreSQL database");
        return;
    }
    measureAnnouncements(state, address);
}

} // namespace

BENCHMARK(BM_AnnouncementLatencySqlite)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnnouncementLatencyPostgreSql)->Iterations(1)->Unit(benchmark::kMillisecond);
