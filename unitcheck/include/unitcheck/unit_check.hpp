// The unit check: everything a unit needs, found or missing.
//
// How a program calls it:
//   1. Make a UnitCheck and add the places files are looked for, in order;
//      the first place that holds a path provides it:
//        - a mounted game folder:   check.addGameFolder(sharedGameFolder);
//        - a single archive:        check.addArchive("ArmBani.ufo");
//        - an unpacked folder:      check.addFolder("mymod/"); (its loose files
//                                   only; archives in it are not mounted)
//        - an archive first, then the game folder as fallback (a window over
//          an open archive): addArchive(path), then addGameFolder(game).
//      UnitCheck::open(path) does the first step for a command line: a folder
//      is mounted as a game folder, any other path is opened as an archive.
//   2. check.check("ARMCOM") (a unit name, or the definition's member path
//      such as "units\ARMCOM.FBI", any letter case) returns a UnitReport:
//      a tree of Dependency, rooted at the unit's definition. Each node has
//      its kind, the name the data gives, the path looked for, its state
//      (found, shadowed, missing, unused, cycle, unreadable), a severity
//      (none, note, warning, error), the place and source that provide it
//      with the member path as that source spells it, the later sources that
//      also hold it, a note, and its children: a model's textures, a script's
//      pieces, a weapon's model and sounds, a feature's model and its
//      featuredead chain, a sound category's sounds, the build menus.
//      check.checkAll() checks every units\*.fbi of all places.
//   3. renderText(report) is the readable report (what `hpi unitcheck` prints
//      and what a "Copy report" button copies); renderJson(reports) the JSON.
//   4. To open what a node names: check.readMember(node.place, node.member).
// The check keeps what it has read (section indexes of weapons, features,
// sounds, build menus; texture names) between calls; a UnitCheck is not for
// use by two threads at once. Broken files never stop the check: a file that
// cannot be read is a node in state Unreadable.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "hpiutil/result.hpp"

namespace gamefolder {
class GameFolder;
}

namespace unitcheck {

using hpiutil::Result;
using hpiutil::Status;

// What a dependency is.
enum class Kind {
    Unit,               // the definition units\<name>.fbi (the root)
    Script,             // scripts\<UnitName>.cob
    Piece,              // a piece name the script uses, or a model piece it never names
    Picture,            // unitpics\<UnitName>.pcx
    BuildButton,        // anims\<UnitName>_gadget.gaf (optional)
    Model,              // objects3d\<name>.3do
    Texture,            // an entry of some textures\*.gaf
    Feature,            // a section of some features\**\*.tdf (Corpse, featuredead)
    SoundCategory,      // a section of gamedata\sound.tdf
    Sound,              // sounds\<name>.wav
    Weapon,             // a section of some weapons\*.tdf (weapons, ExplodeAs, SelfDestructAs)
    ExplosionAnimation, // anims\<explosiongaf>.gaf
    ExplosionArt,       // an entry of that GAF (explosionart, waterexplosionart)
    BuildMenu,          // a download\*.tdf MENUENTRY or a guis\<builder>*.gui gadget
};

enum class State {
    Found,      // some place provides it
    Shadowed,   // found, and a later source of the same game folder also holds it
    Missing,    // nothing provides it
    Unused,     // a model piece the script never names
    Cycle,      // a featuredead chain that comes back to a feature already on it
    Unreadable, // found, but it could not be read or parsed
};

enum class Severity { None, Note, Warning, Error };

// Where a node's value sits in the unit's definition or the file that names it.
struct Dependency {
    Kind kind = Kind::Unit;
    std::string role;   // the key that names it ("Objectname", "Weapon2", "soundhit",
                        // "featuredead"...), empty for children listed by kind
    std::string name;   // the name as the data gives it (folder/extension stripped)
    std::string looked; // the path looked for: "scripts\armcom.cob", "weapons\*.tdf [ARM_LASER]",
                        // "textures\*.gaf: armtex1", "objects3d\armcom.3do piece: turret"
    State state = State::Missing;
    Severity severity = Severity::None;
    int place = -1;     // index in places() of the place providing it; -1 when missing
    std::string source; // the providing source: archive file name, "(loose files)", folder
    std::string member; // the providing member path as the source spells it
                        // (for a section or an entry: the file holding it)
    std::vector<std::string> shadowedBy; // later sources of that place also holding `member`
    std::string note;                    // a note or a warning, readable
    std::vector<Dependency> children;
};

struct UnitReport {
    std::string unit; // the unit name as asked (or as the definition's file spells it)
    Dependency root;  // kind Unit
    // Counts over the whole tree.
    int found = 0;    // Found and Shadowed
    int shadowed = 0; // Shadowed
    int missing =
        0; // nodes of severity Error (Missing, Unreadable, script pieces not in the model)
    int warnings = 0;
    int notes = 0;
    bool anyMissing() const { return missing > 0; }
};

enum class PlaceKind { GameFolder, Archive, Folder };

// One place the check looks in, in the order added.
struct Place {
    PlaceKind kind = PlaceKind::Archive;
    std::filesystem::path path;
    std::string name; // for people: the archive's file name, the folder's path
};

class UnitCheck {
public:
    UnitCheck();
    UnitCheck(UnitCheck&&) noexcept;
    UnitCheck& operator=(UnitCheck&&) noexcept;
    ~UnitCheck();

    // A folder mounted as a game folder, or any other path opened as an archive.
    static Result<UnitCheck> open(const std::filesystem::path& path);

    void addGameFolder(std::shared_ptr<const gamefolder::GameFolder> game);
    Status addArchive(const std::filesystem::path& archive);
    Status addFolder(const std::filesystem::path& folder);
    const std::vector<Place>& places() const;

    // The units every place defines (units\*.fbi, units\*.FBI...): names
    // without folder and extension, once each, sorted without regard to case.
    std::vector<std::string> units();
    // The units one place defines, in the same form (an archive checked
    // against a game folder: the archive's own units).
    std::vector<std::string> unitsOf(int place);

    // One unit: a name ("armcom") or the definition's member path
    // ("units\ARMCOM.FBI"), without regard to case. A unit with no definition
    // gives a root node in state Missing.
    UnitReport check(std::string_view unit);
    // Every unit of units(), in that order.
    std::vector<UnitReport> checkAll();

    // The bytes of a member of one place (as a node's place and member name it).
    Result<std::vector<std::uint8_t>> readMember(int place, std::string_view member) const;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

// Names for people: "script", "found", "error"...
std::string_view kindName(Kind kind);
std::string_view stateName(State state);
std::string_view severityName(Severity severity);

// The readable report of one unit: one line per node, indented by depth
// (kind, name, path looked for, state, source, note), then a summary line.
std::string renderText(const UnitReport& report);
// A JSON array with one object per report: unit, counts, and the tree.
std::string renderJson(const std::vector<UnitReport>& reports);

} // namespace unitcheck
