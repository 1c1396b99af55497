// An archive opened and its directories listed away from the window: the
// archive named on the command line is read on a thread of its own while
// the program builds its window, and the window takes the result when it
// opens that archive.
#pragma once

#include <atomic>
#include <cstdint>
#include <future>
#include <string>
#include <vector>

namespace crateward {

// What opening an archive gives the tree: the library's handle (0 when the
// file is not an archive), the directory keys in the library's listing
// order, and the number of files, counted as a signed 16-bit counter that
// stops at its top.
struct ArchiveListing {
    std::int32_t handle = 0;
    std::vector<std::string> directories;
    std::int32_t fileCount = 0;
};

// Opens `archiveFile` and walks its whole listing once.
ArchiveListing ListArchive(const std::string& archiveFile);

class ArchivePreload {
public:
    // Starts opening `archiveFile` at once, on another thread.
    explicit ArchivePreload(std::string archiveFile);
    // Waits for the thread; a handle nobody took is closed.
    ~ArchivePreload();
    ArchivePreload(const ArchivePreload&) = delete;
    ArchivePreload& operator=(const ArchivePreload&) = delete;

    const std::string& archiveFile() const { return archiveFile_; }
    // Waits for the listing and hands it over with its handle: the caller
    // closes it. Once only; later calls give an empty listing.
    ArchiveListing take();
    // True once the listing is done and the file opened as an archive:
    // taking it then neither waits nor ends in a message.
    bool listed() const { return listed_.load(std::memory_order_acquire); }

private:
    std::string archiveFile_;
    std::atomic<bool> listed_{false};
    std::future<ArchiveListing> listing_;
};

} // namespace crateward
