// tradingday-sheet-reader [--cpu-seconds N] [--address-space BYTES] FILE: parses the first sheet of the
// workbook FILE and writes it to standard output as a CSheetAnswer. It runs on untrusted files, in a process
// of its own: it first limits its CPU time and address space, so that a parser fault ends here. Exit code 0
// with a complete answer, 1 when the workbook cannot be read, 2 on wrong usage.
//
// Built a second time as tradingday-sheet-reader-faulty for tests: that one fails on demand as the
// environment variable TDS_SHEET_READER_FAULT says (crash, hang, memory, truncate).
#include "spreadsheet/CSanitizedBuild.h"
#include "spreadsheet/CSheetAnswer.h"
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

bool writeAll(const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(STDOUT_FILENO, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

#ifdef TDS_SHEET_READER_FAULTS
// Fails as told before the answer is written; "truncate" writes half of it.
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
    XP::CSheetTable table;
    if (!XP::CWorkbookParser::parse(path, table)) {
        return 1;
    }
    QByteArray answer = XP::CSheetAnswer::encode(table);
#ifdef TDS_SHEET_READER_FAULTS
    injectFault(answer);
#endif
    return writeAll(answer) ? 0 : 1;
}
