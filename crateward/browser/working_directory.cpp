#include "working_directory.hpp"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace crateward {

namespace {

// Opens and locks `lockFile` without waiting: the descriptor, or -1 when
// another running instance holds it (or it cannot be opened).
int lockSlot(const std::filesystem::path& lockFile) {
    const int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return -1;
    }
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EINTR) {
            ::close(fd);
            return -1;
        }
    }
    return fd;
}

std::optional<WorkingDirectorySlot> claimOnce(const std::filesystem::path& base);

// Records the owner's process id for people looking at the folder.
void writeOwner(int fd) {
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) == 0) {
        [[maybe_unused]] const auto n = ::pwrite(fd, pid.data(), pid.size(), 0);
    }
}

} // namespace

std::filesystem::path UserDataDirectory() {
    if (const char* home = std::getenv("CRATEWARD_HOME"); home && *home) {
        return home;
    }
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/') {
        return std::filesystem::path(data) / "crateward";
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home && *home ? home : "/tmp") / ".local/share/crateward";
}

WorkingDirectorySlot::WorkingDirectorySlot(std::filesystem::path folder, int lockFd)
    : folder_(std::move(folder)), lockFd_(lockFd) {}

WorkingDirectorySlot::WorkingDirectorySlot(WorkingDirectorySlot&& other) noexcept
    : folder_(std::move(other.folder_)), lockFd_(std::exchange(other.lockFd_, -1)) {}

WorkingDirectorySlot& WorkingDirectorySlot::operator=(WorkingDirectorySlot&& other) noexcept {
    if (this != &other) {
        release();
        folder_ = std::move(other.folder_);
        lockFd_ = std::exchange(other.lockFd_, -1);
    }
    return *this;
}

WorkingDirectorySlot::~WorkingDirectorySlot() {
    release();
}

void WorkingDirectorySlot::release() {
    if (lockFd_ >= 0) {
        ::close(lockFd_); // gives the lock up
        lockFd_ = -1;
    }
}

void WorkingDirectorySlot::Remove() {
    if (lockFd_ >= 0) {
        RemoveWorkingDirectory(folder_);
    }
    release();
}

std::optional<WorkingDirectorySlot> ClaimWorkingDirectory(const std::filesystem::path& base) {
    // Another instance starting at the same moment holds a free slot's lock
    // for an instant while it looks whether its folder is left over: an
    // instance that found every slot busy looks again a few times.
    constexpr int kRounds = 5;
    for (int round = 0; round < kRounds; ++round) {
        if (auto claimed = claimOnce(base)) {
            return claimed;
        }
        ::usleep(20000);
    }
    return std::nullopt;
}

namespace {

std::optional<WorkingDirectorySlot> claimOnce(const std::filesystem::path& base) {
    std::error_code ec;
    std::filesystem::create_directories(base, ec);
    std::optional<WorkingDirectorySlot> claimed;
    for (int n = 1; n <= kMaxInstances; ++n) {
        const std::string name = "temp" + std::to_string(n);
        const int fd = lockSlot(base / (name + ".lock"));
        if (fd < 0) {
            continue; // owned by a running instance (or not lockable here)
        }
        // Nobody owns the slot: what lies there was left by an instance
        // that did not shut down.
        const auto folder = base / name;
        std::filesystem::remove_all(folder, ec);
        if (!claimed && ::mkdir(folder.c_str(), 0700) == 0) {
            writeOwner(fd);
            claimed.emplace(folder, fd);
            continue;
        }
        ::close(fd);
    }
    return claimed;
}

} // namespace

void RemoveWorkingDirectory(const std::filesystem::path& directory) {
    if (directory.empty()) {
        return;
    }
    std::error_code ec;
    std::filesystem::remove_all(directory, ec);
}

void EmptyWorkingDirectory(const std::filesystem::path& directory) {
    if (directory.empty()) {
        return;
    }
    std::error_code ec;
    for (std::filesystem::directory_iterator it(directory, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code removal;
        std::filesystem::remove_all(it->path(), removal);
    }
}

} // namespace crateward
