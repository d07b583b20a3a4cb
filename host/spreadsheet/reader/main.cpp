// tradingday-sheet-reader [--cpu-seconds N] [--address-space BYTES] FILE: parses the first sheet of the
// workbook FILE and writes it to standard output as a CSheetAnswer, cell by cell while it parses. It runs on
// untrusted files, in a process of its own: it first limits its CPU time and address space, so that a parser
// fault ends here. Exit code 0 with a complete answer, 1 when the workbook cannot be read (what was written
// is then to be thrown away), 2 on wrong usage.
//
// Built a second time as tradingday-sheet-reader-faulty for tests: that one fails on demand as the
// environment variable TDS_SHEET_READER_FAULT says (crash, hang, memory, truncate).
#include "spreadsheet/CSanitizedBuild.h"
#include "spreadsheet/CSheetAnswer.h"
#include "spreadsheet/CSheetAnswerWriter.h"
#include "spreadsheet/CWorkbookParser.h"

#include <QFile>
#include <QString>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

void limit(int resource, unsigned long long value)
{
    const rlimit bound{static_cast<rlim_t>(value), static_cast<rlim_t>(value)};
    setrlimit(resource, &bound);
}

bool writeAll(const char* data, std::size_t size)
{
    std::size_t left = size;
    while (left > 0) {
        const ssize_t written = ::write(STDOUT_FILENO, data, left);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

#ifdef TDS_SHEET_READER_FAULTS
// Fails as told once the workbook is parsed, before the answer is written; "truncate" writes half of it.
void injectFault(QByteArray& answer)
{
    const std::string fault = qgetenv("TDS_SHEET_READER_FAULT").toStdString();
    if (fault == "crash") {
        std::signal(SIGSEGV, SIG_DFL);
        std::raise(SIGSEGV);
    } else if (fault == "hang") {
        for (;;) {
            ::pause();
        }
    } else if (fault == "memory") {
        std::vector<std::vector<char>> blocks;
        for (;;) {
            blocks.emplace_back(64 << 20, 'x');
        }
    } else if (fault == "truncate") {
        answer.truncate(answer.size() / 2);
    }
}
#endif

} // namespace

int main(int argc, char** argv)
{
    unsigned long long cpuSeconds = 20;
    unsigned long long addressSpace = 2ULL << 30;
    QString path;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if ((argument == "--cpu-seconds" || argument == "--address-space") && i + 1 < argc) {
            (argument == "--cpu-seconds" ? cpuSeconds : addressSpace) = std::strtoull(argv[++i], nullptr, 10);
        } else if (path.isEmpty() && argument.rfind("--", 0) != 0) {
            path = QFile::decodeName(argv[i]);
        } else {
            return 2;
        }
    }
    if (path.isEmpty() || cpuSeconds == 0 || addressSpace == 0) {
        return 2;
    }
    limit(RLIMIT_CPU, cpuSeconds);
    if (!XP::CSanitizedBuild::active) {
        limit(RLIMIT_AS, addressSpace);
    }
#ifdef TDS_SHEET_READER_FAULTS
    // The faulty helper holds its answer back so that a fault can strike before any of it is written.
    XP::CSheetTable table;
    if (!XP::CWorkbookParser::parse(path, table)) {
        return 1;
    }
    QByteArray answer = XP::CSheetAnswer::encode(table);
    injectFault(answer);
    return writeAll(answer.constData(), static_cast<std::size_t>(answer.size())) ? 0 : 1;
#else
    // The answer goes out while the sheet is parsed; if parsing fails half-way, the exit code tells the
    // host to throw away what it got.
    XP::CSheetAnswerWriter writer(writeAll);
    return XP::CWorkbookParser::parse(path, writer) && writer.finish() ? 0 : 1;
#endif
}
