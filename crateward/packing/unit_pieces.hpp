// The files that make up one game unit, found from its definition file's
// name by fixed folder and name rules, gathered out of an open archive into
// a folder, and the names they take in the unit's own archive.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace crateward::packing {

struct UnitPiece {
    std::string archivePath;  // where it is looked for in the open archive
    std::string secondPath;   // tried when the first fails (empty = none)
    std::string localName;    // the file's name in the gathering folder
    std::string storedFolder; // its folder in the new archive, with '\'
    bool mandatory = false;
    std::string message; // the stop message or the note when missing
};

// The ten pieces of the unit whose definition is `selectedName` (a name
// with a three-letter extension), in the order they are extracted.
std::vector<UnitPiece> UnitPieces(const std::string& selectedName);

// The order in which the gathered pieces are added (indices into UnitPieces).
const std::vector<int>& UnitAddingOrder();

struct UnitGathering {
    std::string stopMessage;            // a mandatory piece was missing
    std::string notes;                  // "\r" + note per missing optional piece
    std::vector<bool> extracted;        // per piece of UnitPieces
    std::vector<std::string> provider;  // per piece: the archive path extracted, or ""
    std::vector<std::string> attempted; // archive paths tried, in order
};

// Extracts the pieces from `archive` into `folder` (ending with '/'), in
// order, stopping at the first mandatory piece that cannot be extracted.
UnitGathering GatherUnit(std::int32_t archive, const std::vector<UnitPiece>& pieces,
                         const std::string& folder);

// A further member of the open archive packed with the unit under its own
// archive path, extracted to `folder` + `localPath`.
struct FurtherPiece {
    std::string archivePath;
    std::string localPath; // '/'-separated, below the gathering folder
};

// Extracts each of `members` that the gathering does not already hold (the
// same archive path as a piece it extracted, or the same name as a piece
// takes in the new archive, without regard to case) below `folder` +
// "further/", at its member path made safe. Members whose names are unsafe
// or that cannot be extracted are left out.
std::vector<FurtherPiece> GatherFurther(std::int32_t archive, const std::vector<UnitPiece>& pieces,
                                        const UnitGathering& gathering,
                                        const std::vector<std::string>& members,
                                        const std::string& folder);

// Builds the unit's archive at `target` from the pieces this gathering
// extracted, then the further pieces, with ZLIB. 0 when it cannot be
// created, 1 when a file is refused (nothing packed), 2 when the pack
// fails, 3 when written.
enum class UnitPackResult { CannotCreate, Refused, PackFailed, Written };
UnitPackResult PackUnit(const std::string& target, const std::vector<UnitPiece>& pieces,
                        const UnitGathering& gathering, const std::string& folder,
                        const std::vector<FurtherPiece>& further = {});

} // namespace crateward::packing
