// The `3do` tool: the model engine from the command line.
//
//   3do info FILE            the piece tree as JSON
//   3do objects FILE         the renderer objects the viewer would add, as JSON
//   3do obj FILE OUT.obj     Wavefront OBJ export with OUT.mtl and the textures beside it
//   3do textures FILE        every texture name the model uses and where it was found
//   3do render FILE OUT.png  a picture of the model drawn offscreen
//
// Reader messages go to standard error, one line each. Exit 0 on success,
// 1 on a failure, 2 on a usage error.
#include "meshglass/ModelFile.hpp"
#include "meshglass/ModelText.hpp"
#include "meshglass/ModelTextures.hpp"
#include "meshglass/class3do.hpp"
#include "tdo_pictures.hpp"

#include "common/program_help.hpp"
#include "common/program_paths.hpp"
#include "common/terminal_text.hpp"
#include "spriteglass/palette.hpp"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

namespace fs = std::filesystem;
using namespace meshglass;

namespace {

constexpr const char* kUsage =
    "usage: 3do info FILE\n"
    "       3do objects FILE\n"
    "       3do obj FILE OUT.obj [--textures DIR]\n"
    "       3do textures FILE [--textures DIR]\n"
    "       3do render FILE OUT.png [--mode filled|lit|wireframe] [--size WxH]\n"
    "                  [--turn A,B] [--zoom N] [--textures DIR]\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (common::AnswerHelpOrVersion(argc, argv, "3do", kUsage, TOOLKIT_VERSION)) {
        return 0;
    }
    if (argc < 3) {
        return usage();
    }
    const std::string command = argv[1];
    if (command == "textures" || command == "render") {
        const std::vector<std::string> arguments(argv + 2, argv + argc);
        const int result =
            command == "textures" ? tdo::TexturesCommand(arguments) : tdo::RenderCommand(arguments);
        return result == 2 ? usage() : result;
    }
    const bool exportObj = command == "obj";
    // obj FILE OUT.obj [--textures DIR]
    const bool texturesNamed = exportObj && argc == 6 && std::string(argv[4]) == "--textures";
    if ((command != "info" && command != "objects" && !exportObj) ||
        (argc != (exportObj ? 4 : 3) && !texturesNamed)) {
        return usage();
    }
    const fs::path input = argv[2];
    auto file = ModelFile::open(input);
    if (!file) {
        std::fprintf(stderr, "3do: %s: cannot open the file\n",
                     common::forStream(argv[2], stderr).c_str());
        return 1;
    }
    file->onError = [&](std::string_view text) {
        std::fprintf(stderr, "3do: %s: %s\n", common::forStream(argv[2], stderr).c_str(),
                     common::forStream(text, stderr).c_str());
    };
    auto root = LoadModel(*file);
    if (command == "info") {
        std::cout << ModelJson(*root, file->errorCount());
        return 0;
    }
    const spriteglass::Palette palette =
        spriteglass::LoadPalette(common::ProgramDataFile("palette.dat"));
    // The OBJ export takes the model's textures; the objects are listed as
    // the viewer adds them without.
    TextureLookup lookup(palette);
    tdo::AddTextureSources(lookup, input, texturesNamed ? fs::path(argv[5]) : fs::path());
    LookupFaceTextures textures(lookup);
    CollectingRenderer renderer;
    BuildModel(*root, renderer, exportObj ? &textures : nullptr);
    if (command == "objects") {
        std::cout << ObjectsJson(renderer.objects, file->errorCount());
        return 0;
    }
    const fs::path objPath = argv[3];
    fs::path mtlPath = objPath;
    mtlPath.replace_extension(".mtl");
    if (mtlPath == objPath) {
        mtlPath += ".mtl"; // an export named *.mtl keeps its own materials apart
    }
    TextureFiles files;
    if (!tdo::WriteObjTextures(renderer.objects, lookup, *root, mtlPath, palette, files) ||
        !tdo::WriteWhole(mtlPath, MtlText(renderer.objects, palette, files)) ||
        !tdo::WriteWhole(objPath, ObjText(renderer.objects, mtlPath.filename().string(), files))) {
        std::fprintf(stderr, "3do: %s: cannot write the export\n",
                     common::forStream(argv[3], stderr).c_str());
        return 1;
    }
    return 0;
}
