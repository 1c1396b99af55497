#include "common/settings_store.hpp"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace common {

namespace {

// Folds one UTF-8 code point starting at s[i] to a comparable value and
// advances i: ASCII and the Latin-1 capitals U+00C0..U+00DE (except U+00D7)
// fold to their small letters; everything else compares as it is.
unsigned foldNext(std::string_view s, std::size_t& i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
        ++i;
        return (c >= 'A' && c <= 'Z') ? c + 32u : c;
    }
    if ((c & 0xE0u) == 0xC0u && i + 1 < s.size()) {
        const unsigned cp = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3Fu);
        i += 2;
        return (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) ? cp + 32u : cp;
    }
    ++i;
    return 0x100u + c; // other bytes compare as raw bytes
}

struct Line {
    enum class Kind { Other, Section, Entry };
    Kind kind = Kind::Other;
    std::string text;  // the whole line as stored
    std::string name;  // section name or key
    std::string value; // entry value
};

Line parseLine(std::string text) {
    Line line;
    if (!text.empty() && text.back() == '\r') {
        text.pop_back();
    }
    line.text = text;
    if (!text.empty() && text.front() == '[') {
        const auto close = text.rfind(']');
        if (close != std::string::npos && close > 0) {
            line.kind = Line::Kind::Section;
            line.name = text.substr(1, close - 1);
        }
        return line;
    }
    if (!text.empty() && (text.front() == ';' || text.front() == '#')) {
        return line;
    }
    const auto eq = text.find('=');
    if (eq != std::string::npos && eq > 0) {
        line.kind = Line::Kind::Entry;
        line.name = text.substr(0, eq);
        line.value = text.substr(eq + 1);
    }
    return line;
}

std::vector<Line> loadLines(const std::filesystem::path& file) {
    std::vector<Line> lines;
    std::ifstream in(file, std::ios::binary);
    std::string text;
    while (std::getline(in, text)) {
        lines.push_back(parseLine(std::move(text)));
    }
    return lines;
}

// Index of the entry `key` in `section`, and the index after the section's
// last line (where a new key goes); -1 for a missing section.
struct Position {
    long sectionEnd = -1;
    long entry = -1;
};

Position locate(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
    Position pos;
    bool inside = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (line.kind == Line::Kind::Section) {
            if (inside) {
                return pos; // the first matching section is the one used
            }
            inside = sameName(line.name, section);
            if (inside) {
                pos.sectionEnd = long(i) + 1;
            }
            continue;
        }
        if (!inside) {
            continue;
        }
        if (!line.text.empty()) {
            pos.sectionEnd = long(i) + 1;
        }
        if (line.kind == Line::Kind::Entry && pos.entry < 0 && sameName(line.name, key)) {
            pos.entry = long(i);
        }
    }
    return pos;
}

bool hasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

bool storableApplication(std::string_view app) {
    return !app.empty() && app != "." && app != ".." && app.find('/') == std::string_view::npos &&
           app.find('\0') == std::string_view::npos && !hasLineBreak(app);
}

bool storable(std::string_view section, std::string_view key, std::string_view value) {
    if (hasLineBreak(section) || section.find(']') != std::string_view::npos) {
        return false;
    }
    if (key.empty() || hasLineBreak(key) || key.find('=') != std::string_view::npos ||
        key.front() == '[' || key.front() == ';' || key.front() == '#') {
        return false;
    }
    return !hasLineBreak(value);
}

// Holds an exclusive lock on `path` for the life of the object.
class FileLock {
public:
    explicit FileLock(const std::filesystem::path& path)
        : fd_(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        if (fd_ >= 0) {
            while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~FileLock() {
        if (fd_ >= 0) {
            ::close(fd_); // releases the lock
        }
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool held() const { return fd_ >= 0; }

private:
    int fd_;
};

bool writeAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += std::size_t(n);
    }
    return true;
}

// Writes `data` to a temporary file beside `target` and renames it over it.
bool replaceAtomically(const std::filesystem::path& target, const std::string& data) {
    std::string pattern = target.string() + ".XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        return false;
    }
    bool ok = writeAll(fd, data) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(pattern.c_str(), target.c_str()) == 0) {
        return true;
    }
    ::unlink(pattern.c_str());
    return false;
}

} // namespace

bool sameName(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (foldNext(a, i) != foldNext(b, j)) {
            return false;
        }
    }
    return i == a.size() && j == b.size();
}

SettingsStore::SettingsStore(std::filesystem::path root) : root_(std::move(root)) {}

