#include "atomic_file.hpp"

#include "hpiutil/interrupt.hpp"
#include "hpiutil/temporary_files.hpp"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <pthread.h>
#include <set>
#include <shared_mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace hpiutil {

namespace {

// The files this process is writing and has not finished, so that a
// stopping signal can remove them. A file is created and recorded while its
// creator holds the creation lock shared, and a stop takes that lock alone,
// so a stop never misses a file that exists, and no file is started once the
// process is stopping; creations on several threads do not wait for each
// other, only for the short insertion into the record.
struct Unfinished {
    std::shared_mutex creating;
    bool stopping = false; // written with `creating` held alone
    std::mutex mutex;      // guards `paths`
    std::set<std::filesystem::path> paths;
};

Unfinished& unfinished() {
    static Unfinished u;
    return u;
}

// Runs `make` and records the path it returns (empty when it made nothing).
// False, without running `make`, once stopping.
bool createRecorded(const std::function<std::filesystem::path()>& make) {
    Unfinished& u = unfinished();
    std::shared_lock creating(u.creating);
    if (u.stopping) {
        return false;
    }
    std::filesystem::path made = make();
    if (!made.empty()) {
        std::lock_guard lock(u.mutex);
        u.paths.insert(std::move(made));
    }
    return true;
}

// The file is finished (or already removed): a stop leaves it alone.
void forgetRecorded(const std::filesystem::path& path) {
    Unfinished& u = unfinished();
    std::lock_guard lock(u.mutex);
    u.paths.erase(path);
}

mode_t defaultMode() {
    static const mode_t mask = [] {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }();
    return 0666 & ~mask;
}

Status writeAll(int fd, const std::uint8_t* data, std::size_t size, std::uint64_t offset) {
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size, off_t(offset));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return fail(std::string("write failed: ") + std::strerror(n < 0 ? errno : ENOSPC));
        }
        data += n;
        size -= std::size_t(n);
        offset += std::uint64_t(n);
    }
    return {};
}

// The file a chain of symbolic links ends at (relative links are read from
// the link's folder); `target` itself when it is no link.
Result<std::filesystem::path> linkedFile(const std::filesystem::path& target) {
    constexpr int kMostLinks = 40;
    std::filesystem::path real = target;
    for (int hop = 0; hop <= kMostLinks; ++hop) {
        std::error_code ec;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(real, ec))) {
            return real;
        }
        const std::filesystem::path to = std::filesystem::read_symlink(real, ec);
        if (ec) {
            Error e = fail("cannot read the symbolic link: " + ec.message());
            e.file = target.string();
            return e;
        }
        real = to.is_absolute() ? to : real.parent_path() / to;
    }
    Error e = fail("too many levels of symbolic links");
    e.file = target.string();
    return e;
}

Error stopping(const std::filesystem::path& file) {
    Error e = fail("not started: the process is stopping");
    e.file = file.string();
    return e;
}

} // namespace

Result<AtomicFile> AtomicFile::create(const std::filesystem::path& requested,
                                      std::size_t bufferSize, Link link) {
    std::filesystem::path target = requested;
    if (link == Link::Follow) {
        auto real = linkedFile(requested);
        if (!real) {
            return std::move(real).error();
        }
        target = std::move(real).value();
    }
    std::filesystem::path dir = target.parent_path();
    if (dir.empty()) {
        dir = ".";
    }
    RemoveStaleTemporaryFiles(dir);
    std::string tmpl = (dir / (TemporaryPrefix(target, long(::getpid())) + "XXXXXX")).string();
    int fd = -1;
    if (!createRecorded([&] {
            fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
            return fd >= 0 ? std::filesystem::path(tmpl) : std::filesystem::path();
        })) {
        return stopping(target);
    }
    if (fd < 0) {
        Error e = fail(std::string("cannot create a file in its folder: ") + std::strerror(errno));
        e.file = target.string();
        return e;
    }
    return AtomicFile(fd, target, tmpl, bufferSize);
}

AtomicFile::AtomicFile(int fd, std::filesystem::path target, std::filesystem::path temp,
                       std::size_t bufferSize)
    : fd_(fd), target_(std::move(target)), temp_(std::move(temp)), bufferSize_(bufferSize) {
    buffer_.reserve(bufferSize_);
}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : fd_(other.fd_), target_(std::move(other.target_)), temp_(std::move(other.temp_)),
      buffer_(std::move(other.buffer_)), flushed_(other.flushed_), bufferSize_(other.bufferSize_) {
    other.fd_ = -1;
}

AtomicFile::~AtomicFile() {
    discard();
}

void AtomicFile::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(temp_.c_str());
        forgetRecorded(temp_);
        fd_ = -1;
    }
}

Error AtomicFile::ioError(const char* doing) const {
    Error e = fail(std::string(doing) + ": " + std::strerror(errno));
    e.file = target_.string();
    return e;
}

Status AtomicFile::flush() {
    if (buffer_.empty()) {
        return {};
    }
    if (auto st = writeAll(fd_, buffer_.data(), buffer_.size(), flushed_); !st) {
        Error e = std::move(st).error();
        e.file = target_.string();
        return e;
    }
    flushed_ += buffer_.size();
    buffer_.clear();
    return {};
}

