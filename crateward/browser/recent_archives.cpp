#include "recent_archives.hpp"

#include "settings_keys.hpp"

namespace crateward {

bool PushRecentArchive(const common::SettingsStore& settings, const std::string& path) {
    return settings.update(kApp, [&path](common::SettingsEdit& edit) {
        for (int key = kRecentCount - 1; key >= 1; --key) {
            const std::string moved = edit.read(kRecent, std::to_string(key));
            edit.write(kRecent, std::to_string(key + 1), moved);
        }
        edit.write(kRecent, "1", path);
    });
}

} // namespace crateward
