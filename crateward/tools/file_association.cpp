#include "file_association.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>

extern char** environ;

namespace crateward {

namespace fs = std::filesystem;

namespace {

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

bool endsWithNoCase(const std::string& text, std::string_view tail) {
    return text.size() >= tail.size() && lower(text.substr(text.size() - tail.size())) == tail;
}

// A name usable as a file name: letters, digits, '.', '-' and '_' kept.
std::string fileStem(const std::string& key) {
    std::string out;
    for (const unsigned char c : lower(key)) {
        out += std::isalnum(c) || c == '.' || c == '-' || c == '_' ? char(c) : '-';
    }
    return out.empty() || out == "." || out == ".." ? std::string("application") : out;
}

std::string xmlEscaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// One line of a desktop entry holds no line break.
std::string oneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return text;
}

// The program of an Exec= line, quoted as desktop entries require when it
// holds a reserved character, then escaped for the entry's string syntax.
std::string execProgram(const std::string& program) {
    std::string arg;
    for (const char c : oneLine(program)) {
        arg += c == '%' ? std::string("%%") : std::string(1, c);
    }
    if (arg.find_first_of(" \t\"'\\><~|&;$*?#()`") != std::string::npos) {
        std::string quoted = "\"";
        for (const char c : arg) {
            if (c == '"' || c == '`' || c == '$' || c == '\\') {
                quoted += '\\';
            }
            quoted += c;
        }
        arg = quoted + "\"";
    }
    std::string out;
    for (const char c : arg) {
        out += c == '\\' ? std::string("\\\\") : std::string(1, c);
    }
    return out;
}

std::optional<std::string> readText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

enum class WriteResult { Same, Written, Failed };

// Replaces `file` with `content` unless it already holds exactly that; the
// new content goes to a temporary file beside it and is renamed over it.
WriteResult writeIfDifferent(const fs::path& file, const std::string& content) {
    if (readText(file) == content) {
        return WriteResult::Same;
    }
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    const fs::path temporary = file.string() + ".tmp-" + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << content;
        out.flush();
        if (!out) {
            fs::remove(temporary, ec);
            return WriteResult::Failed;
        }
    }
    fs::rename(temporary, file, ec);
    if (ec) {
        fs::remove(temporary, ec);
        return WriteResult::Failed;
    }
    return WriteResult::Written;
}

// The glob patterns already in a package of `type` (none when the package
// is missing or describes another type).
std::vector<std::string> existingGlobs(const fs::path& package, const std::string& type) {
    std::vector<std::string> globs;
    const auto text = readText(package);
    if (!text || text->find("<mime-type type=\"" + xmlEscaped(type) + "\">") == std::string::npos) {
        return globs;
    }
    const std::string open = "<glob pattern=\"";
    for (auto at = text->find(open); at != std::string::npos; at = text->find(open, at)) {
        at += open.size();
        const auto end = text->find('"', at);
        if (end == std::string::npos) {
            break;
        }
        globs.push_back(text->substr(at, end - at));
    }
    return globs;
}

std::string packageText(const std::string& type, const std::string& comment,
                        const std::vector<std::string>& globs, const std::string& magic) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        "  <mime-type type=\"" +
        xmlEscaped(type) + "\">\n    <comment>" + xmlEscaped(comment) + "</comment>\n";
    for (const std::string& glob : globs) {
        out += "    <glob pattern=\"" + glob + "\"/>\n";
    }
    if (!magic.empty()) {
        out += "    <magic priority=\"50\">\n      <match type=\"string\" offset=\"0\" value=\"" +
               xmlEscaped(magic) + "\"/>\n    </magic>\n";
    }
    return out + "  </mime-type>\n</mime-info>\n";
}

// mimeapps.list with `type=desktop` in [Default Applications]; every other
// line kept as it was.
std::string mimeAppsText(const std::string& existing, const std::string& type,
                         const std::string& desktop) {
    std::vector<std::string> lines;
    std::istringstream in(existing);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    const std::string entry = type + "=" + desktop;
    bool inSection = false;
    bool done = false;
    std::size_t sectionEnd = std::string::npos;
    for (std::size_t i = 0; i < lines.size() && !done; ++i) {
        const std::string line = trimmed(lines[i]);
        if (!line.empty() && line.front() == '[') {
            if (inSection) {
                sectionEnd = i;
                break;
            }
            inSection = line == "[Default Applications]";
            continue;
        }
        if (inSection && line.rfind(type + "=", 0) == 0) {
            lines[i] = entry;
            done = true;
        }
    }
    if (!done) {
        if (inSection) {
            if (sectionEnd == std::string::npos) {
                sectionEnd = lines.size();
            }
            // After the section's last entry, before its trailing blank lines.
            while (sectionEnd > 0 && trimmed(lines[sectionEnd - 1]).empty()) {
                --sectionEnd;
            }
            lines.insert(lines.begin() + std::ptrdiff_t(sectionEnd), entry);
        } else {
            if (!lines.empty() && !trimmed(lines.back()).empty()) {
                lines.emplace_back();
            }
            lines.emplace_back("[Default Applications]");
            lines.push_back(entry);
        }
    }
    std::string out;
    for (const std::string& line : lines) {
        out += line + "\n";
    }
    return out;
}

fs::path homeBased(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    if (value && *value && fs::path(value).is_absolute()) {
        return value;
    }
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : "/") / fallback;
}

