#include <QApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

// Benchmarks that build widgets need a QApplication; run offscreen unless told otherwise.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Qt's glib event loop turns every posted event into a write() wake-up; Qt's own dispatcher, like the
    // Windows loop the real host runs on, does not. Every benchmark, reference runs included, uses it.
    qputenv("QT_NO_GLIB", "1");
    QApplication app(argc, argv);
    // Goals compare a benchmark with a reference in the same run. Repetitions of the two run interleaved
    // in random order, so that a slow spell of the machine falls on both alike; a later
    // --benchmark_enable_random_interleaving=false on the command line still turns it off.
    std::vector<char*> arguments(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    arguments.insert(arguments.begin() + std::min(argc, 1), interleave);
    int argumentCount = static_cast<int>(arguments.size());
    arguments.push_back(nullptr);
    benchmark::Initialize(&argumentCount, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(argumentCount, arguments.data())) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