Status AtomicFile::write(std::span<const std::uint8_t> bytes) {
    if (buffer_.size() + bytes.size() > bufferSize_) {
        if (auto st = flush(); !st) {
            return st;
        }
        if (bytes.size() >= bufferSize_) {
            if (auto st = writeAll(fd_, bytes.data(), bytes.size(), flushed_); !st) {
                Error e = std::move(st).error();
                e.file = target_.string();
                return e;
            }
            flushed_ += bytes.size();
            return {};
        }
    }
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
    return {};
}

Status AtomicFile::writeZeros(std::uint64_t count) {
    static const std::vector<std::uint8_t> zeros(64 * 1024);
    while (count > 0) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(count, zeros.size()));
        if (auto st = write(std::span(zeros.data(), n)); !st) {
            return st;
        }
        count -= n;
    }
    return {};
}

Status AtomicFile::patch(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    if (offset + bytes.size() > position()) {
        Error e = fail("patch beyond the bytes written");
        e.file = target_.string();
        return e;
    }
    std::size_t onDisk = 0;
    if (offset < flushed_) {
        onDisk = static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size(), flushed_ - offset));
        if (auto st = writeAll(fd_, bytes.data(), onDisk, offset); !st) {
            Error e = std::move(st).error();
            e.file = target_.string();
            return e;
        }
    }
    if (onDisk < bytes.size()) {
        const std::uint64_t at = offset + onDisk - flushed_;
        std::memcpy(buffer_.data() + at, bytes.data() + onDisk, bytes.size() - onDisk);
    }
    return {};
}

Status AtomicFile::commit(bool sync) {
    if (auto st = flush(); !st) {
        return st;
    }
    if (::fchmod(fd_, defaultMode()) != 0) {
        return ioError("cannot set the file's permissions");
    }
    if (sync && ::fsync(fd_) != 0) {
        return ioError("cannot flush to disk");
    }
    if (::close(fd_) != 0) {
        fd_ = -1;
        ::unlink(temp_.c_str());
        forgetRecorded(temp_);
        return ioError("cannot close");
    }
    fd_ = -1;
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
        Error e = ioError("cannot replace the file");
        ::unlink(temp_.c_str());
        forgetRecorded(temp_);
        return e;
    }
    forgetRecorded(temp_);
    if (sync) {
        // Make the rename itself durable.
        std::filesystem::path dir = target_.parent_path();
        const int dfd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dfd >= 0) {
            ::fsync(dfd);
            ::close(dfd);
        }
    }
    return {};
}

Result<DirectFile> DirectFile::create(const std::filesystem::path& path) {
    int fd = -1;
    if (!createRecorded([&] {
            fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, defaultMode());
            return fd >= 0 ? path : std::filesystem::path();
        })) {
        return stopping(path);
    }
    if (fd < 0) {
        Error e = fail(std::string("cannot create: ") + std::strerror(errno));
        e.file = path.string();
        return e;
    }
    return DirectFile(fd, path);
}

DirectFile::DirectFile(DirectFile&& other) noexcept
    : fd_(other.fd_), path_(std::move(other.path_)), written_(other.written_) {
    other.fd_ = -1;
}

DirectFile::~DirectFile() {
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(path_.c_str());
        forgetRecorded(path_);
    }
}

Status DirectFile::write(std::span<const std::uint8_t> bytes) {
    if (auto st = writeAll(fd_, bytes.data(), bytes.size(), written_); !st) {
        Error e = std::move(st).error();
        e.file = path_.string();
        return e;
    }
    written_ += bytes.size();
    return {};
}

Status DirectFile::finish() {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        Error e = fail(std::string("cannot close: ") + std::strerror(errno));
        e.file = path_.string();
        ::unlink(path_.c_str());
        forgetRecorded(path_);
        return e;
    }
    forgetRecorded(path_);
    return {};
}

std::size_t RemoveUnfinishedFiles() {
    Unfinished& u = unfinished();
    // Waits for the creations under way, which then are recorded.
    std::unique_lock creating(u.creating);
    u.stopping = true;
    std::lock_guard lock(u.mutex);
    std::size_t removed = 0;
    for (const auto& path : u.paths) {
        if (::unlink(path.c_str()) == 0) {
            ++removed;
        }
    }
    u.paths.clear();
    return removed;
}

void RemoveUnfinishedFilesOnSignal() {
    static std::once_flag once;
    std::call_once(once, [] {
        // Blocked here, and so in every thread started later; the watcher
        // takes them with sigwait, where removing files is safe.
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, SIGINT);
        sigaddset(&set, SIGTERM);
        sigaddset(&set, SIGHUP);
        pthread_sigmask(SIG_BLOCK, &set, nullptr);
        std::thread([set] {
            int signal = 0;
            if (sigwait(&set, &signal) != 0) {
                return;
            }
            RemoveUnfinishedFiles();
            // End by the same signal, so the caller sees how the process ended.
            std::signal(signal, SIG_DFL);
            sigset_t one;
            sigemptyset(&one);
            sigaddset(&one, signal);
            pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
            ::raise(signal);
            ::_exit(128 + signal);
        }).detach();
    });
}

} // namespace hpiutil
