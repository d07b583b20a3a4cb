// Start of tradingday-host to its first painted window, against a minimal Qt Widgets program started the
// same way in the same run. Wall time per start; peak resident memory of the child as a counter.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <string>
#include <vector>

extern char** environ;

namespace {

// Runs the program to its end; returns the child's peak resident memory in KiB, or -1 on failure.
long runToEnd(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        return -1;
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return -1;
    }
    return usage.ru_maxrss;
}

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
