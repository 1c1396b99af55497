// crateward-thumbnailer: the thumbnail of one game file for a file manager,
// following the freedesktop thumbnailer convention
//
//   crateward-thumbnailer [-s SIZE] INPUT OUTPUT.png
//
// INPUT is a path or a file:// URI. It reads only INPUT (and the game
// palette shipped with it) and writes only OUTPUT, and only when it has a
// picture: exit 0 with the PNG written, 1 when the file has nothing to show
// (the file manager keeps its icon), 2 on a usage error.
#include "thumbnail_picture.hpp"
#include "thumbnail_sources.hpp"
#ifdef THUMBNAIL_MODELS
#include "model_thumbnail.hpp"
#endif

#include "common/program_paths.hpp"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace thumbnail;

namespace {

constexpr int DefaultSize = 128;
constexpr int MaxSize = 1024; // the largest size the convention names

int usage(FILE* to) {
    std::fputs("usage: crateward-thumbnailer [-s SIZE] INPUT OUTPUT.png\n"
               "Writes the thumbnail of a GAF sprite file, a 3DO model, a PCX picture or an\n"
               "HPI archive (its first unit's picture) as a PNG whose longer side is SIZE\n"
               "pixels (default 128, at most 1024). INPUT is a path or a file:// URI.\n"
               "Exit status: 0 written, 1 nothing to show, 2 usage error.\n",
               to);
    return to == stdout ? 0 : 2;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = char(c | 0x20);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// A file:// URI's path with its %XX escapes undone; other text unchanged.
std::optional<std::string> pathOfInput(const std::string& input) {
    const std::string scheme = "file://";
    if (input.compare(0, scheme.size(), scheme) != 0) {
        return input;
    }
    std::string path;
    const std::size_t start = input.find('/', scheme.size());
    if (start != scheme.size()) {
        return std::nullopt; // a host other than the local one
    }
    for (std::size_t i = start; i < input.size(); ++i) {
        if (input[i] != '%') {
            path += input[i];
            continue;
        }
        if (i + 2 >= input.size() || hexValue(input[i + 1]) < 0 || hexValue(input[i + 2]) < 0) {
            return std::nullopt;
        }
        path += char(hexValue(input[i + 1]) * 16 + hexValue(input[i + 2]));
        i += 2;
    }
    return path;
}

std::vector<std::uint8_t> readHead(const fs::path& file, std::size_t count) {
    std::vector<std::uint8_t> head(count);
    std::ifstream in(file, std::ios::binary);
    in.read(reinterpret_cast<char*>(head.data()), std::streamsize(count));
    head.resize(std::size_t(in ? count : in.gcount()));
    return head;
}

std::optional<std::vector<std::uint8_t>> readSmallFile(const fs::path& file) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(file, ec);
    if (ec || size > MaxMemberSize) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(size);
    std::ifstream in(file, std::ios::binary);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(size))) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<ThumbnailPicture> pictureOf(const fs::path& file, std::string& why) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) {
        why = "not a readable file";
        return std::nullopt;
    }
    switch (KindOf(readHead(file, 4), file)) {
    case SourceKind::Sprites: {
        const fs::path paletteFile = common::ProgramDataFile("palette.dat");
        if (!fs::is_regular_file(paletteFile, ec)) {
            why = paletteFile.string() + ": the game palette is missing";
            return std::nullopt;
        }
        return SpritePicture(file, spriteglass::LoadPalette(paletteFile), why);
    }
    case SourceKind::Picture: {
        const std::optional<std::vector<std::uint8_t>> bytes = readSmallFile(file);
        if (!bytes) {
            why = "cannot read the file, or it is too large";
            return std::nullopt;
        }
        return PcxPicture(*bytes, why);
    }
    case SourceKind::Archive:
        return ArchivePicture(file, why);
    case SourceKind::Model: // drawn by the model tool instead
    case SourceKind::Unknown:
        break;
    }
    why = "not a file this program makes thumbnails of";
    return std::nullopt;
}

bool modelThumbnail(const fs::path& input, const fs::path& output, int size, std::string& why) {
#ifdef THUMBNAIL_MODELS
    return ModelHasPolygons(input, why) &&
           RenderModelThumbnail(common::ProgramDirectory() / "3do", input, output, size, why);
#else
    (void)input, (void)output, (void)size;
    why = "this build draws no models";
    return false;
#endif
}

bool writeOutput(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        if (out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size())) &&
            out.flush()) {
            return true;
        }
    }
    std::error_code ignored;
    fs::remove(file, ignored);
    return false;
}

} // namespace

int main(int argc, char** argv) {
    int size = DefaultSize;
    std::vector<std::string> operands;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            return usage(stdout);
        }
        if (argument == "--version") {
            std::printf("crateward-thumbnailer %s\n", TOOLKIT_VERSION);
            return 0;
        }
        if (argument == "-s" || argument == "--size") {
            if (i + 1 >= argc) {
                return usage(stderr);
            }
            char* end = nullptr;
            const long value = std::strtol(argv[++i], &end, 10);
            if (*argv[i] == '\0' || *end != '\0' || value < 1 || value > MaxSize) {
                std::fprintf(stderr, "crateward-thumbnailer: %s: not a size from 1 to %d\n",
                             argv[i], MaxSize);
                return 2;
            }
            size = int(value);
            continue;
        }
        operands.push_back(argument);
    }
    if (operands.size() != 2) {
        return usage(stderr);
    }
    const std::optional<std::string> input = pathOfInput(operands[0]);
    if (!input) {
        std::fprintf(stderr, "crateward-thumbnailer: %s: not a local file\n", operands[0].c_str());
        return 1;
    }
    std::string why;
    std::error_code ec;
    if (fs::is_regular_file(*input, ec) &&
        KindOf(readHead(*input, 4), *input) == SourceKind::Model) {
        if (!modelThumbnail(*input, operands[1], size, why)) {
            std::fprintf(stderr, "crateward-thumbnailer: %s: %s\n", input->c_str(), why.c_str());
            return 1;
        }
        return 0;
    }
    const std::optional<ThumbnailPicture> picture = pictureOf(*input, why);
    if (!picture) {
        std::fprintf(stderr, "crateward-thumbnailer: %s: %s\n", input->c_str(), why.c_str());
        return 1;
    }
    const std::vector<std::uint8_t> png = PngOf(ScaleToFit(*picture, size));
    if (png.empty() || !writeOutput(operands[1], png)) {
        std::fprintf(stderr, "crateward-thumbnailer: %s: cannot write the thumbnail\n",
                     operands[1].c_str());
        return 1;
    }
    return 0;
}
