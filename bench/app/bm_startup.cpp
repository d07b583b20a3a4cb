// Start of tradingday-host to its first painted window, against a minimal Qt Widgets program started the
// same way in the same run. Wall time per start; peak resident memory of the child as a counter.
#include "support/BenchProcess.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <string>
#include <vector>

namespace {

using tds::bench::runToEnd;

void measureStart(benchmark::State& state, const std::vector<std::string>& arguments)
{
    long peakKib = 0;
    for (auto _ : state) {
        peakKib = runToEnd(arguments);
        if (peakKib < 0) {
            state.SkipWithError("the program did not start and exit cleanly");
            return;
        }
    }
    state.counters["peak_rss_mib"] = static_cast<double>(peakKib) / 1024.0;
}

void BM_MinimalQtWindowStart(benchmark::State& state)
{
    measureStart(state, {TDS_MINIMAL_WINDOW_PATH});
}

void BM_HostStartToFirstPaint(benchmark::State& state)
{
    QTemporaryDir dir;
    const std::string config = dir.filePath(QStringLiteral("host.ini")).toStdString();
    const std::string db = dir.filePath(QStringLiteral("tradingday.db")).toStdString();
    // The first start creates the store and the configuration; measured starts open them as a user would.
    runToEnd({TDS_HOST_PATH, "--config", config, "--db", db, "--exit-after-first-paint"});
    measureStart(state, {TDS_HOST_PATH, "--config", config, "--db", db, "--exit-after-first-paint"});
}

} // namespace

BENCHMARK(BM_MinimalQtWindowStart)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_HostStartToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(10);
