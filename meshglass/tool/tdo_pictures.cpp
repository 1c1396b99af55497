#include "tdo_pictures.hpp"

#include "meshglass/ModelFile.hpp"
#include "meshglass/ModelTextures.hpp"

#include "common/codepage.hpp"
#include "common/json.hpp"
#include "common/program_paths.hpp"
#include "spriteglass/image_files.hpp"
#include "spriteglass/palette.hpp"

#ifdef TDO_RENDER
#include "GameFolder.hpp"
#include "OffscreenPicture.hpp"
#endif

#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <numbers>
#include <optional>
#include <set>

namespace fs = std::filesystem;
using namespace meshglass;

namespace tdo {

namespace {

// The value of option name in arguments (removed from them with it).
bool takeOption(std::vector<std::string>& arguments, const std::string& name,
                std::optional<std::string>& value) {
    for (std::size_t k = 0; k < arguments.size(); ++k) {
        if (arguments[k] != name) {
            continue;
        }
        if (k + 1 >= arguments.size()) {
            return false;
        }
        value = arguments[k + 1];
        arguments.erase(arguments.begin() + std::ptrdiff_t(k),
                        arguments.begin() + std::ptrdiff_t(k) + 2);
        return true;
    }
    return true;
}

std::unique_ptr<class3do> loadModel(const std::string& path) {
    auto file = ModelFile::open(path);
    if (!file) {
        std::fprintf(stderr, "3do: %s: cannot open the file\n", path.c_str());
        return nullptr;
    }
    file->onError = [&](std::string_view text) {
        std::fprintf(stderr, "3do: %s: %.*s\n", path.c_str(), int(text.size()), text.data());
    };
    return LoadModel(*file);
}

spriteglass::Palette gamePalette() {
    return spriteglass::LoadPalette(common::ProgramDataFile("palette.dat"));
}

} // namespace

void AddTextureSources(TextureLookup& lookup, const fs::path& model, const fs::path& extra) {
#ifdef TDO_RENDER
    AddModelTextureSources(lookup, model, DetectedGameFolder(), extra);
#else
    AddModelTextureSources(lookup, model, {}, extra);
#endif
}

bool WriteWhole(const fs::path& path, const std::string& bytes) {
    const fs::path temporary = path.string() + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out.write(bytes.data(), std::streamsize(bytes.size())) || !out.flush()) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    fs::rename(temporary, path, error);
    if (error) {
        fs::remove(temporary, error);
        return false;
    }
    return true;
}

bool WriteObjTextures(const std::vector<CollectedObject>& objects, TextureLookup& lookup,
                      const class3do& model, const fs::path& mtlPath,
                      const spriteglass::Palette& palette, TextureFiles& files) {
    std::map<std::uintptr_t, const FoundTexture*> byAddress;
    for (const TextureUse& use : TextureUses(model)) {
        if (const FoundTexture* found = lookup.Find(use.name)) {
            byAddress[reinterpret_cast<std::uintptr_t>(found->texels.data())] = found;
        }
    }
    const std::string stem = mtlPath.stem().string();
    std::set<std::string> taken;
    for (const CollectedObject& object : objects) {
        for (const RenderFace& face : object.faces) {
            const auto it = byAddress.find(face.texture);
            if (face.vertexCount != 4 || it == byAddress.end() || files.count(face.texture)) {
                continue;
            }
            const FoundTexture& texture = *it->second;
            // The entry's name made safe as a file name.
            std::string entry = texture.entry;
            for (char& c : entry) {
                const auto u = static_cast<unsigned char>(c);
                if (!(std::isalnum(u) || c == '_' || c == '-')) {
                    c = '_';
                }
            }
            std::string name = stem + "_" + entry + ".png";
            for (int k = 2; taken.count(name); ++k) { // two entries made the same name
                name = stem + "_" + entry + "_" + std::to_string(k) + ".png";
            }
            taken.insert(name);
            std::vector<std::uint8_t> rgb;
            rgb.reserve(texture.texels.size() * 3);
            for (std::uint8_t t : texture.texels) {
                rgb.insert(rgb.end(), {palette[t * 4u + 2], palette[t * 4u + 1], palette[t * 4u]});
            }
            const std::vector<std::uint8_t> png =
                spriteglass::RgbPngBytes(rgb, texture.width, texture.height);
            if (png.empty() ||
                !WriteWhole(mtlPath.parent_path() / name, std::string(png.begin(), png.end()))) {
                return false;
            }
            files[face.texture] = name;
        }
    }
    return true;
}

