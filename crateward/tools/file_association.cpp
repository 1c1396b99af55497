#include "file_association.hpp"

#include "user_files.hpp"

#include <algorithm>
#include <cctype>
#include <sstream>

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

// The glob patterns already in a package of `type` (none when the package
// is missing or describes another type).
std::vector<std::string> existingGlobs(const fs::path& package, const std::string& type) {
    std::vector<std::string> globs;
    const auto text = ReadText(package);
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

} // namespace

namespace {

// The key of a `key=value` line, without the spaces around it; empty for
// comments, blank lines and lines without '='.
std::string keyOf(const std::string& line) {
    const std::string t = trimmed(line);
    const auto eq = t.find('=');
    if (t.empty() || t.front() == '#' || eq == std::string::npos) {
        return {};
    }
    return trimmed(t.substr(0, eq));
}

// Puts `entry` after the last non-blank line of `lines`.
void insertBeforeBlankTail(std::vector<std::string>& lines, const std::string& entry) {
    std::size_t at = lines.size();
    while (at > 0 && trimmed(lines[at - 1]).empty()) {
        --at;
    }
    lines.insert(lines.begin() + std::ptrdiff_t(at), entry);
}

} // namespace

std::string MimeAppsWithDefault(const std::string& existing, const std::string& type,
                                const std::string& desktop) {
    const std::string entry = type + "=" + desktop;
    std::vector<std::string> out;
    bool inDefaults = false;
    bool placed = false;
    std::istringstream in(existing);
    for (std::string line; std::getline(in, line);) {
        const std::string t = trimmed(line);
        if (!t.empty() && t.front() == '[') {
            if (inDefaults && !placed) {
                insertBeforeBlankTail(out, entry);
                placed = true;
            }
            inDefaults = t == "[Default Applications]";
            out.push_back(line);
            continue;
        }
        if (inDefaults && keyOf(line) == type) {
            // The first one becomes the entry; later ones would contradict it.
            if (!placed) {
                out.push_back(entry);
                placed = true;
            }
            continue;
        }
        out.push_back(line);
    }
    if (inDefaults && !placed) {
        insertBeforeBlankTail(out, entry);
        placed = true;
    }
    if (!placed) {
        if (!out.empty() && !trimmed(out.back()).empty()) {
            out.emplace_back();
        }
        out.emplace_back("[Default Applications]");
        out.push_back(entry);
    }
    std::string text;
    for (const std::string& line : out) {
        text += line + "\n";
    }
    return text;
}

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
    target.dataHome = UserFolder("XDG_DATA_HOME", ".local/share");
    target.configHome = UserFolder("XDG_CONFIG_HOME", ".config");
    target.runTool = RunInstalledTool;
    return target;
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
        WriteIfDifferent(package, packageText(type, oneLine(comment), globs, target.magic));
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
    const WriteResult desktopWritten = WriteIfDifferent(desktop, entry);
    if (desktopWritten == WriteResult::Failed) {
        return false;
    }

    // The desktop entry as the type's default application.
    const fs::path list = target.configHome / "mimeapps.list";
    const WriteResult listWritten =
        WriteIfDifferent(list, MimeAppsWithDefault(ReadText(list).value_or(""), type, desktopName));
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
    // The four extensions share one package and one desktop entry: each
    // database tool runs once at the end, after every change is written.
    std::vector<std::pair<std::string, std::vector<std::string>>> toolRuns;
    archives.runTool = [&toolRuns](const std::string& tool,
                                   const std::vector<std::string>& arguments) {
        const std::pair<std::string, std::vector<std::string>> run(tool, arguments);
        if (std::find(toolRuns.begin(), toolRuns.end(), run) == toolRuns.end()) {
            toolRuns.push_back(run);
        }
        return true;
    };
    for (const char* extension : {"hpi", "ccx", "ufo", "gp3"}) {
        RegisterFileType(archives, extension, executable, "", "Crateward", "HPI Archive file");
    }
    if (target.runTool) {
        for (const auto& [tool, arguments] : toolRuns) {
            target.runTool(tool, arguments);
        }
    }
}

} // namespace crateward
