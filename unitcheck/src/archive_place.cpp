// One archive as a place: its members, the first of a name winning as the
// archive library looks them up.
#include "place_files.hpp"

#include "common/codepage.hpp"
#include "hpiutil/archive.hpp"

#include <algorithm>

namespace unitcheck {

namespace {

using ArchivePtr = std::shared_ptr<const hpiutil::Archive>;

hpiutil::Result<std::vector<std::uint8_t>> readMember(const hpiutil::Archive& archive,
                                                      std::string_view member) {
    const auto index = archive.find(member);
    if (!index || *index < 0 || archive.entries()[std::size_t(*index)].directory) {
        return hpiutil::fail("no file " + std::string(member));
    }
    const hpiutil::Entry& entry = archive.entries()[std::size_t(*index)];
    if (entry.size > MaxMemberSize) {
        return hpiutil::fail("too large to read");
    }
    return archive.readAll(entry);
}

bool endsWithGaf(std::string_view name) {
    return name.size() > 4 && common::equalsFolded(name.substr(name.size() - 4), ".gaf");
}

// The archive's textures\*.gaf, by name without regard to case.
class ArchiveTextureSource : public meshglass::TextureSource {
public:
    explicit ArchiveTextureSource(ArchivePtr archive) : archive_(std::move(archive)) {}

    std::string Describe() const override { return archive_->name(); }

    std::vector<std::string> TextureFiles() override {
        std::vector<std::string> names;
        if (auto listed = archive_->list("textures")) {
            for (std::uint32_t i : *listed) {
                const hpiutil::Entry& e = archive_->entries()[i];
                if (!e.directory && endsWithGaf(e.name)) {
                    names.push_back(e.path);
                }
            }
        }
        std::sort(names.begin(), names.end(), common::lessFolded);
        return names;
    }

    std::optional<std::vector<std::uint8_t>> ReadTextureFile(const std::string& file) override {
        auto bytes = readMember(*archive_, file);
        if (!bytes) {
            return std::nullopt;
        }
        return std::move(*bytes);
    }

private:
    ArchivePtr archive_;
};

class ArchivePlace : public PlaceFiles {
public:
    ArchivePlace(ArchivePtr archive, std::string name)
        : archive_(std::move(archive)), name_(std::move(name)) {}

    std::optional<Hit> find(std::string_view path) const override {
        const auto index = archive_->find(path);
        if (!index || *index < 0 || archive_->entries()[std::size_t(*index)].directory) {
            return std::nullopt;
        }
        return Hit{archive_->entries()[std::size_t(*index)].path, name_, {}};
    }

    std::vector<std::string> files(std::string_view folder, bool recursive) const override {
        std::vector<std::string> result;
        const auto index = archive_->find(folder);
        if (index && *index >= 0 && archive_->entries()[std::size_t(*index)].directory) {
            collect(*index, recursive, 0, result);
        }
        return result;
    }

    hpiutil::Result<std::vector<std::uint8_t>> read(std::string_view member) const override {
        return readMember(*archive_, member);
    }

    std::unique_ptr<meshglass::TextureSource> textures() const override {
        return std::make_unique<ArchiveTextureSource>(archive_);
    }

private:
    void collect(std::int32_t dir, bool recursive, int depth, std::vector<std::string>& out) const {
        for (std::uint32_t child : archive_->children(dir)) {
            const hpiutil::Entry& e = archive_->entries()[child];
            if (!e.directory) {
                out.push_back(e.path);
            } else if (recursive && depth < MaxFolderDepth) {
                collect(std::int32_t(child), recursive, depth + 1, out);
            }
        }
    }

    ArchivePtr archive_;
    std::string name_;
};

} // namespace

hpiutil::Result<std::unique_ptr<PlaceFiles>> archivePlace(const std::filesystem::path& path) {
    auto archive = hpiutil::Archive::open(path);
    if (!archive) {
        return std::move(archive).error();
    }
    std::unique_ptr<PlaceFiles> place = std::make_unique<ArchivePlace>(
        std::make_shared<const hpiutil::Archive>(std::move(*archive)), path.filename().string());
    return place;
}

} // namespace unitcheck
