// One place where texture files are looked for. The texture lookup asks its
// sources, in order, for their texture GAF files and reads each file once.
//
// A source only lists and reads files; finding an entry by name, decoding
// and caching are the lookup's. To add a kind of place (an archive, a game
// folder's mounted archives), implement the three functions below and hand
// an instance to TextureLookup::AddSource.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace meshglass {

class TextureSource {
public:
    virtual ~TextureSource() = default;

    // What the source is, for people: a folder's path, an archive's name.
    virtual std::string Describe() const = 0;
    // The texture GAF files of the source, in the order they are searched
    // (the first file holding a name wins). Each is a name the source reads
    // back with ReadTextureFile and that tells a person where the file is.
    virtual std::vector<std::string> TextureFiles() = 0;
    // The whole bytes of one of those files; nullopt when it cannot be read.
    virtual std::optional<std::vector<std::uint8_t>> ReadTextureFile(const std::string& file) = 0;
};

// The *.gaf files (extension in any case) directly in one folder, in order of
// their names without regard to case. A missing folder has no files.
class FolderTextureSource : public TextureSource {
public:
    explicit FolderTextureSource(std::filesystem::path folder);

    std::string Describe() const override;
    std::vector<std::string> TextureFiles() override;
    std::optional<std::vector<std::uint8_t>> ReadTextureFile(const std::string& file) override;

    // Largest texture file read.
    static constexpr std::uint64_t MaxFileSize = 64ull << 20;

private:
    std::filesystem::path folder_;
};

// The sub-folder of parent named "textures" in any letter case, or nullopt.
std::optional<std::filesystem::path> TexturesFolderIn(const std::filesystem::path& parent);

} // namespace meshglass
