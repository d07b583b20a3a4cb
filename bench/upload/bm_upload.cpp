#include "spreadsheet/COdbcExcelReader.h"
#include "upload/CTradeDateFileReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <benchmark/benchmark.h>

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
