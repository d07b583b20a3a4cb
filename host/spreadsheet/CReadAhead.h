#pragma once

#include <QtGlobal>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace XP {

// Runs a producer of byte chunks on a thread of its own a few chunks ahead of their consumer on the calling
// thread, so that making the next chunks (inflating a part) overlaps with handling this one (parsing
// it). The producer only ever runs on the worker thread, the consumer only on the calling one.
class CReadAhead
{
public:
    // Fills buffer with up to capacity bytes; returns how many, 0 at the end, a negative number on failure.
    using Produce = std::function<qint64(char* buffer, qint64 capacity)>;
    // Takes the next chunk; false stops both sides (a failure).
    using Consume = std::function<bool(const char* data, qint64 size)>;

    CReadAhead(qint64 chunkSize, int chunksAhead);

    // True when the producer reached its end without failing and the consumer took every chunk. Runs once.
    bool run(const Produce& produce, const Consume& consume);

private:
    struct Chunk
    {
        std::unique_ptr<char[]> bytes; // left uninitialised: a chunk's pages are touched only once filled
        qint64 size = 0;
    };

    void produceAll(const Produce& produce);
    bool takeEmpty(std::size_t& index);
    bool takeFilled(std::size_t& index);
    template<typename Change> void update(Change change);

    qint64 chunkSize;
    std::vector<Chunk> chunks;
    std::mutex mutex;
    std::condition_variable changed;
    // Indexes into chunks: empty ones wait for the producer, filled ones for the consumer.
    std::deque<std::size_t> empty;
    std::deque<std::size_t> filled;
    bool producerEnded = false;
    bool producerFailed = false;
    bool consumerStopped = false;
};

} // namespace XP
