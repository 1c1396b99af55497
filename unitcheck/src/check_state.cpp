#include "check_state.hpp"

#include "common/codepage.hpp"
#include "meshglass/ModelFile.hpp"
#include "meshglass/class3do.hpp"

#include <unordered_set>

namespace unitcheck {

namespace {

// A builder's name from its menu file: the file's stem without the page
// number ("ARMCOM2.GUI" -> "ARMCOM").
std::string builderOfGui(std::string_view fileName) {
    std::string_view stem = fileName.substr(0, fileName.rfind('.'));
    while (!stem.empty() && stem.back() >= '0' && stem.back() <= '9') {
        stem.remove_suffix(1);
    }
    return std::string(stem);
}

// Every section at any depth whose "name" key is a gadget name.
void gadgets(const TdfSection& section, const std::string& gadget, const TdfFile& file,
             const std::string& builder, std::multimap<std::string, MenuListing>& out) {
    if (const std::string* name = section.value("name"); name != nullptr && !name->empty()) {
        out.emplace(common::foldedName(*name), MenuListing{builder, gadget, file.place, file.hit});
    }
    for (const TdfSection& child : section.sections) {
        gadgets(child, gadget, file, builder, out);
    }
}

void collectPieces(const meshglass::class3do& piece, ModelInfo& info,
                   std::unordered_set<std::string>& textures) {
    info.pieces.push_back(piece.Name);
    for (const meshglass::class3dPrimitive& primitive : piece.Primitives) {
        if (!primitive.TextureName.empty() &&
            textures.insert(common::foldedName(primitive.TextureName)).second) {
            info.textures.push_back(primitive.TextureName);
        }
    }
    for (const auto& child : piece.Objects) {
        collectPieces(*child, info, textures);
    }
}

} // namespace

void UnitCheck::Impl::add(Place place, std::unique_ptr<PlaceFiles> placeFiles) {
    places.push_back(std::move(place));
    files.push_back(std::move(placeFiles));
    textures.emplace_back();
    // What was read from the earlier places may now be found elsewhere.
    weapons.reset();
    features.reset();
    sounds.reset();
    menus.reset();
    models.clear();
}

std::optional<Located> UnitCheck::Impl::locate(std::string_view path) const {
    for (std::size_t p = 0; p < files.size(); ++p) {
        if (auto hit = files[p]->find(path)) {
            return Located{int(p), std::move(*hit)};
        }
    }
    return std::nullopt;
}

const SectionIndex& UnitCheck::Impl::weaponIndex() {
    if (!weapons) {
        weapons.emplace().build(files, "weapons", false,
                                [](std::string_view n) { return hasExtension(n, ".tdf"); });
    }
    return *weapons;
}

const SectionIndex& UnitCheck::Impl::featureIndex() {
    if (!features) {
        features.emplace().build(files, "features", true,
                                 [](std::string_view n) { return hasExtension(n, ".tdf"); });
    }
    return *features;
}

const SectionIndex& UnitCheck::Impl::soundIndex() {
    if (!sounds) {
        sounds.emplace().build(files, "gamedata", false, [](std::string_view n) {
            return common::equalsFolded(n, "sound.tdf");
        });
    }
    return *sounds;
}

const std::multimap<std::string, MenuListing>& UnitCheck::Impl::menuIndex() {
    if (menus) {
        return *menus;
    }
    menus.emplace();
    SectionIndex downloads;
    downloads.build(files, "download", false,
                    [](std::string_view n) { return hasExtension(n, ".tdf"); });
    for (const auto& file : downloads.files()) {
        for (const TdfSection& entry : file->doc.sections) {
            const std::string* unit = entry.value("UNITNAME");
            if (unit != nullptr && !unit->empty()) {
                const std::string* builder = entry.value("UNITMENU");
                menus->emplace(common::foldedName(*unit),
                               MenuListing{builder ? *builder : std::string(), entry.name,
                                           file->place, file->hit});
            }
        }
    }
    SectionIndex guis;
    guis.build(files, "guis", false, [](std::string_view n) { return hasExtension(n, ".gui"); });
    for (const auto& file : guis.files()) {
        const std::string builder = builderOfGui(fileNameOf(file->hit.member));
        for (const TdfSection& gadget : file->doc.sections) {
            gadgets(gadget, gadget.name, *file, builder, *menus);
        }
    }
    return *menus;
}

const ModelInfo& UnitCheck::Impl::model(const std::string& path) {
    const std::string key = common::foldedName(path);
    if (auto it = models.find(key); it != models.end()) {
        return it->second;
    }
    ModelInfo& info = models[key];
    info.at = locate(path);
    if (!info.at) {
        return info;
    }
    auto bytes = files[std::size_t(info.at->place)]->read(info.at->hit.member);
    if (!bytes) {
        info.unreadable = true;
        info.problem = bytes.error().message();
        return info;
    }
    if (bytes->size() < std::size_t(meshglass::ObjectHeaderSize)) {
        info.unreadable = true;
        info.problem = "too short for a model";
        return info;
    }
    meshglass::ModelFile file(std::move(*bytes));
    const auto root = meshglass::LoadModel(file);
    if (root->Name.empty() && root->Objects.empty()) {
        info.unreadable = true;
        info.problem = "no piece could be read";
        return info;
    }
    std::unordered_set<std::string> seen;
    collectPieces(*root, info, seen);
    return info;
}

std::optional<Located> UnitCheck::Impl::texture(std::string_view name) {
    for (std::size_t p = 0; p < files.size(); ++p) {
        if (!textures[p]) {
            textures[p] = std::make_unique<meshglass::TextureLookup>(spriteglass::Palette{});
            textures[p]->AddSource(files[p]->textures());
        }
        const std::optional<std::string> file = textures[p]->FileHolding(name);
        if (!file) {
            continue;
        }
        // The texture file as a member of the place: a game folder names its
        // files "<source>: <member>", a folder its files' disk paths.
        std::string member = *file;
        if (const std::size_t colon = file->find(": ");
            places[p].kind == PlaceKind::GameFolder && colon != std::string::npos) {
            member = file->substr(colon + 2);
        } else if (places[p].kind == PlaceKind::Folder) {
            member = "textures\\" + std::filesystem::path(*file).filename().string();
        }
        auto hit = files[p]->find(member);
        return Located{int(p), hit ? std::move(*hit) : Hit{member, places[p].name, {}}};
    }
    return std::nullopt;
}

} // namespace unitcheck
