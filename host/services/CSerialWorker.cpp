#include "services/CSerialWorker.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace IMC {

// State shared by the owner and the thread, so that the thread can outlive an owner that let go of
// it from inside a task.
class CSerialWorker::CQueue
{
public:
    void run()
    {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            wakeUp.wait(lock, [this] { return stopping || (!held && !tasks.empty()); });
            if (tasks.empty()) {
                return;
            }
            std::function<void()> task = std::move(tasks.front());
            tasks.pop_front();
            running = true;
            lock.unlock();
            task();
            task = nullptr;
            lock.lock();
            running = false;
            if (tasks.empty()) {
                idle.notify_all();
            }
        }
    }

    std::mutex mutex;
    std::condition_variable wakeUp;
    std::condition_variable idle;
    std::deque<std::function<void()>> tasks;
    bool held = false;
    bool running = false;
    bool stopping = false;
    std::thread::id threadId;
};

CSerialWorker::CSerialWorker()
    : queue(std::make_shared<CQueue>())
{
    std::shared_ptr<CQueue> shared = queue;
    std::thread thread([shared] { shared->run(); });
    {
        std::lock_guard<std::mutex> lock(queue->mutex);
        queue->threadId = thread.get_id();
    }
    thread.detach();
}

CSerialWorker::~CSerialWorker()
{
    std::unique_lock<std::mutex> lock(queue->mutex);
    queue->stopping = true;
    queue->wakeUp.notify_all();
    if (std::this_thread::get_id() == queue->threadId) {
        return;
    }
    queue->idle.wait(lock, [this] { return queue->tasks.empty() && !queue->running; });
}

void CSerialWorker::post(std::function<void()> task)
{
    std::lock_guard<std::mutex> lock(queue->mutex);
    queue->tasks.push_back(std::move(task));
    queue->wakeUp.notify_all();
}

void CSerialWorker::hold()
{
    std::lock_guard<std::mutex> lock(queue->mutex);
    queue->held = true;
}

void CSerialWorker::release()
{
    std::lock_guard<std::mutex> lock(queue->mutex);
    queue->held = false;
    queue->wakeUp.notify_all();
}

bool CSerialWorker::waitUntilIdle(int milliseconds)
{
    std::unique_lock<std::mutex> lock(queue->mutex);
    return queue->idle.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                [this] { return queue->tasks.empty() && !queue->running; });
}

} // namespace IMC
