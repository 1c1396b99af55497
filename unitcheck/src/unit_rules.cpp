// The rules of what a unit needs, from its definition's [UNITINFO] section
// down to the textures of its models and the entries of its explosions.
#include "unit_rules.hpp"

#include "common/codepage.hpp"
#include "spriteglass/gaf_file.hpp"
#include "unitcheck/cob_names.hpp"

#include <unordered_set>

namespace unitcheck {

namespace {

// Longest featuredead chain followed.
constexpr int MaxFeatureChain = 64;

std::string trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return std::string(s);
}

bool startsFolded(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && common::equalsFolded(s.substr(0, prefix.size()), prefix);
}

std::string joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& p : parts) {
        out += (out.empty() ? "" : ", ") + p;
    }
    return out;
}

} // namespace

std::string UnitRules::plainName(std::string_view value, std::string_view folder,
                                 std::string_view extension) {
    std::string name = trimmed(value);
    for (char& c : name) {
        c = c == '/' ? '\\' : c;
    }
    const std::string prefix = std::string(folder) + "\\";
    if (!folder.empty() && startsFolded(name, prefix)) {
        name.erase(0, prefix.size());
    }
    if (!extension.empty() && hasExtension(name, extension)) {
        name.resize(name.size() - extension.size());
    }
    return common::cp1252ToUtf8(name);
}

void UnitRules::place(Dependency& node, const Located& at) {
    node.place = at.place;
    node.source = at.hit.source;
    node.member = at.hit.member;
    node.shadowedBy = at.hit.shadowedBy;
    node.state = node.shadowedBy.empty() ? State::Found : State::Shadowed;
    node.severity = Severity::None;
}

Dependency UnitRules::make(Kind kind, std::string role, std::string name, std::string looked) {
    Dependency node;
    node.kind = kind;
    node.role = std::move(role);
    node.name = std::move(name);
    node.looked = std::move(looked);
    node.state = State::Missing;
    node.severity = Severity::Error;
    return node;
}

Dependency UnitRules::file(Kind kind, std::string role, std::string name, std::string path,
                           Severity ifMissing) {
    Dependency node = make(kind, std::move(role), std::move(name), std::move(path));
    if (auto at = impl_.locate(node.looked)) {
        place(node, *at);
    } else {
        node.severity = ifMissing;
    }
    return node;
}

Dependency UnitRules::section(Kind kind, std::string role, const std::string& name,
                              const SectionIndex& index, std::string_view where) {
    Dependency node = make(kind, std::move(role), name, std::string(where) + " [" + name + "]");
    const SectionHit* hit = index.find(name);
    if (hit == nullptr) {
        return node;
    }
    place(node, Located{hit->file->place, hit->file->hit});
    if (!hit->alsoIn.empty()) {
        node.severity = Severity::Note;
        node.note = "also defined in " + joined(hit->alsoIn);
    }
    return node;
}

Dependency UnitRules::model(std::string role, std::string_view value) {
    const std::string name = plainName(value, "objects3d", ".3do");
    const std::string path = "objects3d\\" + name + ".3do";
    Dependency node = make(Kind::Model, std::move(role), name, path);
    const ModelInfo& info = impl_.model(path);
    if (!info.at) {
        return node;
    }
    place(node, *info.at);
    if (info.unreadable) {
        node.state = State::Unreadable;
        node.severity = Severity::Error;
        node.note = info.problem;
        return node;
    }
    for (const std::string& texture : info.textures) {
        const std::string shown = common::cp1252ToUtf8(texture);
        Dependency t = make(Kind::Texture, "", shown, "textures\\*.gaf: " + shown);
        if (auto at = impl_.texture(texture)) {
            place(t, *at);
        }
        node.children.push_back(std::move(t));
    }
    return node;
}

