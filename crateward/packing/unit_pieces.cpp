#include "unit_pieces.hpp"

#include <filesystem>
#include <set>

#include "case_folded_tree.hpp"
#include "hpiutil/hpiutil.h"
#include "member_paths.hpp"
#include "pack_engine.hpp"

namespace crateward::packing {

std::vector<UnitPiece> UnitPieces(const std::string& selectedName) {
    // The dotted base keeps the dot; the plain base drops it.
    const std::string dotted =
        selectedName.size() >= 3 ? selectedName.substr(0, selectedName.size() - 3) : "";
    const std::string plain =
        selectedName.size() >= 4 ? selectedName.substr(0, selectedName.size() - 4) : "";
    return {
        {"units\\" + selectedName, "", selectedName, "units\\", true,
         "Error extracting the unit .FBI file !!"},
        {"objects3d\\" + dotted + "3do", "", dotted + "3do", "objects3d\\", true,
         "Error extracting the unit .3DO file !!"},
        {"scripts\\" + dotted + "cob", "", dotted + "cob", "scripts\\", true,
         "No unit script (.COB file) found."},
        {"anims\\" + plain + "_gadget.gaf", "", plain + "_gadget.gaf", "anims\\", true,
         "No build menu pictures found."},
        {"objects3d\\" + plain + "_dead.3do", "", plain + "_dead.3do", "objects3d\\", false,
         "No corpse model found."},
        {"features\\corpses\\" + plain + "_dead.tdf", "features\\corpses\\" + dotted + "tdf",
         plain + "_dead.tdf", "features\\corpses\\", false, "No corpse information found."},
        {"unitpics\\" + dotted + "pcx", "", dotted + "pcx", "unitpics\\", false,
         "No unit picture found."},
        {"download\\" + dotted + "tdf", "", dotted + "tdf", "download\\", false,
         "No build menu information found."},
        {"weapons\\" + plain + "_weapons.tdf", "", plain + "_weapons.tdf", "weapons\\", false,
         "No unit weapon found."},
        {"textures\\" + dotted + "gaf", "", dotted + "gaf", "textures\\", false,
         "No textures found."},
    };
}

const std::vector<int>& UnitAddingOrder() {
    // The corpse model comes before the build menu pictures.
    static const std::vector<int> order = {0, 1, 2, 4, 3, 5, 6, 7, 8, 9};
    return order;
}

namespace {

bool extractPiece(std::int32_t archive, const std::string& member, const std::string& local,
                  const std::string& folder, UnitGathering& out) {
    out.attempted.push_back(member);
    // A local name that could leave the folder is never written.
    if (local.find('\\') != std::string::npos || !SafeRelativePath(local)) {
        return false;
    }
    return HPIExtractFile(archive, member.c_str(), (folder + local).c_str()) != 0;
}

} // namespace

UnitGathering GatherUnit(std::int32_t archive, const std::vector<UnitPiece>& pieces,
                         const std::string& folder) {
    UnitGathering out;
    out.extracted.assign(pieces.size(), false);
    out.provider.assign(pieces.size(), std::string());
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const UnitPiece& piece = pieces[i];
        bool ok = extractPiece(archive, piece.archivePath, piece.localName, folder, out);
        if (!ok && !piece.secondPath.empty()) {
            ok = extractPiece(archive, piece.secondPath, piece.localName, folder, out);
        }
        out.extracted[i] = ok;
        if (ok) {
            out.provider[i] = out.attempted.back();
            continue;
        }
        if (piece.mandatory) {
            out.stopMessage = piece.message;
            return out;
        }
        out.notes += '\r';
        out.notes += piece.message;
    }
    return out;
}

std::vector<FurtherPiece> GatherFurther(std::int32_t archive, const std::vector<UnitPiece>& pieces,
                                        const UnitGathering& gathering,
                                        const std::vector<std::string>& members,
                                        const std::string& folder) {
    std::set<std::string> held; // folded to lower case
    for (std::size_t i = 0; i < pieces.size() && i < gathering.extracted.size(); ++i) {
        if (gathering.extracted[i]) {
            held.insert(FoldedName(gathering.provider[i]));
            held.insert(FoldedName(pieces[i].storedFolder + pieces[i].localName));
        }
    }
    std::vector<FurtherPiece> out;
    for (const std::string& member : members) {
        const auto relative = SafeRelativePath(member);
        if (!relative || !held.insert(FoldedName(member)).second) {
            continue;
        }
        const std::filesystem::path local = std::filesystem::path("further") / *relative;
        std::error_code ec;
        std::filesystem::create_directories((std::filesystem::path(folder) / local).parent_path(),
                                            ec);
        if (HPIExtractFile(archive, member.c_str(), (folder + local.string()).c_str()) != 0) {
            out.push_back({member, local.string()});
        }
    }
    return out;
}

UnitPackResult PackUnit(const std::string& target, const std::vector<UnitPiece>& pieces,
                        const UnitGathering& gathering, const std::string& folder,
                        const std::vector<FurtherPiece>& further) {
    PackHandle = HPICreate(target.c_str(), nullptr);
    if (PackHandle == 0) {
        return UnitPackResult::CannotCreate;
    }
    for (int i : UnitAddingOrder()) {
        if (std::size_t(i) >= gathering.extracted.size() || !gathering.extracted[std::size_t(i)]) {
            continue;
        }
        const UnitPiece& piece = pieces[std::size_t(i)];
        const std::string name = piece.storedFolder + piece.localName;
        if (HPIAddFile(PackHandle, name.c_str(), (folder + piece.localName).c_str()) == 0) {
            // The handle is ended without writing anything.
            HPIPackArchive(PackHandle, -1);
            PackHandle = 0;
            return UnitPackResult::Refused;
        }
    }
    for (const FurtherPiece& piece : further) {
        if (HPIAddFile(PackHandle, piece.archivePath.c_str(), (folder + piece.localPath).c_str()) ==
            0) {
            HPIPackArchive(PackHandle, -1);
            PackHandle = 0;
            return UnitPackResult::Refused;
        }
    }
    return PackArchive(2) ? UnitPackResult::Written : UnitPackResult::PackFailed;
}

} // namespace crateward::packing
