// The texture GAF files of a mounted game folder, for the texture lookup:
// every textures\*.gaf of the merged tree (the providing copy of each, so a
// file an earlier archive shadows is never read), ordered as the sources
// providing them are mounted, then by name without regard to case.
#pragma once

#include "gamefolder/game_folder.hpp"
#include "meshglass/TextureSource.hpp"

#include <map>
#include <memory>

namespace gamefolder {

class GameFolderTextureSource : public meshglass::TextureSource {
public:
    explicit GameFolderTextureSource(std::shared_ptr<const GameFolder> game);

    std::string Describe() const override;
    // Each file is named "<source>: textures\<name>.gaf".
    std::vector<std::string> TextureFiles() override;
    std::optional<std::vector<std::uint8_t>> ReadTextureFile(const std::string& file) override;

    // Largest texture file read, as for texture folders.
    static constexpr std::uint64_t MaxFileSize = meshglass::FolderTextureSource::MaxFileSize;

private:
    std::shared_ptr<const GameFolder> game_;
    std::map<std::string, std::int32_t> files_; // listed name -> node
};

} // namespace gamefolder
