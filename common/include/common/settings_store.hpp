// The per-user settings store shared by the programs: text values addressed
// by application name, section and key, kept in one INI file per application
// ($XDG_CONFIG_HOME/<application>/settings.ini, else ~/.config/...).
//
// Sections and keys are stored verbatim (spaces, '/', UTF-8) and matched
// without regard to case, so "Show/Hide ToolBar" written by one command is
// found by a read of "Show/Hide Toolbar". Every write re-reads the file under
// a lock file and replaces it atomically, so instances writing at the same
// time never lose each other's keys. Lines the store does not understand are
// kept as they are.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace common {

struct SettingsLines;

// The content of one settings file inside SettingsStore::update: reads and
// writes address it as the store's own do, and nothing reaches the disk
// before the update ends.
class SettingsEdit {
public:
    std::string read(std::string_view section, std::string_view key,
                     std::string_view fallback = {}) const;
    // False when the section, key or value cannot be stored in a line.
    bool write(std::string_view section, std::string_view key, std::string_view value);

private:
    friend class SettingsStore;
    explicit SettingsEdit(SettingsLines& lines) : lines_(lines) {}
    SettingsLines& lines_;
};

class SettingsStore {
public:
    // A store whose files live below `root` (one folder per application).
    explicit SettingsStore(std::filesystem::path root);
    // The store of the current user: $XDG_CONFIG_HOME when set and absolute,
    // else $HOME/.config.
    static SettingsStore forCurrentUser();

    // The value of `key`, or `fallback` when the section, the key or the
    // file is missing or unreadable.
    std::string read(std::string_view application, std::string_view section, std::string_view key,
                     std::string_view fallback = {}) const;
    // Writes `value` under `key`, keeping the spelling of an existing key.
    // False when the file could not be written, or when the application,
    // section, key or value cannot be stored in a line (line breaks, a key
    // holding '=' or starting with '[' or ';', a section holding ']').
    bool write(std::string_view application, std::string_view section, std::string_view key,
               std::string_view value) const;

    // One read-modify-write of the application's file under the lock:
    // `change` sees the file as it is and its writes are stored together,
    // so a change made of several keys (a list shifted by one) never
    // interleaves with another instance's. False when the file could not be
    // written.
    bool update(std::string_view application,
                const std::function<void(SettingsEdit&)>& change) const;

    // Typed views used by the windows: numbers as decimal text, flags as
    // "True"/"False".
    long readNumber(std::string_view application, std::string_view section, std::string_view key,
                    long fallback) const;
    bool writeNumber(std::string_view application, std::string_view section, std::string_view key,
                     long value) const;
    bool readFlag(std::string_view application, std::string_view section, std::string_view key,
                  bool fallback) const;
    bool writeFlag(std::string_view application, std::string_view section, std::string_view key,
                   bool value) const;

    std::filesystem::path fileOf(std::string_view application) const;

private:
    std::filesystem::path root_;
};

// Comparison of section and key names without regard to case: ASCII letters
// and the Latin-1 letters of UTF-8 ("é" and "É") fold together.
bool sameName(std::string_view a, std::string_view b);

} // namespace common
