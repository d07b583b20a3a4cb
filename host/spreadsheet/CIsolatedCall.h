#pragma once

#include <QByteArray>

#include <functional>

namespace XP {

// Runs a function in a forked child process limited in CPU time and address space, and hands its
// result bytes back through a pipe. A crash, a hang or an exhausted limit in the child makes run()
// return false; the calling process is never harmed.
class CIsolatedCall
{
public:
    struct Limits
    {
        int cpuSeconds;
        unsigned long long addressSpaceBytes;
        qint64 maxResultBytes;
    };

    using Function = std::function<bool(QByteArray& result)>;

    static bool run(const Function& function, const Limits& limits, QByteArray& result);
};

} // namespace XP
