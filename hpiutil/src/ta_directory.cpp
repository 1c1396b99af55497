#include "ta_directory.hpp"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace hpiutil {

namespace fs = std::filesystem;

namespace {

bool isGameExecutable(const fs::path& p) {
    std::string name = p.filename().string();
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name == "totala.exe";
}

// Breadth first, so the shallowest install wins; folders in name order so the
// answer does not depend on the listing order.
fs::path search(const fs::path& base, int levels) {
    std::vector<fs::path> current{base};
    for (int depth = 0; depth <= levels && !current.empty(); ++depth) {
        std::vector<fs::path> next;
        for (const auto& dir : current) {
            std::error_code ec;
            std::vector<fs::path> subdirs;
            for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
                std::error_code ec2;
                if (it->is_regular_file(ec2) && isGameExecutable(it->path())) {
                    return dir;
                }
                if (it->is_directory(ec2)) {
                    subdirs.push_back(it->path());
                }
            }
            std::sort(subdirs.begin(), subdirs.end());
            next.insert(next.end(), subdirs.begin(), subdirs.end());
        }
        current = std::move(next);
    }
    return {};
}

} // namespace

fs::path findGameDirectory() {
    if (const char* ta = std::getenv("TA_DIR"); ta && *ta) {
        return ta;
    }
    fs::path prefix;
    if (const char* wp = std::getenv("WINEPREFIX"); wp && *wp) {
        prefix = wp;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        prefix = fs::path(home) / ".wine";
    } else {
        return {};
    }
    const fs::path drive = prefix / "drive_c";
    for (const char* top : {"Program Files", "Program Files (x86)", "GOG Games", "Games"}) {
        std::error_code ec;
        const fs::path base = drive / top;
        if (!fs::is_directory(base, ec)) {
            continue;
        }
        // The executable may lie in the folder itself or up to three levels below it.
        if (auto found = search(base, 3); !found.empty()) {
            return found;
        }
    }
    return {};
}

} // namespace hpiutil
