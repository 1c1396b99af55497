// The texture lookup: a primitive's texture name to a picture. The picture
// is the first frame of the GAF entry of that name (without regard to case)
// in the first texture file that holds it, asking the sources in the order
// they were added. Each file is read and decoded once; every answer, a
// missing name included, is kept.
#pragma once

#include "meshglass/TextureSource.hpp"
#include "spriteglass/palette.hpp"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace spriteglass {
class classGAF;
}

namespace meshglass {

// Largest texture side handed to the renderer; larger pictures are scaled
// down (nearest texel) to fit.
inline constexpr int MaxTextureSide = 256;

struct FoundTexture {
    std::string file;  // where it was found (as the source names its file)
    std::string entry; // the entry's name as the file spells it
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> texels; // width x height palette indices, top row first
    std::uint8_t averageColour = 0;   // palette index nearest the texels' mean colour
};

class TextureLookup {
public:
    explicit TextureLookup(const spriteglass::Palette& palette);
    ~TextureLookup();
    TextureLookup(const TextureLookup&) = delete;
    TextureLookup& operator=(const TextureLookup&) = delete;

    void AddSource(std::unique_ptr<TextureSource> source);
    const std::vector<std::unique_ptr<TextureSource>>& Sources() const { return sources_; }

    // The texture of that name, or null when no source holds it. The result
    // stays valid (same address, same texels) as long as the lookup lives.
    const FoundTexture* Find(std::string_view name);
    // The texture file holding an entry of that name (without regard to
    // case), asking the sources in order, without decoding any picture: for
    // checks of many names. Each file's entry names are read once.
    std::optional<std::string> FileHolding(std::string_view name);

private:
    struct LoadedFile {
        std::string name;
        std::unique_ptr<spriteglass::classGAF> gaf;
    };
    const std::vector<LoadedFile>& FilesOf(std::size_t source);
    std::unique_ptr<FoundTexture> Picture(const LoadedFile& file, std::string_view name) const;

    spriteglass::Palette palette_;
    std::vector<std::unique_ptr<TextureSource>> sources_;
    std::vector<std::optional<std::vector<LoadedFile>>> files_;  // per source, once read
    std::map<std::string, std::unique_ptr<FoundTexture>> found_; // by lower-case name
    // Per source, once read: each file's name and the folded names of its entries.
    std::vector<std::optional<std::vector<std::pair<std::string, std::vector<std::string>>>>>
        entryNames_;
};

// Where a model's textures are looked for, in this order: extra (a folder
// named on a command line: its textures/ folder, then the folder itself);
// the folder tree the model sits in, from the model's folder upwards, at each
// level its textures/ folder; then the game folder's loose textures/ folder.
// Empty paths are left out.
void AddModelTextureSources(TextureLookup& lookup, const std::filesystem::path& modelFile,
                            const std::filesystem::path& gameFolder,
                            const std::filesystem::path& extra = {});

} // namespace meshglass
