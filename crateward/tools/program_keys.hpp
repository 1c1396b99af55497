// The settings Crateward keeps about outside programs: their locations in
// section "Programmes" and how GAF files, pictures and 3DO models are
// opened in section "Options" (0 = Crateward's own viewer, 1 = outside).
#pragma once

namespace crateward {

inline constexpr const char* kPrograms = "Programmes";
inline constexpr const char* kTAKey = "TA";
inline constexpr const char* kUnitViewerKey = "UV";
inline constexpr const char* kModelKey = "3DO";
inline constexpr const char* kSpriteKey = "GAF";
inline constexpr const char* kMapKey = "MAP";

inline constexpr const char* kGafType = "GAF Type";
inline constexpr const char* kPictType = "Pict Type";
inline constexpr const char* k3doType = "3DO Type";

// Crateward's own viewers, installed beside it.
inline constexpr const char* kSpriteViewer = "spriteglass";
inline constexpr const char* kModelViewer = "meshglass";

} // namespace crateward
