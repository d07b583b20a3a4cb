#pragma once

#include <functional>
#include <memory>

namespace IMC {

// Runs posted tasks one after another, in posting order, on its own thread.
//
// hold() keeps queued tasks waiting until release(); a running task finishes first. The destructor
// runs what is still queued (held or not) and then ends the thread; when the last owner lets go from
// inside a task, the thread finishes the queue on its own and ends without being joined.
class CSerialWorker
{
public:
    CSerialWorker();
    ~CSerialWorker();
    CSerialWorker(const CSerialWorker&) = delete;
    CSerialWorker& operator=(const CSerialWorker&) = delete;

    void post(std::function<void()> task);
    void hold();
    void release();
    // True once nothing is queued or running, false when milliseconds passed first.
    bool waitUntilIdle(int milliseconds);

private:
    class CQueue;
    std::shared_ptr<CQueue> queue;
};

} // namespace IMC
