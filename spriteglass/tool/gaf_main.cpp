// gaf: scripting access to GAF sprite files for modders.
//   gaf info FILE               the file's animations and frames as JSON
//   gaf export [--png] FILE DIR every picture, named as the viewer's
//                               "Export All images..." names them, and the
//                               manifest gaf.json that builds them back
//   gaf build [--quantise] DIR OUT.gaf
//                               a GAF file from such a folder
// Exit 0 on success, 1 on a failure, 2 on a usage error.
#include "common/program_help.hpp"
#include "common/program_paths.hpp"
#include "common/terminal_text.hpp"
#include "spriteglass/gaf_builder.hpp"
#include "spriteglass/gaf_file.hpp"
#include "spriteglass/gaf_json.hpp"
#include "spriteglass/gaf_manifest.hpp"
#include "spriteglass/gaf_writer.hpp"
#include "spriteglass/palette.hpp"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace spriteglass;

namespace {

constexpr const char* kUsage = "usage: gaf info FILE\n"
                               "       gaf export [--png] FILE DIR\n"
                               "       gaf build [--quantise] DIR OUT.gaf\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

bool load(classGAF& gaf, const std::string& file) {
    gaf.Load(file);
    if (!gaf.FileRead()) {
        std::fprintf(stderr, "gaf: %s: cannot read the file\n",
                     common::forStream(file, stderr).c_str());
        return false;
    }
    return true;
}

int info(const std::string& file) {
    classGAF gaf;
    if (!load(gaf, file)) {
        return 1;
    }
    std::fputs(GafInfoJson(gaf).c_str(), stdout);
    return 0;
}

bool gamePalette(Palette& palette) {
    const fs::path paletteFile = common::ProgramDataFile("palette.dat");
    std::error_code ec;
    if (!fs::is_regular_file(paletteFile, ec)) {
        std::fprintf(stderr, "gaf: %s: the game palette is missing\n",
                     common::forStream(paletteFile.string(), stderr).c_str());
        return false;
    }
    palette = LoadPalette(paletteFile);
    return true;
}

int exportImages(const std::string& file, const std::string& directory, ImageFormat format) {
    Palette palette;
    if (!gamePalette(palette)) {
        return 1;
    }
    std::error_code ec;
    classGAF gaf;
    if (!load(gaf, file)) {
        return 1;
    }
    fs::create_directories(directory, ec);
    if (!fs::is_directory(directory, ec)) {
        std::fprintf(stderr, "gaf: %s: cannot create the folder\n",
                     common::forStream(directory, stderr).c_str());
        return 1;
    }
    std::string error;
    if (!ExportGafFolder(gaf, directory, palette, format, error)) {
        std::fprintf(stderr, "gaf: %s\n", common::forStream(error, stderr).c_str());
        return 1;
    }
    return 0;
}

int build(const std::string& directory, const std::string& out, bool quantise) {
    Palette palette;
    if (!gamePalette(palette)) {
        return 1;
    }
    GafBuildOptions options;
    options.quantise = quantise;
    const GafBuildResult built = BuildGafFromFolder(directory, palette, options);
    if (!built.gaf) {
        std::fprintf(stderr, "gaf: %s: %s\n", common::forStream(directory, stderr).c_str(),
                     common::forStream(built.error, stderr).c_str());
        return 1;
    }
    for (const std::string& note : built.notes) {
        std::fprintf(stderr, "gaf: note: %s\n", common::forStream(note, stderr).c_str());
    }
    std::string error;
    if (!SaveGafFile(out, *built.gaf, error)) {
        std::fprintf(stderr, "gaf: %s: %s\n", common::forStream(out, stderr).c_str(),
                     common::forStream(error, stderr).c_str());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (common::AnswerHelpOrVersion(argc, argv, "gaf", kUsage, TOOLKIT_VERSION)) {
        return 0;
    }
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "info") {
        return info(args[1]);
    }
    if (args.size() == 3 && args[0] == "export") {
        return exportImages(args[1], args[2], ImageFormat::Bmp);
    }
    if (args.size() == 4 && args[0] == "export" && args[1] == "--png") {
        return exportImages(args[2], args[3], ImageFormat::Png);
    }
    if (args.size() == 3 && args[0] == "build") {
        return build(args[1], args[2], false);
    }
    if (args.size() == 4 && args[0] == "build" && args[1] == "--quantise") {
        return build(args[2], args[3], true);
    }
    return usage();
}