Dependency UnitRules::script(const std::string& unitName, const Dependency* modelNode) {
    Dependency node =
        file(Kind::Script, "UnitName", unitName, "scripts\\" + unitName + ".cob", Severity::Error);
    if (node.place < 0) {
        return node;
    }
    auto bytes = impl_.files[std::size_t(node.place)]->read(node.member);
    auto names = bytes ? readCobNames(*bytes) : hpiutil::Result<CobNames>(bytes.error());
    if (!names) {
        node.state = State::Unreadable;
        node.severity = Severity::Error;
        node.note = names.error().message();
        return node;
    }
    const ModelInfo* info = nullptr;
    if (modelNode != nullptr && modelNode->place >= 0 && modelNode->state != State::Unreadable) {
        info = &impl_.model(modelNode->looked);
    }
    if (info == nullptr) {
        node.severity = Severity::Note;
        node.note = "its pieces are not checked: the unit has no readable model";
        return node;
    }
    std::unordered_set<std::string> modelPieces, named;
    for (const std::string& p : info->pieces) {
        modelPieces.insert(common::foldedName(p));
    }
    for (const std::string& piece : names->pieces) {
        if (!named.insert(common::foldedName(piece)).second) {
            continue;
        }
        const std::string shown = common::cp1252ToUtf8(piece);
        Dependency p = make(Kind::Piece, "", shown, modelNode->looked + " piece: " + shown);
        if (modelPieces.count(common::foldedName(piece)) != 0) {
            place(p, Located{modelNode->place, Hit{modelNode->member, modelNode->source, {}}});
        } else {
            p.note = "the script names a piece the model lacks";
        }
        node.children.push_back(std::move(p));
    }
    for (const std::string& piece : info->pieces) {
        if (!piece.empty() && named.insert(common::foldedName(piece)).second) {
            const std::string shown = common::cp1252ToUtf8(piece);
            Dependency p = make(Kind::Piece, "", shown, modelNode->looked + " piece: " + shown);
            place(p, Located{modelNode->place, Hit{modelNode->member, modelNode->source, {}}});
            p.state = State::Unused;
            p.severity = Severity::Note;
            p.note = "a piece of the model the script never names";
            node.children.push_back(std::move(p));
        }
    }
    return node;
}

Dependency UnitRules::feature(std::string role, std::string_view value,
                              std::vector<std::string>& chain) {
    const std::string name = plainName(value, "", "");
    const std::string key = nameKey(name);
    for (const std::string& earlier : chain) {
        if (earlier == key) {
            Dependency node =
                make(Kind::Feature, std::move(role), name, "features\\**\\*.tdf [" + name + "]");
            node.state = State::Cycle;
            node.severity = Severity::Warning;
            node.note = "the featuredead chain comes back to " + name;
            return node;
        }
    }
    Dependency node =
        section(Kind::Feature, std::move(role), name, impl_.featureIndex(), "features\\**\\*.tdf");
    const SectionHit* hit = impl_.featureIndex().find(name);
    if (hit == nullptr) {
        return node;
    }
    if (const std::string* object = hit->section->value("object"); object && !object->empty()) {
        node.children.push_back(model("object", *object));
    }
    const std::string* dead = hit->section->value("featuredead");
    if (dead != nullptr && !trimmed(*dead).empty()) {
        if (chain.size() + 1 >= std::size_t(MaxFeatureChain)) {
            node.severity = Severity::Warning;
            node.note = "the featuredead chain is longer than " + std::to_string(MaxFeatureChain) +
                        " features; not followed further";
            return node;
        }
        chain.push_back(key);
        node.children.push_back(feature("featuredead", *dead, chain));
        chain.pop_back();
    }
    return node;
}

Dependency UnitRules::sound(std::string role, std::string_view value) {
    const std::string name = plainName(value, "sounds", ".wav");
    return file(Kind::Sound, std::move(role), name, "sounds\\" + name + ".wav", Severity::Error);
}

