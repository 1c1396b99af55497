// Compresses a sequence of chunks on worker threads and hands them back in
// order on the caller's thread. At most `window` chunks are in flight, so
// memory stays bounded whatever the archive's size, and the result does not
// depend on the number of threads.
#pragma once

#include "hpiutil/result.hpp"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace hpiutil {

class ChunkPipeline {
public:
    // Produces chunk `index` into `out` (replacing its contents).
    using Producer = std::function<Status(std::size_t index, std::vector<std::uint8_t>& out)>;

    ChunkPipeline(std::size_t count, unsigned threads, Producer producer);
    ~ChunkPipeline();
    ChunkPipeline(const ChunkPipeline&) = delete;
    ChunkPipeline& operator=(const ChunkPipeline&) = delete;

    // The next chunk in order, swapped into `out`; call exactly `count` times.
    Status next(std::vector<std::uint8_t>& out);

private:
    struct Slot {
        std::vector<std::uint8_t> bytes;
        Status status;
        bool ready = false;
    };
    void work();
    void stop();

    std::size_t count_;
    Producer producer_;
    std::vector<Slot> slots_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::condition_variable space_;
    std::size_t nextJob_ = 0;
    std::size_t consumed_ = 0;
    bool cancelled_ = false;
    std::vector<std::thread> workers_;
};

} // namespace hpiutil
