#include "archive_preload.hpp"

#include "mod_hpiutil.hpp"

#include <utility>

namespace crateward {

ArchiveListing ListArchive(const std::string& archiveFile) {
    ArchiveListing listing;
    listing.handle = hpi::Open(archiveFile);
    if (listing.handle == 0) {
        return listing;
    }
    hpi::ListEntry entry;
    std::int32_t index = 0;
    while ((index = hpi::GetFiles(listing.handle, index, entry)) != 0) {
        if (entry.type == hpi::kDirectory) {
            listing.directories.push_back(std::move(entry.name));
        } else if (listing.fileCount < 32767) {
            ++listing.fileCount;
        }
    }
    return listing;
}

ArchivePreload::ArchivePreload(std::string archiveFile)
    : archiveFile_(std::move(archiveFile)), listing_(std::async(std::launch::async, [this] {
          ArchiveListing listing = ListArchive(archiveFile_);
          listed_.store(listing.handle != 0, std::memory_order_release);
          return listing;
      })) {}

ArchivePreload::~ArchivePreload() {
    if (listing_.valid()) {
        hpi::Close(listing_.get().handle);
    }
}

ArchiveListing ArchivePreload::take() {
    return listing_.valid() ? listing_.get() : ArchiveListing{};
}

} // namespace crateward
