// Extracting many members below a destination folder, files in parallel,
// every path made safe first.
#include "archive_impl.hpp"
#include "hpiutil/paths.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace hpiutil {

namespace {

void collect(const Archive& archive, std::int32_t index, std::vector<std::int32_t>& out) {
    out.push_back(index);
    const Entry& e = archive.entries()[std::size_t(index)];
    if (e.directory) {
        for (std::uint32_t child : archive.children(index)) {
            collect(archive, std::int32_t(child), out);
        }
    }
}

} // namespace

ExtractSummary Archive::extractTree(const std::filesystem::path& destDir,
                                    std::span<const std::int32_t> roots,
                                    const ExtractProgress& progress, unsigned threads) const {
    ExtractSummary summary;
    std::vector<std::int32_t> selected;
    if (roots.empty()) {
        selected.resize(impl_->entries.size());
        for (std::size_t i = 0; i < selected.size(); ++i) {
            selected[i] = std::int32_t(i);
        }
    } else {
        for (std::int32_t r : roots) {
            if (r < 0) {
                for (std::uint32_t child : children(-1)) {
                    collect(*this, std::int32_t(child), selected);
                }
            } else if (std::size_t(r) < impl_->entries.size()) {
                collect(*this, r, selected);
            }
        }
        std::sort(selected.begin(), selected.end());
        selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    }

    // Directories first, in tree order, so every file finds its folder.
    struct Job {
        const Entry* entry;
        std::filesystem::path target;
    };
    std::vector<Job> files;
    // Directories this call made (or found): their files need no check.
    std::vector<bool> made(impl_->entries.size(), false);
    std::error_code ec;
    std::filesystem::create_directories(destDir, ec);
    for (std::int32_t index : selected) {
        const Entry& e = impl_->entries[std::size_t(index)];
        if (!e.unsafe.empty()) {
            Error err = fail("unsafe name, not extracted: " + e.unsafe);
            summary.failures.push_back(impl_->locate(std::move(err), &e));
            continue;
        }
        auto rel = safeRelativePath(e.path);
        if (!rel) {
            summary.failures.push_back(impl_->locate(std::move(rel).error(), &e));
            continue;
        }
        std::filesystem::path target = destDir / rel.value();
        if (e.directory) {
            std::filesystem::create_directories(target, ec);
            if (ec) {
                Error err = fail("cannot create the folder: " + ec.message());
                err.file = target.string();
                summary.failures.push_back(impl_->locate(std::move(err), &e));
            } else {
                ++summary.directoriesMade;
                made[std::size_t(index)] = true;
            }
        } else {
            // A file chosen without its folder still needs the folder.
            if (e.parent >= 0 && !made[std::size_t(e.parent)] &&
                !std::filesystem::is_directory(target.parent_path(), ec)) {
                std::filesystem::create_directories(target.parent_path(), ec);
            }
            files.push_back({&e, std::move(target)});
        }
    }

    const std::uint32_t total = static_cast<std::uint32_t>(files.size());
    if (threads == 0) {
        threads = std::max(1u, std::thread::hardware_concurrency());
    }
    threads = std::min<unsigned>(threads, std::max<std::uint32_t>(total, 1u));

    // The workers share only the next job and the count done; each keeps its
    // own totals, added in when it ends, so a tree of small files costs no
    // lock per file. Failures are rare and go in under the lock.
    std::mutex mutex;
    std::condition_variable finished;
    std::atomic<std::uint32_t> next{0};
    std::atomic<std::uint32_t> done{0};
    std::atomic<std::uint32_t> lastDone{0}; // the job finished last, for progress
    auto work = [&] {
        std::uint32_t filesWritten = 0;
        std::uint64_t bytesWritten = 0;
        for (;;) {
            const std::uint32_t i = next.fetch_add(1, std::memory_order_relaxed);
            if (i >= total) {
                break;
            }
            const Job& job = files[i];
            if (Status st = extractTo(*job.entry, job.target)) {
                ++filesWritten;
                bytesWritten += job.entry->size;
            } else {
                std::lock_guard lock(mutex);
                summary.failures.push_back(std::move(st).error());
            }
            lastDone.store(i, std::memory_order_relaxed);
            if (done.fetch_add(1, std::memory_order_acq_rel) + 1 == total) {
                std::lock_guard lock(mutex);
                finished.notify_one();
            }
        }
        std::lock_guard lock(mutex);
        summary.filesWritten += filesWritten;
        summary.bytesWritten += bytesWritten;
    };
    std::vector<std::thread> pool;
    if (!progress) {
        // Nothing to report: the caller's thread is one of the workers.
        for (unsigned t = 1; t < threads; ++t) {
            pool.emplace_back(work);
        }
        work();
    } else {
        for (unsigned t = 0; t < threads; ++t) {
            pool.emplace_back(work);
        }
        // Progress is reported on the caller's thread, a few times a second
        // and at the end, rather than waking it for every file.
        std::uint32_t reported = 0;
        while (reported < total) {
            {
                std::unique_lock lock(mutex);
                finished.wait_for(lock, std::chrono::milliseconds(40),
                                  [&] { return done.load() == total; });
            }
            const std::uint32_t now = done.load();
            if (now > reported) {
                reported = now;
                progress(reported, total,
                         files[lastDone.load(std::memory_order_relaxed)].entry->path);
            }
        }
    }
    for (auto& t : pool) {
        t.join();
    }
    return summary;
}

} // namespace hpiutil