Dependency UnitRules::soundCategory(std::string_view value) {
    const std::string name = plainName(value, "", "");
    Dependency node = section(Kind::SoundCategory, "SoundCategory", name, impl_.soundIndex(),
                              "gamedata\\sound.tdf");
    const SectionHit* hit = impl_.soundIndex().find(name);
    if (hit == nullptr) {
        if (impl_.soundIndex().files().empty()) {
            node.note = "gamedata\\sound.tdf is not found";
        }
        return node;
    }
    for (const auto& [key, soundName] : hit->section->values) {
        if (!trimmed(soundName).empty()) {
            node.children.push_back(sound(common::cp1252ToUtf8(key), soundName));
        }
    }
    return node;
}

Dependency UnitRules::weapon(std::string role, std::string_view value) {
    const std::string name = plainName(value, "", "");
    Dependency node =
        section(Kind::Weapon, std::move(role), name, impl_.weaponIndex(), "weapons\\*.tdf");
    const SectionHit* hit = impl_.weaponIndex().find(name);
    if (hit == nullptr) {
        return node;
    }
    const TdfSection& w = *hit->section;
    auto given = [&](const char* key) -> const std::string* {
        const std::string* v = w.value(key);
        return v != nullptr && !trimmed(*v).empty() ? v : nullptr;
    };
    if (const std::string* m = given("model")) {
        node.children.push_back(model("model", *m));
    }
    for (const char* key : {"soundstart", "soundhit", "soundwater"}) {
        if (const std::string* s = given(key)) {
            node.children.push_back(sound(key, *s));
        }
    }
    // The explosions' entries are in the explosiongaf GAF; a weapon that
    // names a waterexplosiongaf of its own takes its water explosion from that.
    const std::string* gaf = given("explosiongaf");
    const std::string* waterGaf = given("waterexplosiongaf");
    if (waterGaf != nullptr && gaf != nullptr &&
        common::equalsFolded(plainName(*gaf, "anims", ".gaf"),
                             plainName(*waterGaf, "anims", ".gaf"))) {
        waterGaf = nullptr;
    }
    if (gaf != nullptr) {
        node.children.push_back(
            explosion("explosiongaf", *gaf,
                      {{"explosionart", given("explosionart")},
                       {"waterexplosionart", waterGaf ? nullptr : given("waterexplosionart")}}));
    }
    if (waterGaf != nullptr) {
        node.children.push_back(explosion("waterexplosiongaf", *waterGaf,
                                          {{"waterexplosionart", given("waterexplosionart")}}));
    }
    return node;
}

Dependency
UnitRules::explosion(std::string role, std::string_view gafValue,
                     const std::vector<std::pair<const char*, const std::string*>>& arts) {
    const std::string name = plainName(gafValue, "anims", ".gaf");
    Dependency node = file(Kind::ExplosionAnimation, std::move(role), name,
                           "anims\\" + name + ".gaf", Severity::Error);
    if (node.place < 0) {
        return node;
    }
    auto bytes = impl_.files[std::size_t(node.place)]->read(node.member);
    if (!bytes) {
        node.state = State::Unreadable;
        node.severity = Severity::Error;
        node.note = bytes.error().message();
        return node;
    }
    std::unordered_set<std::string> entries;
    for (const std::string& entry : spriteglass::classGAF::EntryNames(*bytes)) {
        entries.insert(common::foldedName(entry));
    }
    for (const auto& [key, entry] : arts) {
        if (entry == nullptr) {
            continue;
        }
        const std::string raw = trimmed(*entry);
        const std::string shown = common::cp1252ToUtf8(raw);
        Dependency e = make(Kind::ExplosionArt, key, shown, node.member + ": " + shown);
        if (entries.count(common::foldedName(raw)) != 0) {
            place(e, Located{node.place, Hit{node.member, node.source, {}}});
        }
        node.children.push_back(std::move(e));
    }
    return node;
}

