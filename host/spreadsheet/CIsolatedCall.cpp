#include "spreadsheet/CIsolatedCall.h"

#include <QElapsedTimer>

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace XP {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool limitAddressSpace = false; // the address sanitizer reserves far more than any sane limit
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool limitAddressSpace = false;
#else
constexpr bool limitAddressSpace = true;
#endif
#else
constexpr bool limitAddressSpace = true;
#endif

bool writeAll(int fd, const char* data, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(size));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

[[noreturn]] void runChild(const CIsolatedCall::Function& function, const CIsolatedCall::Limits& limits,
                           int fd)
{
    const rlimit cpu{static_cast<rlim_t>(limits.cpuSeconds), static_cast<rlim_t>(limits.cpuSeconds)};
    setrlimit(RLIMIT_CPU, &cpu);
    if (limitAddressSpace) {
        const rlimit memory{static_cast<rlim_t>(limits.addressSpaceBytes),
                            static_cast<rlim_t>(limits.addressSpaceBytes)};
        setrlimit(RLIMIT_AS, &memory);
    }
    QByteArray result;
    const bool good = function(result) && writeAll(fd, result.constData(), result.size());
    // _exit: the child must not run the parent's exit handlers or flush its buffers a second time.
    ::_exit(good ? 0 : 1);
}

// Reads the child's output until it closes the pipe, the deadline passes or the output is too large.
bool readUntilClosed(int fd, qint64 maxBytes, int deadlineMs, QByteArray& result)
{
    QElapsedTimer clock;
    clock.start();
    char buffer[65536];
    while (true) {
        const qint64 left = deadlineMs - clock.elapsed();
        if (left <= 0) {
            return false;
        }
        pollfd descriptor{fd, POLLIN, 0};
        const int ready = ::poll(&descriptor, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return false;
        }
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        if (result.size() + got > maxBytes) {
            return false;
        }
        result.append(buffer, static_cast<int>(got));
    }
}

} // namespace

bool CIsolatedCall::run(const Function& function, const Limits& limits, QByteArray& result)
{
    result.clear();
    int fds[2];
    if (::pipe(fds) != 0) {
        return false;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return false;
    }
    if (child == 0) {
        ::close(fds[0]);
        runChild(function, limits, fds[1]);
    }
    ::close(fds[1]);
    // CPU time is limited in the child; the wall-clock deadline also catches a child that sleeps or waits.
    const int deadlineMs = (limits.cpuSeconds * 2 + 1) * 1000;
    const bool complete = readUntilClosed(fds[0], limits.maxResultBytes, deadlineMs, result);
    ::close(fds[0]);
    if (!complete) {
        ::kill(child, SIGKILL);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    const bool good = complete && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!good) {
        result.clear();
    }
    return good;
}

} // namespace XP
