// An unpacked folder as a place: its files, looked up without regard to case
// through an index made once. Links are not followed, so the walk cannot
// loop; it stops at MaxFolderDepth and MaxFolderFiles.
#include "place_files.hpp"

#include "common/codepage.hpp"

#include <fstream>
#include <map>

namespace unitcheck {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t MaxFolderFiles = 1000000;

struct LooseFile {
    std::string member; // '\'-joined path below the folder, as spelled on disk
    fs::path disk;
    bool directory = false;
};

std::string key(std::string_view member) {
    return common::foldedName(member);
}

class FolderPlace : public PlaceFiles {
public:
    explicit FolderPlace(fs::path folder) : folder_(std::move(folder)) {
        std::error_code ec;
        auto it = fs::recursive_directory_iterator(
            folder_, fs::directory_options::skip_permission_denied, ec);
        for (; !ec && it != fs::recursive_directory_iterator() && index_.size() < MaxFolderFiles;
             it.increment(ec)) {
            const bool directory = it->is_directory(ec);
            if (directory && it.depth() >= MaxFolderDepth) {
                it.disable_recursion_pending();
            }
            std::string member;
            // Lexically: a link stays where it is in the folder, wherever it points.
            for (const fs::path& part : it->path().lexically_relative(folder_)) {
                member += (member.empty() ? "" : "\\") + part.string();
            }
            if (!member.empty()) {
                index_.emplace(key(member), LooseFile{member, it->path(), directory});
            }
        }
    }

    std::optional<Hit> find(std::string_view path) const override {
        const auto it = index_.find(key(path));
        if (it == index_.end() || it->second.directory) {
            return std::nullopt;
        }
        return Hit{it->second.member, folder_.string(), {}};
    }

    std::vector<std::string> files(std::string_view folder, bool recursive) const override {
        std::vector<std::string> result;
        const std::string prefix = key(folder) + "\\";
        for (auto it = index_.lower_bound(prefix);
             it != index_.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
            const bool direct = it->first.find('\\', prefix.size()) == std::string::npos;
            if (!it->second.directory && (direct || recursive)) {
                result.push_back(it->second.member);
            }
        }
        return result;
    }

    hpiutil::Result<std::vector<std::uint8_t>> read(std::string_view member) const override {
        const auto it = index_.find(key(member));
        if (it == index_.end() || it->second.directory) {
            return hpiutil::fail("no file " + std::string(member));
        }
        std::error_code ec;
        const auto size = fs::file_size(it->second.disk, ec);
        if (ec || size > MaxMemberSize) {
            return hpiutil::fail(ec ? ec.message() : std::string("too large to read"));
        }
        std::ifstream in(it->second.disk, std::ios::binary);
        std::vector<std::uint8_t> bytes(size);
        if (!in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(size))) {
            return hpiutil::fail("cannot read " + it->second.disk.string());
        }
        return bytes;
    }

    std::unique_ptr<meshglass::TextureSource> textures() const override {
        const auto folder = meshglass::TexturesFolderIn(folder_);
        return std::make_unique<meshglass::FolderTextureSource>(folder ? *folder
                                                                       : folder_ / "textures");
    }

private:
    fs::path folder_;
    std::map<std::string, LooseFile> index_; // by folded member path
};

} // namespace

hpiutil::Result<std::unique_ptr<PlaceFiles>> folderPlace(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_directory(path, ec)) {
        return hpiutil::fail("not a folder: " + path.string());
    }
    std::unique_ptr<PlaceFiles> place = std::make_unique<FolderPlace>(path);
    return place;
}

} // namespace unitcheck
