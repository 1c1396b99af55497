#include "working_directory.hpp"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>

#include <sys/stat.h>

namespace crateward {

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

std::optional<std::filesystem::path> ClaimWorkingDirectory(const std::filesystem::path& base) {
    std::error_code ec;
    std::filesystem::create_directories(base, ec);
    for (int n = 1; n <= kMaxInstances; ++n) {
        const auto slot = base / ("temp" + std::to_string(n));
        if (::mkdir(slot.c_str(), 0700) == 0) {
            return slot;
        }
        if (errno != EEXIST) {
            return std::nullopt; // the base cannot hold a slot
        }
    }
    return std::nullopt;
}

void RemoveWorkingDirectory(const std::filesystem::path& directory) {
    if (directory.empty()) {
        return;
    }
    std::error_code ec;
    std::filesystem::remove_all(directory, ec);
}

} // namespace crateward
