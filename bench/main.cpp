#include <QApplication>

#include <benchmark/benchmark.h>

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
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
