#include "spreadsheet/COdbcExcelReader.h"
#include "upload/CTradeDateFileReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <string>
#include <tuple>
#include <utility>

// Input files are made once by make_bench_files.py into $TDS_BENCH_DATA (default: bench-data in the
// build tree, next to bin/).
namespace {

QString scriptPath(const char* name)
{
    return QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QString::fromLatin1(name));
}

QString benchDataDir()
{
    const QString configured = qEnvironmentVariable("TDS_BENCH_DATA");
    return configured.isEmpty()
               ? QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../bench-data"))
               : configured;
}

QString benchFile(benchmark::State& state, const QString& name)
{
    const QString path = QDir(benchDataDir()).filePath(name);
    if (!QFileInfo::exists(path)) {
        const int status = QProcess::execute(QStringLiteral("/usr/bin/python3"),
                                             {scriptPath("make_bench_files.py"), benchDataDir()});
        if (status != 0 || !QFileInfo::exists(path)) {
            state.SkipWithError("could not make the benchmark files (python3-xlsxwriter, python3-xlwt)");
        }
    }
    return path;
}

void readWorkbook(benchmark::State& state, const QString& name, int expectedLines)
{
    const QString path = benchFile(state, name);
    for (auto _ : state) {
        XP::COdbcExcelReader reader;
        QStringList rows;
        if (!reader.open(path, rows, false) || rows.size() != expectedLines) {
            state.SkipWithError("the workbook was not read");
            break;
        }
        benchmark::DoNotOptimize(rows);
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
    state.counters["rows"] = expectedLines;
}

void BM_ReadXlsx100k(benchmark::State& state)
{
    readWorkbook(state, QStringLiteral("days100k.xlsx"), 100001);
}

void BM_ReadXls10k(benchmark::State& state)
{
    readWorkbook(state, QStringLiteral("days10k.xls"), 10001);
}

// openpyxl in read-only mode on the same file, timed inside Python (interpreter start left out), so
// the ratio to BM_ReadXlsx100k is measured on the same machine in the same run.
void BM_ReadXlsx100kOpenpyxlReference(benchmark::State& state)
{
    const QString path = benchFile(state, QStringLiteral("days100k.xlsx"));
    for (auto _ : state) {
        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"), {scriptPath("openpyxl_reference.py"), path});
        const bool finished = python.waitForFinished(120000);
        const QStringList output = QString::fromUtf8(python.readAllStandardOutput()).split(QLatin1Char('\n'));
        if (!finished || python.exitCode() != 0 || output.size() < 2 ||
            output.at(1) != QLatin1String("100001")) {
            state.SkipWithError("openpyxl did not read the workbook");
            break;
        }
        state.SetIterationTime(output.at(0).toDouble());
    }
}

// Whole processes as an operator times them from a shell, standard output to /dev/null: the time from start
// to exit is the iteration's time.
void timeProcess(benchmark::State& state, const QString& program, const QStringList& arguments)
{
    for (auto _ : state) {
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        QElapsedTimer clock;
        clock.start();
        process.start(program, arguments);
        if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
            process.exitCode() != 0) {
            state.SkipWithError(qPrintable(program + QStringLiteral(" failed")));
            break;
        }
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
    }
}

// tradingday-read FILE, against its two references on the same file: unzip inflating the sheet (the floor)
// and a read-only openpyxl walk of the rows, interpreter start included. Compare the medians of
// --benchmark_repetitions, which run the three interleaved.
void BM_ToolRead(benchmark::State& state, const char* name)
{
    const QString path = benchFile(state, QString::fromLatin1(name));
    timeProcess(state,
                QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("tradingday-read")),
                {path});
}

void BM_ToolReadUnzipReference(benchmark::State& state, const char* name)
{
    const QString path = benchFile(state, QString::fromLatin1(name));
    timeProcess(state, QStringLiteral("/usr/bin/unzip"),
                {QStringLiteral("-p"), path, QStringLiteral("xl/worksheets/sheet1.xml")});
}

void BM_ToolReadOpenpyxlReference(benchmark::State& state, const char* name)
{
    const QString path = benchFile(state, QString::fromLatin1(name));
    timeProcess(state, QStringLiteral("/usr/bin/python3"), {scriptPath("openpyxl_walk.py"), path});
}

void BM_ReadCsv1M(benchmark::State& state)
{
    const QString path = benchFile(state, QStringLiteral("days1m.csv"));
    std::size_t records = 0;
    for (auto _ : state) {
        IMC::CTradeDateLines lines;
        TradeDateMap tradeDates;
        if (!IMC::CTradeDateFileReader::readLines(path, lines) ||
            IMC::CTradeDateFileReader::makeRecords(lines, tradeDates) != 0) {
            state.SkipWithError("the text file was not read");
            break;
        }
        records = tradeDates.size();
        benchmark::DoNotOptimize(tradeDates);
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
    state.counters["records"] = static_cast<double>(records);
}

} // namespace

BENCHMARK(BM_ReadXlsx100k)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadXlsx100kOpenpyxlReference)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_ReadXls10k)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ReadCsv1M)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The tool and its references on each writer's file; the openpyxl walk takes seconds, so once per repetition.
const bool toolBenchmarksRegistered = [] {
    const std::pair<const char*, const char*> files[] = {{"xlsxwriter", "days100k.xlsx"},
                                                         {"openpyxl", "days100k-openpyxl.xlsx"}};
    const std::tuple<const char*, void (*)(benchmark::State&, const char*), int> runs[] = {
        {"BM_ToolRead", BM_ToolRead, 5},
        {"BM_ToolReadUnzipReference", BM_ToolReadUnzipReference, 5},
        {"BM_ToolReadOpenpyxlReference", BM_ToolReadOpenpyxlReference, 1}};
    for (const auto& [writer, file] : files) {
        for (const auto& [name, function, iterations] : runs) {
            benchmark::RegisterBenchmark((std::string(name) + '/' + writer).c_str(), function, file)
                ->Unit(benchmark::kMillisecond)
                ->UseManualTime()
                ->Iterations(iterations);
        }
    }
    return true;
}();
