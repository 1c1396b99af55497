#include "game_folder_texture_source.hpp"

#include "common/codepage.hpp"

#include <algorithm>

namespace gamefolder {

GameFolderTextureSource::GameFolderTextureSource(std::shared_ptr<const GameFolder> game)
    : game_(std::move(game)) {}

std::string GameFolderTextureSource::Describe() const {
    return "game folder " + game_->folder().string();
}

std::vector<std::string> GameFolderTextureSource::TextureFiles() {
    files_.clear();
    const auto textures = game_->find("textures");
    if (!textures || *textures < 0 || !game_->nodes()[std::size_t(*textures)].directory) {
        return {};
    }
    std::vector<std::int32_t> gafs;
    for (std::uint32_t c : game_->children(*textures)) {
        const Node& n = game_->nodes()[c];
        if (!n.directory && n.name.size() > 4 &&
            common::equalsFolded(std::string_view(n.name).substr(n.name.size() - 4), ".gaf")) {
            gafs.push_back(std::int32_t(c));
        }
    }
    std::sort(gafs.begin(), gafs.end(), [&](std::int32_t a, std::int32_t b) {
        const auto sa = game_->copies(a).front().source;
        const auto sb = game_->copies(b).front().source;
        if (sa != sb) {
            return sa < sb;
        }
        return common::lessFolded(game_->nodes()[std::size_t(a)].name,
                                  game_->nodes()[std::size_t(b)].name);
    });
    std::vector<std::string> names;
    for (std::int32_t node : gafs) {
        names.push_back(game_->sourceName(game_->copies(node).front().source) + ": " +
                        game_->path(node));
        files_[names.back()] = node;
    }
    return names;
}

std::optional<std::vector<std::uint8_t>>
GameFolderTextureSource::ReadTextureFile(const std::string& file) {
    const auto it = files_.find(file);
    if (it == files_.end() || game_->copies(it->second).front().size > MaxFileSize) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    auto st = game_->read(it->second, [&](std::span<const std::uint8_t> chunk) -> Status {
        bytes.insert(bytes.end(), chunk.begin(), chunk.end());
        return {};
    });
    if (!st) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace gamefolder
