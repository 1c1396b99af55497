#include "chunk_pipeline.hpp"

#include <algorithm>

namespace hpiutil {

ChunkPipeline::ChunkPipeline(std::size_t count, unsigned threads, Producer producer)
    : count_(count), producer_(std::move(producer)) {
    if (threads == 0) {
        threads = std::max(1u, std::thread::hardware_concurrency());
    }
    slots_.resize(std::size_t(threads) * 4);
    const unsigned n =
        static_cast<unsigned>(std::min<std::size_t>(threads, std::max<std::size_t>(count, 1)));
    for (unsigned i = 0; i < n; ++i) {
        workers_.emplace_back([this] { work(); });
    }
}

ChunkPipeline::~ChunkPipeline() {
    stop();
}

void ChunkPipeline::stop() {
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    space_.notify_all();
    ready_.notify_all();
    for (auto& t : workers_) {
        if (t.joinable()) {
            t.join();
        }
    }
}

void ChunkPipeline::work() {
    std::vector<std::uint8_t> local;
    for (;;) {
        std::size_t job;
        {
            std::unique_lock lock(mutex_);
            space_.wait(lock, [this] {
                return cancelled_ || nextJob_ >= count_ || nextJob_ < consumed_ + slots_.size();
            });
            if (cancelled_ || nextJob_ >= count_) {
                return;
            }
            job = nextJob_++;
        }
        Status st = producer_(job, local);
        {
            std::lock_guard lock(mutex_);
            Slot& slot = slots_[job % slots_.size()];
            slot.bytes.swap(local);
            slot.status = std::move(st);
            slot.ready = true;
        }
        ready_.notify_all();
    }
}

Status ChunkPipeline::next(std::vector<std::uint8_t>& out) {
    std::unique_lock lock(mutex_);
    Slot& slot = slots_[consumed_ % slots_.size()];
    ready_.wait(lock, [&slot] { return slot.ready; });
    slot.ready = false;
    out.swap(slot.bytes);
    Status st = std::move(slot.status);
    slot.status = Status{};
    ++consumed_;
    lock.unlock();
    space_.notify_all();
    return st;
}

} // namespace hpiutil
