// Opens the archives of a mount on worker threads while the mounting thread
// merges them in mount order: an archive is merged as soon as it is open,
// the later ones still opening. While the archive it needs next is not open
// yet, the mounting thread opens one itself rather than wait.
#pragma once

#include "game_folder_impl.hpp"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace gamefolder {

class ArchiveOpener {
public:
    // Starts opening every source of `impl` that is not skipped, on up to
    // `threads` threads counting the caller's.
    ArchiveOpener(GameFolder::Impl& impl, std::size_t threads);
    ~ArchiveOpener();
    ArchiveOpener(const ArchiveOpener&) = delete;
    ArchiveOpener& operator=(const ArchiveOpener&) = delete;

    // Returns once source `i` is open or skipped with its reason.
    void waitFor(std::size_t i);
    // About how many entries the sources from `i` on hold, those not open
    // yet counted as the average of those that are.
    std::size_t entriesFrom(std::size_t i) const;

private:
    GameFolder::Impl& impl_;
    std::vector<std::uint8_t> toOpen_; // per source: not skipped before opening
    std::atomic<std::size_t> next_{1};
    std::unique_ptr<std::atomic<bool>[]> ready_;
    std::atomic<std::size_t> openedEntries_{0};
    std::atomic<std::size_t> opened_{0};
    std::mutex mutex_;
    std::condition_variable readyChanged_;
    std::vector<std::thread> pool_;

    // Opens the next source nobody has claimed; false when none is left.
    bool openNext();
};

} // namespace gamefolder
