#include "hpiutil/temporary_files.hpp"

#include <cerrno>
#include <charconv>
#include <signal.h>
#include <system_error>
#include <unistd.h>

namespace hpiutil {

namespace {

constexpr std::string_view kMark = ".tmp-";
constexpr std::size_t kUniqueLength = 6; // the XXXXXX of mkostemp

bool running(long pid) {
    if (pid <= 0) {
        return false;
    }
    // EPERM: the process exists but belongs to someone else.
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

template <class Keep> std::size_t removeWhere(const std::filesystem::path& folder, Keep keep) {
    std::size_t removed = 0;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const auto owner = TemporaryFileOwner(name);
        if (!owner || keep(*owner)) {
            continue;
        }
        std::error_code type;
        if (!it->is_regular_file(type) || it->is_symlink(type)) {
            continue;
        }
        if (::unlink(it->path().c_str()) == 0) {
            ++removed;
        }
    }
    return removed;
}

} // namespace

std::string TemporaryPrefix(const std::filesystem::path& target, long pid) {
    return "." + target.filename().string() + std::string(kMark) + std::to_string(pid) + "-";
}

std::optional<long> TemporaryFileOwner(std::string_view name) {
    // ".NAME.tmp-PID-XXXXXX" with a non-empty NAME.
    if (name.size() < 1 + 1 + kMark.size() + 1 + 1 + kUniqueLength || name.front() != '.') {
        return std::nullopt;
    }
    const std::string_view head = name.substr(0, name.size() - kUniqueLength - 1);
    if (name[head.size()] != '-') {
        return std::nullopt;
    }
    const std::size_t mark = head.rfind(kMark);
    if (mark == std::string_view::npos || mark < 2) {
        return std::nullopt;
    }
    const std::string_view digits = head.substr(mark + kMark.size());
    long pid = 0;
    const auto [end, err] = std::from_chars(digits.data(), digits.data() + digits.size(), pid);
    if (digits.empty() || err != std::errc() || end != digits.data() + digits.size() || pid <= 0) {
        return std::nullopt;
    }
    return pid;
}

std::size_t RemoveStaleTemporaryFiles(const std::filesystem::path& folder) {
    return removeWhere(folder, [](long owner) { return running(owner); });
}

std::size_t RemoveTemporaryFilesOf(const std::filesystem::path& folder, long pid) {
    return removeWhere(folder, [pid](long owner) { return owner != pid; });
}

} // namespace hpiutil
