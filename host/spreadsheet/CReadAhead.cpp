#include "spreadsheet/CReadAhead.h"

#include <thread>

namespace XP {
namespace {

bool takeFront(std::deque<std::size_t>& queue, std::size_t& index)
{
    if (queue.empty()) {
        return false;
    }
    index = queue.front();
    queue.pop_front();
    return true;
}

} // namespace

CReadAhead::CReadAhead(qint64 chunkSize, int chunksAhead)
    : chunkSize(chunkSize)
    , chunks(static_cast<std::size_t>(chunksAhead))
{
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        chunks[i].bytes.reset(new char[static_cast<std::size_t>(chunkSize)]);
        empty.push_back(i);
    }
}

template<typename Change> void CReadAhead::update(Change change)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        change();
    }
    changed.notify_all();
}

bool CReadAhead::run(const Produce& produce, const Consume& consume)
{
    std::thread producer([this, &produce] { produceAll(produce); });
    bool consumed = true;
    std::size_t index = 0;
    while (consumed && takeFilled(index)) {
        consumed = consume(chunks[index].bytes.get(), chunks[index].size);
        update([this, consumed, index] {
            if (consumed) {
                empty.push_back(index);
            } else {
                consumerStopped = true;
            }
        });
    }
    producer.join();
    return consumed && !producerFailed;
}

void CReadAhead::produceAll(const Produce& produce)
{
    std::size_t index = 0;
    while (takeEmpty(index)) {
        Chunk& chunk = chunks[index];
        chunk.size = produce(chunk.bytes.get(), chunkSize);
        const bool ended = chunk.size <= 0;
        update([this, ended, index, failed = chunk.size < 0] {
            if (ended) {
                producerEnded = true;
                producerFailed = failed;
            } else {
                filled.push_back(index);
            }
        });
        if (ended) {
            return;
        }
    }
}

// The next empty chunk, or false once the consumer stopped.
bool CReadAhead::takeEmpty(std::size_t& index)
{
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return !empty.empty() || consumerStopped; });
    return !consumerStopped && takeFront(empty, index);
}

// The next filled chunk, or false once the producer has ended and everything it made was taken.
bool CReadAhead::takeFilled(std::size_t& index)
{
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return !filled.empty() || producerEnded; });
    return takeFront(filled, index);
}

} // namespace XP
