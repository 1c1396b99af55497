#include "unit_viewer_export.hpp"

#include <system_error>
#include <utility>
#include <vector>

#include "common/program_paths.hpp"
#include "hpiutil/hpiutil.h"
#include "mod_hpiutil.hpp"

namespace crateward {

namespace {

namespace fs = std::filesystem;

// The archive under construction; ended (packed or dropped) on every path.
class NewArchive {
public:
    explicit NewArchive(const fs::path& target) : handle_(HPICreate(target.c_str(), nullptr)) {}
    ~NewArchive() {
        if (handle_ != 0) {
            // Packing a handle that must not be written: an unknown method
            // makes the library drop it without touching the target.
            HPIPackArchive(handle_, -1);
        }
    }
    NewArchive(const NewArchive&) = delete;
    NewArchive& operator=(const NewArchive&) = delete;

    bool created() const { return handle_ != 0; }
    // Adds the files in order, stopping at the first the library refuses.
    bool add(const std::vector<std::pair<std::string, fs::path>>& members) {
        for (const auto& [name, file] : members) {
            if (HPIAddFile(handle_, name.c_str(), file.c_str()) == 0) {
                return false;
            }
        }
        return true;
    }
    // Writes the archive without compression.
    bool pack() { return HPIPackArchive(std::exchange(handle_, 0), 0) != 0; }

private:
    std::int32_t handle_;
};

std::string fileNameOf(const fs::path& file) {
    return file.filename().string();
}

} // namespace

std::string ViewerArchiveName(std::string_view side) {
    return side == "arm" ? "Arm Crateward.ufo" : "Core Crateward.ufo";
}

bool BuildViewerArchive(const classExportParam& param, const fs::path& archivePath,
                        std::string_view side, const ViewerExportPlaces& places) {
    const std::int32_t archive = hpi::Open(param.HPIchemin);
    if (archive == 0) {
        return false;
    }
    std::error_code ec;
    fs::create_directories(places.scratchDirectory, ec);
    const fs::path model = places.scratchDirectory / "temp.3do";
    const fs::path script = places.scratchDirectory / "temp.cob";
    const bool extracted =
        hpi::ExtractFile(archive, "objects3d\\" + param.UnitName + ".3do", model.string()) &&
        hpi::ExtractFile(archive, "scripts\\" + param.UnitName + ".cob", script.string());
    hpi::Close(archive);
    if (!extracted) {
        return false;
    }
    const std::string s(side);
    const fs::path description = common::ProgramDataFile(
        side == "arm" ? "armCRWDunit.fbi" : "corCRWDunit.fbi", places.programDirectory);
    NewArchive out(archivePath);
    if (!out.created() || !out.add({{"units\\" + s + "CRWD.fbi", description},
                                    {"scripts\\" + s + "CRWD.cob", script},
                                    {"objects3d\\" + s + "CRWD.3do", model}})) {
        return false;
    }
    if (!out.pack()) {
        return false;
    }
    fs::remove(script, ec);
    fs::remove(model, ec);
    return true;
}

bool PackCustomExport(const fs::path& archivePath, const fs::path& fbi, const fs::path& cob,
                      const fs::path& tdo) {
    NewArchive out(archivePath);
    return out.created() &&
           out.add({{"units\\" + fileNameOf(fbi), fbi},
                    {"scripts\\" + fileNameOf(cob), cob},
                    {"objects3d\\" + fileNameOf(tdo), tdo}}) &&
           out.pack();
}

} // namespace crateward