SettingsStore SettingsStore::forCurrentUser() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config == '/') {
        return SettingsStore(config);
    }
    const char* home = std::getenv("HOME");
    return SettingsStore(std::filesystem::path(home && *home ? home : "/tmp") / ".config");
}

std::filesystem::path SettingsStore::fileOf(std::string_view application) const {
    return root_ / std::string(application) / "settings.ini";
}

std::string SettingsStore::read(std::string_view application, std::string_view section,
                                std::string_view key, std::string_view fallback) const {
    if (!storableApplication(application)) {
        return std::string(fallback);
    }
    const auto lines = loadLines(fileOf(application));
    const Position pos = locate(lines, section, key);
    if (pos.entry < 0) {
        return std::string(fallback);
    }
    return lines[std::size_t(pos.entry)].value;
}

struct SettingsLines {
    std::vector<Line> lines;
};

std::string SettingsEdit::read(std::string_view section, std::string_view key,
                               std::string_view fallback) const {
    const Position pos = locate(lines_.lines, section, key);
    return pos.entry < 0 ? std::string(fallback) : lines_.lines[std::size_t(pos.entry)].value;
}

bool SettingsEdit::write(std::string_view section, std::string_view key, std::string_view value) {
    if (!storable(section, key, value)) {
        return false;
    }
    auto& lines = lines_.lines;
    const Position pos = locate(lines, section, key);
    if (pos.entry >= 0) {
        Line& line = lines[std::size_t(pos.entry)];
        line.value = std::string(value);
        line.text = line.name + "=" + line.value;
    } else {
        Line entry = parseLine(std::string(key) + "=" + std::string(value));
        if (pos.sectionEnd < 0) {
            if (!lines.empty() && !lines.back().text.empty()) {
                lines.push_back(parseLine(""));
            }
            lines.push_back(parseLine("[" + std::string(section) + "]"));
            lines.push_back(std::move(entry));
        } else {
            lines.insert(lines.begin() + pos.sectionEnd, std::move(entry));
        }
    }
    return true;
}

bool SettingsStore::update(std::string_view application,
                           const std::function<void(SettingsEdit&)>& change) const {
    if (!storableApplication(application)) {
        return false;
    }
    const auto file = fileOf(application);
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    FileLock lock(file.string() + ".lock");
    if (!lock.held()) {
        return false;
    }
    SettingsLines content{loadLines(file)};
    SettingsEdit edit(content);
    change(edit);
    std::string data;
    for (const Line& line : content.lines) {
        data += line.text;
        data += '\n';
    }
    // A settings file that is a link (to a dotfiles folder) stays one: the
    // file it points to is replaced.
    std::filesystem::path target = file;
    if (std::filesystem::is_symlink(target, ec)) {
        target = std::filesystem::weakly_canonical(target, ec);
    }
    return replaceAtomically(ec ? file : target, data);
}

bool SettingsStore::write(std::string_view application, std::string_view section,
                          std::string_view key, std::string_view value) const {
    if (!storableApplication(application) || !storable(section, key, value)) {
        return false;
    }
    bool stored = false;
    return update(application,
                  [&](SettingsEdit& edit) { stored = edit.write(section, key, value); }) &&
           stored;
}

long SettingsStore::readNumber(std::string_view application, std::string_view section,
                               std::string_view key, long fallback) const {
    const std::string text = read(application, section, key, {});
    std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) {
        return fallback;
    }
    const std::size_t end = text.find_last_not_of(" \t") + 1;
    const std::string digits = text.substr(begin, end - begin);
    errno = 0;
    char* stop = nullptr;
    const long value = std::strtol(digits.c_str(), &stop, 10);
    if (errno != 0 || stop == digits.c_str() || *stop != '\0') {
        return fallback;
    }
    return value;
}

bool SettingsStore::writeNumber(std::string_view application, std::string_view section,
                                std::string_view key, long value) const {
    return write(application, section, key, std::to_string(value));
}

bool SettingsStore::readFlag(std::string_view application, std::string_view section,
                             std::string_view key, bool fallback) const {
    const std::string text = read(application, section, key, {});
    if (sameName(text, "True")) {
        return true;
    }
    if (sameName(text, "False")) {
        return false;
    }
    return fallback;
}

bool SettingsStore::writeFlag(std::string_view application, std::string_view section,
                              std::string_view key, bool value) const {
    return write(application, section, key, value ? "True" : "False");
}

} // namespace common
