#include "member_paths.hpp"

#include <cstdlib>

#include "mod_hpiutil.hpp"

namespace crateward {

std::string ExtensionOf(std::string_view name) {
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot + 1));
}

std::string FileNameOf(std::string_view path) {
    const auto slash = path.rfind('\\');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::optional<std::filesystem::path> SafeRelativePath(std::string_view memberPath) {
    if (memberPath.empty() || memberPath.front() == '\\') {
        return std::nullopt;
    }
    if (memberPath.size() >= 2 && memberPath[1] == ':') {
        return std::nullopt; // a drive letter
    }
    std::filesystem::path out;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = memberPath.find('\\', start);
        const std::string_view part = memberPath.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (part.empty() || part == "." || part == "..") {
            return std::nullopt;
        }
        for (const char c : part) {
            const auto u = static_cast<unsigned char>(c);
            if (c == '/' || c == ':' || u < 0x20 || u == 0x7F) {
                return std::nullopt;
            }
        }
        out /= std::string(part);
        if (end == std::string_view::npos) {
            return out;
        }
        start = end + 1;
    }
}

std::string GameDirectory() {
    std::string dir = hpi::TADirectory();
    if (dir.empty()) {
        const char* home = std::getenv("HOME");
        dir = home && *home ? home : "/";
    }
    if (dir.back() != '/') {
        dir += '/';
    }
    return dir;
}

} // namespace crateward