int TexturesCommand(const std::vector<std::string>& given) {
    std::vector<std::string> arguments = given;
    std::optional<std::string> extra;
    if (!takeOption(arguments, "--textures", extra) || arguments.size() != 1) {
        return 2;
    }
    auto model = loadModel(arguments[0]);
    if (!model) {
        return 1;
    }
    TextureLookup lookup(gamePalette());
    AddTextureSources(lookup, arguments[0], extra.value_or(""));
    std::string out = "{\n  \"file\": " + common::jsonString(arguments[0]) + ",\n  \"searched\": [";
    for (std::size_t k = 0; k < lookup.Sources().size(); ++k) {
        out += (k ? ", " : "") + common::jsonString(lookup.Sources()[k]->Describe());
    }
    out += "],\n  \"textures\": [";
    int missing = 0;
    const std::vector<TextureUse> uses = TextureUses(*model);
    for (std::size_t k = 0; k < uses.size(); ++k) {
        const FoundTexture* found = lookup.Find(uses[k].name);
        out += k ? ",\n    " : "\n    ";
        out += "{\"name\": " + common::jsonString(common::cp1252ToUtf8(uses[k].name)) +
               ", \"faces\": " + std::to_string(uses[k].faces);
        if (found != nullptr) {
            out += ", \"found\": true, \"file\": " + common::jsonString(found->file) +
                   ", \"entry\": " + common::jsonString(common::cp1252ToUtf8(found->entry)) +
                   ", \"width\": " + std::to_string(found->width) +
                   ", \"height\": " + std::to_string(found->height) + "}";
        } else {
            out += ", \"found\": false}";
            ++missing;
        }
    }
    out += uses.empty() ? "],\n" : "\n  ],\n";
    out += "  \"missing\": " + std::to_string(missing) + "\n}\n";
    std::cout << out;
    return missing == 0 ? 0 : 1;
}

int RenderCommand(const std::vector<std::string>& given) {
#ifndef TDO_RENDER
    (void)given;
    std::fprintf(stderr, "3do: this build draws no pictures (built without Meshdraw)\n");
    return 1;
#else
    std::vector<std::string> arguments = given;
    std::optional<std::string> mode, size, turn, extra, zoom;
    if (!takeOption(arguments, "--mode", mode) || !takeOption(arguments, "--size", size) ||
        !takeOption(arguments, "--turn", turn) || !takeOption(arguments, "--textures", extra) ||
        !takeOption(arguments, "--zoom", zoom) || arguments.size() != 2) {
        return 2;
    }
    PictureOptions options;
    // Unless told, a three-quarter view from above the model's front (the
    // side the light falls on).
    options.turnA = 20 * std::numbers::pi / 180.0;
    options.turnB = 150 * std::numbers::pi / 180.0;
    const std::string modeName = mode.value_or("filled");
    if (modeName == "filled") {
        options.mode = 0;
    } else if (modeName == "lit") {
        options.mode = 1;
    } else if (modeName == "wireframe") {
        options.mode = 2;
    } else {
        std::fprintf(stderr, "3do: --mode is filled, lit or wireframe\n");
        return 2;
    }
    if (size) {
        int w = 0, h = 0;
        char end = 0;
        if (std::sscanf(size->c_str(), "%dx%d%c", &w, &h, &end) != 2 || w < 1 || h < 1 ||
            w > MaxPictureSide || h > MaxPictureSide) {
            std::fprintf(stderr, "3do: --size is WxH, each 1 to %d\n", MaxPictureSide);
            return 2;
        }
        options.width = w;
        options.height = h;
    }
    if (turn) {
        double a = 0, b = 0;
        char end = 0;
        if (std::sscanf(turn->c_str(), "%lf,%lf%c", &a, &b, &end) != 2 || !std::isfinite(a) ||
            !std::isfinite(b)) {
            std::fprintf(stderr, "3do: --turn is A,B in degrees\n");
            return 2;
        }
        options.turnA = a * std::numbers::pi / 180.0;
        options.turnB = b * std::numbers::pi / 180.0;
    }
    if (zoom) {
        int notches = 0;
        char end = 0;
        if (std::sscanf(zoom->c_str(), "%d%c", &notches, &end) != 1 || notches < -100 ||
            notches > 100) {
            std::fprintf(stderr, "3do: --zoom is a number of wheel notches, -100 to 100\n");
            return 2;
        }
        options.zoomNotches = -notches;
    }
    auto model = loadModel(arguments[0]);
    if (!model) {
        return 1;
    }
    const spriteglass::Palette palette = gamePalette();
    TextureLookup lookup(palette);
    AddTextureSources(lookup, arguments[0], extra.value_or(""));
    LookupFaceTextures textures(lookup);
    std::string error;
    const auto picture = DrawModelOffscreen(*model, palette, &textures, options, error);
    if (!picture) {
        std::fprintf(stderr, "3do: %s: %s\n", arguments[0].c_str(), error.c_str());
        return 1;
    }
    const std::vector<std::uint8_t> png =
        spriteglass::RgbPngBytes(picture->rgb, picture->width, picture->height);
    if (png.empty() || !WriteWhole(arguments[1], std::string(png.begin(), png.end()))) {
        std::fprintf(stderr, "3do: %s: cannot write the picture\n", arguments[1].c_str());
        return 1;
    }
    return 0;
#endif
}

} // namespace tdo
