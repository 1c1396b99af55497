// The `3do` commands that need textures or drawing: `textures` and `render`.
#pragma once

#include "meshglass/ModelText.hpp"
#include "meshglass/TextureLookup.hpp"
#include "meshglass/class3do.hpp"

#include <filesystem>
#include <string>
#include <vector>

namespace tdo {

// The texture lookup of a model file: --textures DIR first, then the model's
// folder tree, then the game folder.
void AddTextureSources(meshglass::TextureLookup& lookup, const std::filesystem::path& model,
                       const std::filesystem::path& extra);

// `3do textures FILE [--textures DIR]`: 0 when every texture was found, 1
// when one is missing, 2 on a usage error.
int TexturesCommand(const std::vector<std::string>& arguments);

// `3do render FILE OUT.png [--mode filled|lit|wireframe] [--size WxH]
// [--turn A,B] [--zoom N] [--textures DIR]`.
int RenderCommand(const std::vector<std::string>& arguments);

// Writes the pictures of the textures the objects' quads are drawn with as
// PNG files beside mtlPath, named after it and the entry
// ("<stem>_<entry>.png"), and gives their names by texture address. False
// when one cannot be written.
bool WriteObjTextures(const std::vector<meshglass::CollectedObject>& objects,
                      meshglass::TextureLookup& lookup, const meshglass::class3do& model,
                      const std::filesystem::path& mtlPath, const spriteglass::Palette& palette,
                      meshglass::TextureFiles& files);

// Writes bytes beside the target and renames them over it.
bool WriteWhole(const std::filesystem::path& path, const std::string& bytes);

} // namespace tdo