std::optional<std::string> findOnPath(const std::string& tool) {
    const char* path = std::getenv("PATH");
    std::istringstream dirs(path ? path : "/usr/bin:/bin");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        const std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + tool;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return std::nullopt;
}

} // namespace

std::vector<RegistryValue> FileTypeKeys(std::string extension, const std::string& command,
                                        std::string icon, std::string applicationKey,
                                        std::string description) {
    if (extension.empty() || extension.front() != '.') {
        extension.insert(0, ".");
    }
    if (trimmed(icon).empty()) {
        icon = command;
    }
    if (endsWithNoCase(icon, ".exe") || endsWithNoCase(icon, ".dll")) {
        icon += ",0";
    }
    if (applicationKey.empty()) {
        applicationKey = "Reg.Application";
    }
    if (description.empty()) {
        description = "RegDescription";
    }
    return {{extension, applicationKey},
            {applicationKey, description},
            {applicationKey + "\\DefaultIcon", icon},
            {applicationKey + "\\shell\\open\\command", command + " %1"}};
}

std::string MimeTypeFor(const std::string& description) {
    std::string name;
    for (const unsigned char c : lower(description)) {
        if (std::isalnum(c)) {
            name += char(c);
        } else if (!name.empty() && name.back() != '-') {
            name += '-';
        }
    }
    while (!name.empty() && name.back() == '-') {
        name.pop_back();
    }
    if (name.size() > 5 && name.ends_with("-file")) {
        name.resize(name.size() - 5);
    }
    return "application/x-" + (name.empty() ? std::string("unknown") : name);
}

AssociationTarget AssociationTarget::forCurrentUser() {
    AssociationTarget target;
    target.dataHome = homeBased("XDG_DATA_HOME", ".local/share");
    target.configHome = homeBased("XDG_CONFIG_HOME", ".config");
    target.runTool = RunInstalledTool;
    return target;
}

bool RunInstalledTool(const std::string& tool, const std::vector<std::string>& arguments) {
    const auto program = findOnPath(tool);
    if (!program) {
        return true;
    }
    std::vector<std::string> words{*program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, program->c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        return false;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool RegisterFileType(const AssociationTarget& target, const std::string& extension,
                      const std::string& command, const std::string& icon,
                      const std::string& applicationKey, const std::string& description) {
    const std::vector<RegistryValue> keys =
        FileTypeKeys(extension, command, icon, applicationKey, description);
    const std::string& dottedExtension = keys[0].key;
    const std::string& key = keys[0].value;
    const std::string& comment = keys[1].value;
    const std::string& iconValue = keys[2].value;
    const std::string type = MimeTypeFor(comment);
    const std::string stem = fileStem(key);

    // Extension, application key and description: the MIME package.
    const fs::path package = target.dataHome / "mime" / "packages" / (stem + ".xml");
    std::vector<std::string> globs = existingGlobs(package, type);
    const std::string glob = xmlEscaped(oneLine("*" + dottedExtension));
    if (std::none_of(globs.begin(), globs.end(),
                     [&](const std::string& g) { return lower(g) == lower(glob); })) {
        globs.push_back(glob);
    }
    const WriteResult packageWritten =
        writeIfDifferent(package, packageText(type, oneLine(comment), globs, target.magic));
    if (packageWritten == WriteResult::Failed) {
        return false;
    }

    // DefaultIcon and the open command: the desktop entry. An icon taken
    // from an executable (",0", or the program itself) is the program's
    // icon file, or a theme icon when it has none.
    std::string entryIcon = iconValue;
    if (entryIcon == command || entryIcon.ends_with(",0")) {
        entryIcon =
            target.programIcon.empty() ? std::string("package-x-generic") : target.programIcon;
    }
    const std::string desktopName = stem + ".desktop";
    const fs::path desktop = target.dataHome / "applications" / desktopName;
    const std::string entry = "[Desktop Entry]\nType=Application\nName=" + oneLine(key) +
                              "\nComment=" + oneLine(comment) + "\nExec=" + execProgram(command) +
                              " %f\nIcon=" + oneLine(entryIcon) + "\nMimeType=" + type +
                              ";\nTerminal=false\nCategories=Utility;Archiving;\n";
    const WriteResult desktopWritten = writeIfDifferent(desktop, entry);
    if (desktopWritten == WriteResult::Failed) {
        return false;
    }

    // The desktop entry as the type's default application.
    const fs::path list = target.configHome / "mimeapps.list";
    const WriteResult listWritten =
        writeIfDifferent(list, mimeAppsText(readText(list).value_or(""), type, desktopName));
    if (listWritten == WriteResult::Failed) {
        return false;
    }

    bool ok = true;
    if (target.runTool && packageWritten == WriteResult::Written) {
        ok = target.runTool("update-mime-database", {(target.dataHome / "mime").string()}) && ok;
    }
    if (target.runTool && desktopWritten == WriteResult::Written) {
        ok = target.runTool("update-desktop-database",
                            {(target.dataHome / "applications").string()}) &&
             ok;
    }
    return ok;
}

void RegisterArchiveTypes(const AssociationTarget& target, const std::string& executable) {
    AssociationTarget archives = target;
    if (archives.magic.empty()) {
        archives.magic = "HAPI";
    }
    for (const char* extension : {"hpi", "ccx", "ufo", "gp3"}) {
        RegisterFileType(archives, extension, executable, "", "Crateward", "HPI Archive file");
    }
}

} // namespace crateward
