// The game's mount order: which files of a game folder are archives, the
// group each belongs to, and the order they are mounted in. This is the one
// place that knows it; everything else asks GameFolder.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gamefolder {

// The groups in mount order: loose files under the folder, then the patch
// archives rev*.gp3, then *.ccx, *.ufo and *.hpi.
enum class SourceKind { Loose, Patch, Expansion, AddOn, Archive };

// "loose", "gp3", "ccx", "ufo", "hpi".
const char* kindName(SourceKind kind);

// How a file name of the game folder's top level counts for mounting.
struct Candidate {
    SourceKind kind = SourceKind::Archive;
    // An archive extension the game does not mount under this name (a .gp3
    // whose name does not start with "rev"): listed as skipped.
    bool notMounted = false;
};

// Empty optional for names that are not archives (they are loose files).
// Extensions and the "rev" prefix are matched without regard to case.
std::optional<Candidate> classify(std::string_view fileName);

// The order within a group: file names compared without regard to case
// (our choice; the game takes the system's listing order), then byte by
// byte so names differing only in case still get a fixed order.
bool mountsBefore(std::string_view a, std::string_view b);

} // namespace gamefolder
