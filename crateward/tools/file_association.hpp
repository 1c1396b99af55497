// Crateward registered as the program that opens archive files.
//
// The association is first worked out in the registry form the settings of
// the Windows program used (four keys: the extension, the application key
// with its description, its DefaultIcon and its open command) and then
// written as freedesktop files:
//   extension                 -> a glob of the MIME type
//   application key + text    -> the MIME type and its comment
//                                ($XDG_DATA_HOME/mime/packages/<key>.xml)
//   DefaultIcon               -> Icon= of the desktop entry
//   shell\open\command        -> Exec= of the desktop entry
//                                ($XDG_DATA_HOME/applications/<key>.desktop)
// and the desktop entry made the MIME type's default application in
// $XDG_CONFIG_HOME/mimeapps.list. A file is rewritten only when its content
// differs, and the desktop's database tools run only after a change.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "user_files.hpp"

namespace crateward {

// One key of the registry form and its default value.
struct RegistryValue {
    std::string key;
    std::string value;
    bool operator==(const RegistryValue&) const = default;
};

// The four keys RegisterFileType writes, in order, after its rules: a "."
// in front of the extension; an empty icon becomes the command, and an icon
// ending in ".exe" or ".dll" (any case) gets ",0"; an empty application key
// becomes "Reg.Application" and an empty description "RegDescription";
// " %1" after the command.
std::vector<RegistryValue> FileTypeKeys(std::string extension, const std::string& command,
                                        std::string icon, std::string applicationKey,
                                        std::string description);

// The MIME type named after the description: "HPI Archive file" gives
// "application/x-hpi-archive".
std::string MimeTypeFor(const std::string& description);

// `existing` (the text of a mimeapps.list) with `type=desktop` as the one
// entry for `type` in [Default Applications]: the first entry for the type
// there replaced (spaces around '=' allowed), later ones dropped, the
// section (or the file) gaining the entry when it has none; every other
// line kept as it was.
std::string MimeAppsWithDefault(const std::string& existing, const std::string& type,
                                const std::string& desktop);

// Where and how the association is written.
struct AssociationTarget {
    std::filesystem::path dataHome;   // $XDG_DATA_HOME, else ~/.local/share
    std::filesystem::path configHome; // $XDG_CONFIG_HOME, else ~/.config
    // Magic of the MIME type ("HAPI" for archives); none when empty.
    std::string magic;
    // Icon file used for an icon taken from an executable (",0").
    std::string programIcon;
    // Runs a database tool with its arguments: true when it is not installed
    // or it ran and succeeded.
    std::function<bool(const std::string& tool, const std::vector<std::string>& arguments)> runTool;

    static AssociationTarget forCurrentUser();
};

// Writes the association of one extension. True only when every file was
// written (or already held that content) and every tool that ran succeeded.
bool RegisterFileType(const AssociationTarget& target, const std::string& extension,
                      const std::string& command, const std::string& icon,
                      const std::string& applicationKey, const std::string& description);

// "hpi", "ccx", "ufo" and "gp3" opened by `executable`, with the application
// key "Crateward" and the description "HPI Archive file".
void RegisterArchiveTypes(const AssociationTarget& target, const std::string& executable);

} // namespace crateward
