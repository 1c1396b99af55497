// Units made for the unit check's tests and benchmark: every file a complete
// unit needs, written into archives or folders. No test framework here, so
// the benchmark shares it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace unitfixture {

using Members = std::map<std::string, std::string>; // member path -> content

// The pieces of the fixture model: base { turret { flare } }.
inline const std::vector<std::string> ModelPieces = {"base", "turret", "flare"};

// Adds every file of a complete unit named `name` (its gamedata\sound.tdf
// category is appended to that file):
//   units\N.fbi             UnitName=N, Objectname=N, Corpse=N_dead, SoundCategory=N_SOUND,
//                           Weapon1=N_LASER, ExplodeAs=N_BLAST, SelfDestructAs=N_BLAST
//   scripts\N.cob           pieces base, turret, flare
//   unitpics\N.pcx, anims\N_gadget.gaf
//   objects3d\N.3do         base (texture Ntex1) { turret (Ntex2) { flare } }
//   textures\N.gaf          entries Ntex1, Ntex2
//   features\corpses\N_dead.tdf  [N_dead] object=N_dead, featuredead=N_heap; [N_heap] object=N_heap
//   objects3d\N_dead.3do, objects3d\N_heap.3do (texture Ntex1)
//   gamedata\sound.tdf      [N_SOUND] select1=Nsel, ok1=Nok
//   sounds\Nsel.wav, Nok.wav, Nfire.wav, Nhit.wav
//   weapons\N.tdf           [N_LASER] model=Nshot, soundstart=Nfire, soundhit=Nhit,
//                           explosiongaf=Nfx, explosionart=blast, waterexplosionart=splash;
//                           [N_BLAST] explosiongaf=Nfx, explosionart=blast
//   objects3d\Nshot.3do, anims\Nfx.gaf (entries blast, splash)
//   download\N.tdf          [MENUENTRY1] UNITMENU=ARMCOM, UNITNAME=N
void addUnit(Members& members, const std::string& name);

// A unit script declaring these pieces (and two scripts, Create and Killed).
std::string makeCob(const std::vector<std::string>& pieces);
// A model with one piece per name, each the child of the one before, the
// i-th textured with textures[i] when there is one.
std::string makeModel(const std::vector<std::string>& pieces,
                      const std::vector<std::string>& textures);
// A GAF file with one small entry per name.
std::string makeGaf(const std::vector<std::string>& entries);

// Writes an archive of the members; false when it cannot be written.
bool writeArchive(const std::filesystem::path& path, const Members& members);
// Writes the members as files below `folder` ('\' becomes '/').
bool writeFolder(const std::filesystem::path& folder, const Members& members);

} // namespace unitfixture
