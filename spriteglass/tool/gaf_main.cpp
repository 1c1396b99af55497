// gaf: scripting access to GAF sprite files for modders.
//   gaf info FILE               the file's animations and frames as JSON
//   gaf export [--png] FILE DIR every picture, named as the viewer's
//                               "Export All images..." names them
// Exit 0 on success, 1 on a failure, 2 on a usage error.
#include "common/program_paths.hpp"
#include "spriteglass/gaf_file.hpp"
#include "spriteglass/gaf_json.hpp"
#include "spriteglass/palette.hpp"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace spriteglass;

namespace {

int usage() {
    std::fputs("usage: gaf info FILE\n"
               "       gaf export [--png] FILE DIR\n",
               stderr);
    return 2;
}

bool load(classGAF& gaf, const std::string& file) {
    gaf.Load(file);
    if (!gaf.FileRead()) {
        std::fprintf(stderr, "gaf: %s: cannot read the file\n", file.c_str());
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

int exportImages(const std::string& file, const std::string& directory, ImageFormat format) {
    const fs::path paletteFile = common::ProgramDataFile("palette.dat");
    std::error_code ec;
    if (!fs::is_regular_file(paletteFile, ec)) {
        std::fprintf(stderr, "gaf: %s: the game palette is missing\n", paletteFile.c_str());
        return 1;
    }
    classGAF gaf;
    if (!load(gaf, file)) {
        return 1;
    }
    fs::create_directories(directory, ec);
    if (!fs::is_directory(directory, ec)) {
        std::fprintf(stderr, "gaf: %s: cannot create the folder\n", directory.c_str());
        return 1;
    }
    gaf.ExportAllImages(directory, LoadPalette(paletteFile), format);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
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
    return usage();
}