std::vector<Dependency> UnitRules::buildMenus(const std::string& unitName) {
    std::vector<Dependency> nodes;
    const auto& menus = impl_.menuIndex();
    const auto [begin, end] = menus.equal_range(nameKey(unitName));
    for (auto it = begin; it != end; ++it) {
        const MenuListing& l = it->second;
        Dependency node = make(Kind::BuildMenu, "builder", common::cp1252ToUtf8(l.builder),
                               l.hit.member + " [" + common::cp1252ToUtf8(l.where) + "]");
        place(node, Located{l.place, l.hit});
        nodes.push_back(std::move(node));
    }
    if (nodes.empty()) {
        Dependency node =
            make(Kind::BuildMenu, "", unitName,
                 "download\\*.tdf UNITNAME=" + unitName + ", guis\\*.gui gadget " + unitName);
        node.severity = Severity::Warning;
        node.note = "no builder lists this unit";
        nodes.push_back(std::move(node));
    }
    return nodes;
}

Dependency UnitRules::unit(std::string_view asked) {
    std::string path = trimmed(asked);
    for (char& c : path) {
        c = c == '/' ? '\\' : c;
    }
    if (path.find('\\') == std::string::npos) {
        path = "units\\" + path;
    }
    if (!hasExtension(path, ".fbi")) {
        path += ".fbi";
    }
    std::string name(fileNameOf(path));
    name.resize(name.size() - 4);
    Dependency root = file(Kind::Unit, "", name, path, Severity::Error);
    if (root.place < 0) {
        root.note = "the unit has no definition";
        return root;
    }
    // The unit as its definition's file spells it.
    const std::string_view spelled = fileNameOf(root.member);
    root.name =
        std::string(spelled.substr(0, spelled.size() - std::min<std::size_t>(4, spelled.size())));
    auto bytes = impl_.files[std::size_t(root.place)]->read(root.member);
    if (!bytes) {
        root.state = State::Unreadable;
        root.severity = Severity::Error;
        root.note = bytes.error().message();
        return root;
    }
    const TdfDocument doc =
        parseTdf(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    const TdfSection* info = doc.section("UNITINFO");
    if (info == nullptr) {
        root.state = State::Unreadable;
        root.severity = Severity::Error;
        root.note = "no [UNITINFO] section";
        return root;
    }
    auto given = [&](const char* key) -> const std::string* {
        const std::string* v = info->value(key);
        return v != nullptr && !trimmed(*v).empty() ? v : nullptr;
    };
    std::optional<Dependency> modelNode;
    if (const std::string* objectName = given("Objectname")) {
        modelNode = model("Objectname", *objectName);
    }
    if (const std::string* unitNameValue = given("UnitName")) {
        const std::string unitName = plainName(*unitNameValue, "", "");
        root.children.push_back(script(unitName, modelNode ? &*modelNode : nullptr));
        root.children.push_back(file(Kind::Picture, "UnitName", unitName,
                                     "unitpics\\" + unitName + ".pcx", Severity::Error));
        Dependency button = file(Kind::BuildButton, "UnitName", unitName,
                                 "anims\\" + unitName + "_gadget.gaf", Severity::Note);
        if (button.state == State::Missing) {
            button.note = "the build menu shows the unit's picture instead";
        }
        root.children.push_back(std::move(button));
    }
    if (modelNode) {
        root.children.push_back(std::move(*modelNode));
    }
    if (const std::string* corpse = given("Corpse")) {
        std::vector<std::string> chain;
        root.children.push_back(feature("Corpse", *corpse, chain));
    }
    if (const std::string* category = given("SoundCategory")) {
        root.children.push_back(soundCategory(*category));
    }
    for (const char* key : {"Weapon1", "Weapon2", "Weapon3", "ExplodeAs", "SelfDestructAs"}) {
        if (const std::string* w = given(key)) {
            root.children.push_back(weapon(key, *w));
        }
    }
    if (const std::string* unitNameValue = given("UnitName")) {
        for (Dependency& menu : buildMenus(plainName(*unitNameValue, "", ""))) {
            root.children.push_back(std::move(menu));
        }
    }
    return root;
}

} // namespace unitcheck
