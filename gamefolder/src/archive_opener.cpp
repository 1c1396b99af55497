#include "archive_opener.hpp"

namespace gamefolder {

namespace {

// Opens an archive into `archive`; why it is not mounted when it cannot be.
std::string openArchive(const std::filesystem::path& path,
                        std::optional<hpiutil::Archive>& archive) {
    auto opened = hpiutil::Archive::open(path);
    if (!opened) {
        Error e = std::move(opened).error();
        e.file.clear();
        return e.message();
    }
    if (!opened->info().trailer) {
        return "no trailer at its end: the game does not mount it";
    }
    archive.emplace(std::move(opened.value()));
    return {};
}

} // namespace

ArchiveOpener::ArchiveOpener(GameFolder::Impl& impl, std::size_t threads)
    : impl_(impl), ready_(std::make_unique<std::atomic<bool>[]>(impl.sources.size())) {
    for (const Source& s : impl.sources) {
        toOpen_.push_back(s.skipped ? 0 : 1);
    }
    for (std::size_t t = 1; t < threads; ++t) {
        pool_.emplace_back([this] {
            while (openNext()) {
            }
        });
    }
}

ArchiveOpener::~ArchiveOpener() {
    // Nothing is claimed any more: the workers finish the archive in hand.
    next_ = impl_.sources.size();
    for (auto& t : pool_) {
        t.join();
    }
}

bool ArchiveOpener::openNext() {
    const std::size_t i = next_++;
    if (i >= impl_.sources.size()) {
        return false;
    }
    Source& s = impl_.sources[i];
    if (!s.skipped) {
        s.reason = openArchive(s.path, impl_.archives[i]);
        s.skipped = !s.reason.empty();
    }
    if (impl_.archives[i]) {
        openedEntries_ += impl_.archives[i]->entries().size();
        ++opened_;
    }
    {
        std::lock_guard lock(mutex_);
        ready_[i].store(true, std::memory_order_release);
    }
    readyChanged_.notify_all();
    return true;
}

void ArchiveOpener::waitFor(std::size_t i) {
    while (!ready_[i].load(std::memory_order_acquire)) {
        if (!openNext()) {
            std::unique_lock lock(mutex_);
            readyChanged_.wait(lock, [&] { return ready_[i].load(std::memory_order_acquire); });
        }
    }
}

std::size_t ArchiveOpener::entriesFrom(std::size_t i) const {
    std::size_t open = 0;
    std::size_t waiting = 0;
    for (std::size_t j = i; j < impl_.sources.size(); ++j) {
        if (!ready_[j].load(std::memory_order_acquire)) {
            waiting += toOpen_[j];
        } else if (impl_.archives[j]) {
            open += impl_.archives[j]->entries().size();
        }
    }
    const std::size_t count = opened_;
    return open + (count ? waiting * (openedEntries_ / count) : 0);
}

} // namespace gamefolder
