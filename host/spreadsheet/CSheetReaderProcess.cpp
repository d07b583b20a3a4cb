#include "spreadsheet/CSheetReaderProcess.h"

#include "spreadsheet/CSanitizedBuild.h"
#include "spreadsheet/CSheetAnswerReader.h"
#include "spreadsheet/CSheetTable.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

#include <dlfcn.h>

#include <mutex>
#include <vector>

namespace XP {
namespace {

const char* const helperName = "tradingday-sheet-reader";
constexpr std::size_t answerPieceSize = 64 * 1024;

std::mutex limitsMutex;
// Bytes per field of the largest sheet the table accepts, as the answer encodes them.
CSheetReaderProcess::Limits currentLimits{20, 2LL << 30, 45000, CSheetTable::maxFields * 16};

// A sanitized helper reserves far more address space than any sane limit; its sanitizer enforces the same
// bound on resident memory instead.
QProcessEnvironment helperEnvironment(const CSheetReaderProcess::Limits& limits)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (XP::CSanitizedBuild::active) {
        const QString limit = QStringLiteral("hard_rss_limit_mb=%1").arg(limits.addressSpaceBytes >> 20);
        for (const QString& variable : {QStringLiteral("ASAN_OPTIONS"), QStringLiteral("TSAN_OPTIONS")}) {
            const QString options = environment.value(variable);
            environment.insert(variable, options.isEmpty() ? limit : options + QLatin1Char(':') + limit);
        }
    }
    return environment;
}

} // namespace

QString CSheetReaderProcess::helperPath()
{
    const QString configured = qEnvironmentVariable("TDS_SHEET_READER");
    if (!configured.isEmpty()) {
        return configured;
    }
    Dl_info library{};
    if (dladdr(reinterpret_cast<void*>(&CSheetReaderProcess::read), &library) == 0 || !library.dli_fname) {
        return QString();
    }
    const QDir libraryDir = QFileInfo(QFile::decodeName(library.dli_fname)).absoluteDir();
    const QString installed = QDir::cleanPath(libraryDir.filePath(QStringLiteral(TDS_SHEET_READER_FROM_LIB)) +
                                              QLatin1Char('/') + QLatin1String(helperName));
    const QString inBuildTree = QDir::cleanPath(
        libraryDir.filePath(QStringLiteral("../libexec/panelsystemtradingday/") + QLatin1String(helperName)));
    return QFileInfo(installed).isExecutable() ? installed : inBuildTree;
}

CSheetReaderProcess::Limits CSheetReaderProcess::limits()
{
    std::lock_guard<std::mutex> lock(limitsMutex);
    return currentLimits;
}

void CSheetReaderProcess::setLimits(const Limits& limits)
{
    std::lock_guard<std::mutex> lock(limitsMutex);
    currentLimits = limits;
}

bool CSheetReaderProcess::read(const QString& path, ISheetCellSink& cells)
{
    const Limits bounds = limits();
    QProcess helper;
    helper.setProcessEnvironment(helperEnvironment(bounds));
    helper.setProcessChannelMode(QProcess::SeparateChannels);
    helper.setStandardErrorFile(QProcess::nullDevice());
    helper.start(helperPath(), {QStringLiteral("--cpu-seconds"), QString::number(bounds.cpuSeconds),
                                QStringLiteral("--address-space"), QString::number(bounds.addressSpaceBytes),
                                QFileInfo(path).absoluteFilePath()});
    if (!helper.waitForStarted(bounds.deadlineMs)) {
        return false;
    }
    helper.closeWriteChannel();
    // The answer is decoded as it arrives, while the helper still parses. Its pieces pass through one
    // buffer: a fresh one per piece would cost a page fault per 4 KiB of answer.
    CSheetAnswerReader answer(cells);
    qint64 answerBytes = 0;
    std::vector<char> piece(answerPieceSize);
    const auto readAvailable = [&helper, &answer, &answerBytes, &bounds, &piece] {
        for (;;) {
            const qint64 got = helper.read(piece.data(), static_cast<qint64>(piece.size()));
            if (got <= 0) {
                return true; // nothing more for now, or the end once the helper is gone
            }
            answerBytes += got;
            if (answerBytes > bounds.maxAnswerBytes ||
                !answer.feed(piece.data(), static_cast<std::size_t>(got))) {
                return false;
            }
        }
    };
    QElapsedTimer clock;
    clock.start();
    bool good = true;
    while (good && helper.state() != QProcess::NotRunning && clock.elapsed() < bounds.deadlineMs) {
        helper.waitForReadyRead(static_cast<int>(std::max<qint64>(1, bounds.deadlineMs - clock.elapsed())));
        good = readAvailable();
    }
    if (helper.state() != QProcess::NotRunning) {
        helper.kill();
        helper.waitForFinished();
        return false;
    }
    const bool clean = helper.exitStatus() == QProcess::NormalExit && helper.exitCode() == 0;
    return good && readAvailable() && clean && answer.finish();
}

} // namespace XP
