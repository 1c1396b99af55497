// A mounted game folder as a place: the providing copy of each path, and the
// later sources holding it as its shadows.
#include "place_files.hpp"

#include "game_folder_texture_source.hpp"
#include "gamefolder/game_folder.hpp"

namespace unitcheck {

namespace {

class GameFolderPlace : public PlaceFiles {
public:
    explicit GameFolderPlace(std::shared_ptr<const gamefolder::GameFolder> game)
        : game_(std::move(game)) {}

    std::optional<Hit> find(std::string_view path) const override {
        const auto node = game_->find(path);
        if (!node || *node < 0 || game_->nodes()[std::size_t(*node)].directory) {
            return std::nullopt;
        }
        Hit hit;
        hit.member = game_->path(*node);
        const auto copies = game_->copies(*node);
        hit.source = game_->sourceName(copies.front().source);
        for (std::size_t c = 1; c < copies.size(); ++c) {
            if (!copies[c].directory) {
                hit.shadowedBy.push_back(game_->sourceName(copies[c].source));
            }
        }
        return hit;
    }

    std::vector<std::string> files(std::string_view folder, bool recursive) const override {
        std::vector<std::string> result;
        const auto node = game_->find(folder);
        if (node && *node >= 0 && game_->nodes()[std::size_t(*node)].directory) {
            collect(*node, recursive, 0, result);
        }
        return result;
    }

    hpiutil::Result<std::vector<std::uint8_t>> read(std::string_view member) const override {
        const auto node = game_->find(member);
        if (!node || *node < 0 || game_->nodes()[std::size_t(*node)].directory) {
            return hpiutil::fail("no file " + std::string(member));
        }
        if (game_->copies(*node).front().size > MaxMemberSize) {
            return hpiutil::fail("too large to read");
        }
        std::vector<std::uint8_t> bytes;
        auto st = game_->read(*node, [&](std::span<const std::uint8_t> chunk) -> hpiutil::Status {
            if (bytes.size() + chunk.size() > MaxMemberSize) {
                return hpiutil::fail("too large to read");
            }
            bytes.insert(bytes.end(), chunk.begin(), chunk.end());
            return {};
        });
        if (!st) {
            return std::move(st).error();
        }
        return bytes;
    }

    std::unique_ptr<meshglass::TextureSource> textures() const override {
        return std::make_unique<gamefolder::GameFolderTextureSource>(game_);
    }

private:
    void collect(std::int32_t node, bool recursive, int depth,
                 std::vector<std::string>& out) const {
        for (std::uint32_t child : game_->children(node)) {
            const gamefolder::Node& n = game_->nodes()[child];
            if (!n.directory) {
                out.push_back(game_->path(std::int32_t(child)));
            } else if (recursive && depth < MaxFolderDepth) {
                collect(std::int32_t(child), recursive, depth + 1, out);
            }
        }
    }

    std::shared_ptr<const gamefolder::GameFolder> game_;
};

} // namespace

std::unique_ptr<PlaceFiles> gameFolderPlace(std::shared_ptr<const gamefolder::GameFolder> game) {
    return std::make_unique<GameFolderPlace>(std::move(game));
}

} // namespace unitcheck
