#include "program_locations.hpp"

#include "program_keys.hpp"
#include "settings_keys.hpp"

namespace crateward {

void LoadProgramPaths(const common::SettingsStore& settings, ProgramLocations& programs) {
    programs.TAPath = settings.read(kApp, kPrograms, kTAKey);
    programs.UnitViewerPath = settings.read(kApp, kPrograms, kUnitViewerKey);
    programs.ModelProgramPath = settings.read(kApp, kPrograms, kModelKey);
    programs.SpriteProgramPath = settings.read(kApp, kPrograms, kSpriteKey);
    programs.MapProgramPath = settings.read(kApp, kPrograms, kMapKey);
}

void DefaultToOwnViewers(const common::SettingsStore& settings,
                         const std::filesystem::path& programDirectory) {
    // A line break cannot be stored, so it stands for "absent".
    constexpr std::string_view kAbsent = "\n";
    const struct {
        const char* locationKey;
        const char* optionKey;
        const char* viewer;
    } viewers[] = {{kSpriteKey, kGafType, kSpriteViewer}, {kModelKey, k3doType, kModelViewer}};
    for (const auto& v : viewers) {
        if (settings.read(kApp, kPrograms, v.locationKey, kAbsent) == kAbsent &&
            settings.read(kApp, kOptions, v.optionKey, kAbsent) == kAbsent) {
            settings.write(kApp, kPrograms, v.locationKey,
                           SiblingProgramPath(programDirectory, v.viewer));
            settings.writeNumber(kApp, kOptions, v.optionKey, 0);
        }
    }
}

std::string FolderOf(std::string_view path) {
    const auto cut = path.find_last_of("/\\");
    return std::string(cut == std::string_view::npos ? path : path.substr(0, cut));
}

std::string SiblingProgramPath(const std::filesystem::path& programDirectory,
                               std::string_view program) {
    return (programDirectory / program).string();
}

} // namespace crateward
