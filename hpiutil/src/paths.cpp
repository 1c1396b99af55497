#include "hpiutil/paths.hpp"

namespace hpiutil {

namespace {

// The longest name of one folder entry on the file systems users extract to.
constexpr std::size_t kMaxDiskNameBytes = 255;

} // namespace

std::vector<std::string_view> splitMemberPath(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t sep = path.find('\\', start);
        if (sep == std::string_view::npos) {
            parts.push_back(path.substr(start));
            return parts;
        }
        parts.push_back(path.substr(start, sep - start));
        start = sep + 1;
    }
}

std::string joinMemberPath(const std::vector<std::string>& components) {
    std::string out;
    for (const auto& c : components) {
        if (!out.empty()) {
            out += '\\';
        }
        out += c;
    }
    return out;
}

std::string unsafeNameReason(std::string_view part) {
    if (part.empty()) {
        return "a component is empty";
    }
    if (part == "." || part == "..") {
        return "a component is \"" + std::string(part) + "\"";
    }
    for (char c : part) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\') {
            return std::string("a component holds '") + c + "'";
        }
        if (u < 0x20 || u == 0x7F) {
            return "a component holds a control character";
        }
    }
    if (part.size() > kMaxDiskNameBytes) {
        return "a component is " + std::to_string(part.size()) +
               " bytes long, more than a disk name holds (" + std::to_string(kMaxDiskNameBytes) +
               ")";
    }
    return {};
}

Result<std::filesystem::path> safeRelativePath(std::string_view memberPath) {
    auto refuse = [memberPath](std::string why) {
        Error e = fail("unsafe name, not extracted: " + why);
        e.member = std::string(memberPath);
        return e;
    };
    if (memberPath.empty()) {
        return refuse("the name is empty");
    }
    if (memberPath.front() == '\\' || memberPath.front() == '/') {
        return refuse("the path is absolute");
    }
    if (memberPath.size() >= 2 && memberPath[1] == ':' &&
        ((memberPath[0] >= 'A' && memberPath[0] <= 'Z') ||
         (memberPath[0] >= 'a' && memberPath[0] <= 'z'))) {
        return refuse("the path holds a drive letter");
    }
    std::filesystem::path out;
    for (std::string_view part : splitMemberPath(memberPath)) {
        if (std::string why = unsafeNameReason(part); !why.empty()) {
            return refuse(std::move(why));
        }
        out /= std::string(part);
    }
    return out;
}

std::string memberPathOf(const std::filesystem::path& relative) {
    std::string out;
    for (const auto& part : relative) {
        const std::string s = part.string();
        if (s.empty() || s == ".") {
            continue;
        }
        if (!out.empty()) {
            out += '\\';
        }
        out += s;
    }
    return out;
}

} // namespace hpiutil
