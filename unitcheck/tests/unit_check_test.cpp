// The unit check over made units: a complete unit, each file taken away in
// turn, damaged names, cycles, shadows, and the three kinds of place.
#include "unit_fixture.hpp"

#include "gamefolder/game_folder.hpp"
#include "testsupport/testsupport.hpp"
#include "unitcheck/unit_check.hpp"

#include <gtest/gtest.h>
#include <set>

namespace {

using unitcheck::Dependency;
using unitcheck::Kind;
using unitcheck::Severity;
using unitcheck::State;
using unitfixture::Members;

// Every node, depth first.
void walk(const Dependency& node, std::vector<const Dependency*>& out) {
    out.push_back(&node);
    for (const Dependency& child : node.children) {
        walk(child, out);
    }
}

std::vector<const Dependency*> nodes(const unitcheck::UnitReport& report) {
    std::vector<const Dependency*> out;
    walk(report.root, out);
    return out;
}

// The paths looked for of the nodes of that severity, once each.
std::set<std::string> looked(const unitcheck::UnitReport& report, Severity severity) {
    std::set<std::string> out;
    for (const Dependency* n : nodes(report)) {
        if (n->severity == severity) {
            out.insert(n->looked);
        }
    }
    return out;
}

const Dependency* findNode(const unitcheck::UnitReport& report, Kind kind, std::string_view name) {
    for (const Dependency* n : nodes(report)) {
        if (n->kind == kind && n->name == name) {
            return n;
        }
    }
    return nullptr;
}

Members completeUnit() {
    Members m;
    unitfixture::addUnit(m, "ARMFIX");
    return m;
}

unitcheck::UnitReport checkArchive(const testsupport::TempDir& dir, const Members& members,
                                   const std::string& unit = "ARMFIX") {
    const auto path = dir / "unit.ufo";
    EXPECT_TRUE(unitfixture::writeArchive(path, members));
    unitcheck::UnitCheck check;
    auto st = check.addArchive(path);
    EXPECT_TRUE(st.ok()) << st.error().message();
    return check.check(unit);
}

TEST(UnitCheck, CompleteUnitHasEverythingFound) {
    testsupport::TempDir dir;
    const auto report = checkArchive(dir, completeUnit());
    EXPECT_FALSE(report.anyMissing()) << unitcheck::renderText(report);
    EXPECT_EQ(report.warnings, 0) << unitcheck::renderText(report);
    EXPECT_EQ(report.notes, 0) << unitcheck::renderText(report);
    EXPECT_EQ(report.unit, "ARMFIX");
    // Each rule's node is there, found in the archive.
    for (auto [kind, name] :
         std::vector<std::pair<Kind, std::string>>{{Kind::Script, "ARMFIX"},
                                                   {Kind::Picture, "ARMFIX"},
                                                   {Kind::BuildButton, "ARMFIX"},
                                                   {Kind::Model, "ARMFIX"},
                                                   {Kind::Texture, "ARMFIXtex2"},
                                                   {Kind::Piece, "flare"},
                                                   {Kind::Feature, "ARMFIX_heap"},
                                                   {Kind::Model, "ARMFIX_heap"},
                                                   {Kind::SoundCategory, "ARMFIX_SOUND"},
                                                   {Kind::Sound, "ARMFIXok"},
                                                   {Kind::Weapon, "ARMFIX_BLAST"},
                                                   {Kind::Model, "ARMFIXshot"},
                                                   {Kind::Sound, "ARMFIXhit"},
                                                   {Kind::ExplosionAnimation, "ARMFIXfx"},
                                                   {Kind::ExplosionArt, "splash"},
                                                   {Kind::BuildMenu, "ARMCOM"}}) {
        const Dependency* n = findNode(report, kind, name);
        ASSERT_NE(n, nullptr) << unitcheck::kindName(kind) << " " << name;
        EXPECT_EQ(n->state, State::Found) << name;
        EXPECT_EQ(n->source, "unit.ufo") << name;
        EXPECT_EQ(n->place, 0) << name;
    }
    EXPECT_EQ(findNode(report, Kind::Texture, "ARMFIXtex1")->member, "textures\\ARMFIX.gaf");
    EXPECT_EQ(findNode(report, Kind::Weapon, "ARMFIX_LASER")->member, "weapons\\ARMFIX.tdf");
    // An empty value (Weapon2=;) means none and is not checked.
    for (const Dependency* n : nodes(report)) {
        EXPECT_NE(n->role, "Weapon2");
    }
}

// Each file taken away is reported missing, exactly it (and what only it names).
TEST(UnitCheck, EachFileRemovedIsReportedMissingExactly) {
    const std::vector<std::pair<std::string, std::set<std::string>>> cases = {
        {"scripts\\ARMFIX.cob", {"scripts\\ARMFIX.cob"}},
        {"unitpics\\ARMFIX.pcx", {"unitpics\\ARMFIX.pcx"}},
        {"objects3d\\ARMFIX.3do", {"objects3d\\ARMFIX.3do"}},
        {"textures\\ARMFIX.gaf", {"textures\\*.gaf: ARMFIXtex1", "textures\\*.gaf: ARMFIXtex2"}},
        {"features\\corpses\\ARMFIX_dead.tdf", {"features\\**\\*.tdf [ARMFIX_dead]"}},
        {"objects3d\\ARMFIX_dead.3do", {"objects3d\\ARMFIX_dead.3do"}},
        {"objects3d\\ARMFIX_heap.3do", {"objects3d\\ARMFIX_heap.3do"}},
        {"gamedata\\sound.tdf", {"gamedata\\sound.tdf [ARMFIX_SOUND]"}},
        {"sounds\\ARMFIXsel.wav", {"sounds\\ARMFIXsel.wav"}},
        {"sounds\\ARMFIXok.wav", {"sounds\\ARMFIXok.wav"}},
        {"sounds\\ARMFIXfire.wav", {"sounds\\ARMFIXfire.wav"}},
        {"sounds\\ARMFIXhit.wav", {"sounds\\ARMFIXhit.wav"}},
        {"weapons\\ARMFIX.tdf", {"weapons\\*.tdf [ARMFIX_LASER]", "weapons\\*.tdf [ARMFIX_BLAST]"}},
        {"objects3d\\ARMFIXshot.3do", {"objects3d\\ARMFIXshot.3do"}},
        {"anims\\ARMFIXfx.gaf", {"anims\\ARMFIXfx.gaf"}},
        {"units\\ARMFIX.fbi", {"units\\ARMFIX.fbi"}},
    };
    for (const auto& [removed, expected] : cases) {
        testsupport::TempDir dir;
        Members m = completeUnit();
        ASSERT_EQ(m.erase(removed), 1u) << removed;
        const auto report = checkArchive(dir, m);
        EXPECT_EQ(looked(report, Severity::Error), expected) << "without " << removed << "\n"
                                                             << unitcheck::renderText(report);
        EXPECT_TRUE(report.anyMissing());
    }
}

// Files the game can do without: the build button is a note, the build menu a warning.
TEST(UnitCheck, OptionalFilesAreNotesAndWarningsNotMissing) {
    testsupport::TempDir dir;
    Members m = completeUnit();
    m.erase("anims\\ARMFIX_gadget.gaf");
    m.erase("download\\ARMFIX.tdf");
    const auto report = checkArchive(dir, m);
    EXPECT_FALSE(report.anyMissing()) << unitcheck::renderText(report);
    EXPECT_EQ(looked(report, Severity::Note), std::set<std::string>{"anims\\ARMFIX_gadget.gaf"});
    ASSERT_EQ(report.warnings, 1);
    const Dependency* menu = findNode(report, Kind::BuildMenu, "ARMFIX");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->state, State::Missing);
    EXPECT_EQ(menu->severity, Severity::Warning);
}

TEST(UnitCheck, TextureAndExplosionEntriesAreLookedUpByName) {
    testsupport::TempDir dir;
    Members m = completeUnit();
    m["textures\\ARMFIX.gaf"] = unitfixture::makeGaf({"armfixTEX1", "other"});
    m["anims\\ARMFIXfx.gaf"] = unitfixture::makeGaf({"BLAST"});
    const auto report = checkArchive(dir, m);
    EXPECT_EQ(looked(report, Severity::Error),
              (std::set<std::string>{"textures\\*.gaf: ARMFIXtex2", "anims\\ARMFIXfx.gaf: splash"}))
        << unitcheck::renderText(report);
}

// A weapon naming a waterexplosiongaf of its own takes its water explosion from it.
TEST(UnitCheck, WaterExplosionFromItsOwnGaf) {
    testsupport::TempDir dir;
    Members m = completeUnit();
    m["weapons\\ARMFIX.tdf"] = "[ARMFIX_LASER]{explosiongaf=ARMFIXfx;explosionart=blast;"
                               "waterexplosiongaf=water;waterexplosionart=bubbles;}"
                               "[ARMFIX_BLAST]{waterexplosiongaf=water;waterexplosionart=foam;}";
    m["anims\\water.gaf"] = unitfixture::makeGaf({"BUBBLES"});
    const auto report = checkArchive(dir, m);
    EXPECT_EQ(looked(report, Severity::Error), std::set<std::string>{"anims\\water.gaf: foam"})
        << unitcheck::renderText(report);
    const Dependency* bubbles = findNode(report, Kind::ExplosionArt, "bubbles");
    ASSERT_NE(bubbles, nullptr);
    EXPECT_EQ(bubbles->member, "anims\\water.gaf");
}

TEST(UnitCheck, ScriptPiecesAreCheckedAgainstTheModel) {
    testsupport::TempDir dir;
    Members m = completeUnit();
    m["scripts\\ARMFIX.cob"] = unitfixture::makeCob({"BASE", "rblink0", "Turret"});
    const auto report = checkArchive(dir, m);
    EXPECT_EQ(looked(report, Severity::Error),
              std::set<std::string>{"objects3d\\ARMFIX.3do piece: rblink0"});
    const Dependency* unused = findNode(report, Kind::Piece, "flare");
    ASSERT_NE(unused, nullptr);
    EXPECT_EQ(unused->state, State::Unused);
    EXPECT_EQ(unused->severity, Severity::Note);
    EXPECT_EQ(findNode(report, Kind::Piece, "BASE")->state, State::Found);

    // Without a model, the pieces are not checked (and not reported missing).
    m.erase("objects3d\\ARMFIX.3do");
    const auto noModel = checkArchive(dir, m);
    EXPECT_EQ(looked(noModel, Severity::Error), std::set<std::string>{"objects3d\\ARMFIX.3do"});
}

TEST(UnitCheck, BrokenFilesAreUnreadableNotFatal) {
    testsupport::TempDir dir;
    Members m = completeUnit();
    m["scripts\\ARMFIX.cob"] = "COB";
    m["objects3d\\ARMFIXshot.3do"] = "tiny";
    const auto report = checkArchive(dir, m);
    EXPECT_EQ(findNode(report, Kind::Script, "ARMFIX")->state, State::Unreadable);
    EXPECT_EQ(findNode(report, Kind::Model, "ARMFIXshot")->state, State::Unreadable);
    EXPECT_EQ(report.missing, 2) << unitcheck::renderText(report);

    m["units\\ARMFIX.fbi"] = "[NOTUNITINFO] { a=b; }";
    const auto noInfo = checkArchive(dir, m);
    EXPECT_EQ(noInfo.root.state, State::Unreadable);
    EXPECT_TRUE(noInfo.anyMissing());
}

TEST(UnitCheck, CorpseChainCycleIsReportedAndEnds) {
    testsupport::TempDir dir;
    Members m = completeUnit();
    m["features\\corpses\\ARMFIX_dead.tdf"] =
        "[ARMFIX_dead]{object=ARMFIX_dead;featuredead=ARMFIX_heap;}\n"
        "[ARMFIX_heap]{object=ARMFIX_heap;featuredead=armfix_DEAD;}\n";
    const auto report = checkArchive(dir, m);
    EXPECT_FALSE(report.anyMissing()) << unitcheck::renderText(report);
    ASSERT_EQ(report.warnings, 1);
    const Dependency* cycle = findNode(report, Kind::Feature, "armfix_DEAD");
    ASSERT_NE(cycle, nullptr);
    EXPECT_EQ(cycle->state, State::Cycle);
    EXPECT_TRUE(cycle->children.empty());
}

TEST(UnitCheck, WeaponInASecondFileAndFeatureInASubfolder) {
    testsupport::TempDir dir;
    Members m = completeUnit();
    m["weapons\\ARMFIX.tdf"] = "[ARMFIX_LASER]{model=ARMFIXshot;soundstart=ARMFIXfire;"
                               "soundhit=ARMFIXhit;explosiongaf=ARMFIXfx;explosionart=blast;}";
    m["weapons\\more_weapons.tdf"] = "// explosions\n[ARMFIX_BLAST]{explosiongaf=ARMFIXfx;}";
    m["features\\all worlds\\corpses\\wrecks.tdf"] = m["features\\corpses\\ARMFIX_dead.tdf"];
    m.erase("features\\corpses\\ARMFIX_dead.tdf");
    const auto report = checkArchive(dir, m);
    EXPECT_FALSE(report.anyMissing()) << unitcheck::renderText(report);
    EXPECT_EQ(findNode(report, Kind::Weapon, "ARMFIX_BLAST")->member, "weapons\\more_weapons.tdf");
    EXPECT_EQ(findNode(report, Kind::Feature, "ARMFIX_dead")->member,
              "features\\all worlds\\corpses\\wrecks.tdf");
}

TEST(UnitCheck, NamesInMixedCaseWithFoldersAndExtensions) {
    testsupport::TempDir dir;
    Members m = completeUnit();
    m["units\\ARMFIX.fbi"] = "/* a definition\n   in mixed case */\n[unitinfo]\n{\n"
                             "unitname = armfix ;  // the name\n"
                             "OBJECTNAME=Objects3d\\ArmFix.3DO;\ncorpse=armfix_DEAD;\n"
                             "soundcategory=armfix_sound;\nWEAPON1=armfix_laser;\n"
                             "explodeas=ARMFIX_blast;\nselfdestructas=ARMFIX_BLAST;\n}\n";
    m["weapons\\ARMFIX.tdf"] =
        "[ARMFIX_LASER]{MODEL=objects3d\\armfixSHOT;SoundStart=sounds\\ARMFIXFIRE.WAV;"
        "SOUNDHIT=armfixhit.wav;ExplosionGaf=anims\\armfixfx.gaf;ExplosionArt=BLAST;}"
        "[ARMFIX_BLAST]{explosiongaf=ARMFIXfx;}";
    const auto report = checkArchive(dir, m, "units\\armfix.FBI");
    EXPECT_FALSE(report.anyMissing()) << unitcheck::renderText(report);
    EXPECT_EQ(report.unit, "ARMFIX");
    const Dependency* model = findNode(report, Kind::Model, "ArmFix");
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->looked, "objects3d\\ArmFix.3do");
    EXPECT_EQ(model->member, "objects3d\\ARMFIX.3do");
}

// The game's text is Windows-1252: a name with a letter beyond ASCII matches
// in any case, and names the file whose UTF-8 member name spells it.
TEST(UnitCheck, NamesBeyondAsciiAreWindows1252) {
    testsupport::TempDir dir;
    Members m = completeUnit();
    m["units\\ARMFIX.fbi"] = "[UNITINFO]{UnitName=ARMFIX;Weapon1=ARMFIX_L\xC4SER;}";
    m["weapons\\ARMFIX.tdf"] = "[armfix_l\xE4ser]{soundstart=\xC9"
                               "clat;}";
    m["sounds\\\xC3\x89"
      "clat.wav"] = "RIFF";
    m["download\\ARMFIX.tdf"] = "[MENUENTRY1]{UNITMENU=ARMCOM;UNITNAME=ARMFIX;}";
    const auto report = checkArchive(dir, m);
    EXPECT_FALSE(report.anyMissing()) << unitcheck::renderText(report);
    const Dependency* weapon = findNode(report, Kind::Weapon, "ARMFIX_L\xC3\x84SER");
    ASSERT_NE(weapon, nullptr) << unitcheck::renderText(report);
    EXPECT_EQ(weapon->state, State::Found);
    ASSERT_EQ(weapon->children.size(), 1u);
    EXPECT_EQ(weapon->children[0].member, "sounds\\\xC3\x89"
                                          "clat.wav");
}

// A later archive of the game folder holding the script (or a texture file)
// changes nothing: the first one provides it, and the report names both.
TEST(UnitCheck, ShadowedScriptInALaterArchive) {
    testsupport::TempDir dir;
    ASSERT_TRUE(unitfixture::writeArchive(dir / "armfix.ufo", completeUnit()));
    ASSERT_TRUE(unitfixture::writeArchive(
        dir / "zzpatch.ufo", {{"scripts\\armfix.COB", unitfixture::makeCob({"base"})},
                              {"textures\\armfix.gaf", unitfixture::makeGaf({"ARMFIXtex2"})}}));
    auto game = gamefolder::GameFolder::mount(dir.path());
    ASSERT_TRUE(game.ok());
    unitcheck::UnitCheck check;
    check.addGameFolder(std::make_shared<const gamefolder::GameFolder>(std::move(*game)));
    const auto report = check.check("armfix");
    EXPECT_FALSE(report.anyMissing()) << unitcheck::renderText(report);
    // The script, and the four uses of the textures the shadowed GAF holds.
    EXPECT_EQ(report.shadowed, 5);
    const Dependency* texture = findNode(report, Kind::Texture, "ARMFIXtex2");
    EXPECT_EQ(texture->state, State::Shadowed);
    EXPECT_EQ(texture->source, "armfix.ufo");
    EXPECT_EQ(texture->member, "textures\\ARMFIX.gaf");
    EXPECT_EQ(texture->shadowedBy, std::vector<std::string>{"zzpatch.ufo"});
    const Dependency* script = findNode(report, Kind::Script, "ARMFIX");
    EXPECT_EQ(script->state, State::Shadowed);
    EXPECT_EQ(script->source, "armfix.ufo");
    EXPECT_EQ(script->shadowedBy, std::vector<std::string>{"zzpatch.ufo"});
    EXPECT_NE(unitcheck::renderText(report).find("also in zzpatch.ufo"), std::string::npos);
}

// A menu page of a builder (guis\<builder><page>.gui) listing the unit as a gadget.
TEST(UnitCheck, BuildMenuFromAGuiPage) {
    testsupport::TempDir dir;
    Members m = completeUnit();
    m.erase("download\\ARMFIX.tdf");
    m["guis\\ARMLAB2.GUI"] = "[GADGET0]{[COMMON]{ID=0;name=ARMLAB2;}}\n"
                             "[GADGET1]{[COMMON]{ID=12;name=armfix;}}\n"
                             "[GADGET2]{[COMMON]{ID=12;name=OTHER;}}";
    const auto report = checkArchive(dir, m);
    EXPECT_EQ(report.warnings, 0) << unitcheck::renderText(report);
    const Dependency* menu = findNode(report, Kind::BuildMenu, "ARMLAB");
    ASSERT_NE(menu, nullptr) << unitcheck::renderText(report);
    EXPECT_EQ(menu->state, State::Found);
    EXPECT_EQ(menu->looked, "guis\\ARMLAB2.GUI [GADGET1]");
}

// The real armmav script and model in a unit: every piece the script names
// is in the model, and the model's groundx2 is the one piece it never names.
TEST(UnitCheck, RealArmmavScriptAgainstItsModel) {
    const auto cob = testsupport::realFile("cob/armmav.cob");
    const auto model = testsupport::realFile("3do/armmav.3do");
    if (!cob || !model) {
        GTEST_SKIP() << "real files not present";
    }
    auto text = [](const std::filesystem::path& p) {
        const auto bytes = testsupport::readFile(p);
        return std::string(bytes.begin(), bytes.end());
    };
    testsupport::TempDir dir;
    const auto report =
        checkArchive(dir,
                     {{"units\\ARMMAV.FBI", "[UNITINFO]{UnitName=ARMMAV;Objectname=ARMMAV;}"},
                      {"scripts\\ARMMAV.COB", text(*cob)},
                      {"objects3d\\ARMMAV.3DO", text(*model)}},
                     "armmav");
    const Dependency* script = findNode(report, Kind::Script, "ARMMAV");
    ASSERT_NE(script, nullptr);
    std::vector<std::string> found, unused;
    for (const Dependency& piece : script->children) {
        (piece.state == State::Unused ? unused : found).push_back(piece.name);
        EXPECT_NE(piece.state, State::Missing) << piece.name;
    }
    EXPECT_EQ(found.size(), 25u);
    EXPECT_EQ(unused, std::vector<std::string>{"groundx2"});
}

// The window's case: the open archive first, the game folder for the rest.
TEST(UnitCheck, ArchiveFirstThenGameFolder) {
    testsupport::TempDir dir;
    Members unit = completeUnit(), base;
    for (const char* shared : {"textures\\ARMFIX.gaf", "gamedata\\sound.tdf", "anims\\ARMFIXfx.gaf",
                               "download\\ARMFIX.tdf"}) {
        base[shared] = unit[shared];
        unit.erase(shared);
    }
    std::filesystem::create_directory(dir / "game");
    ASSERT_TRUE(unitfixture::writeArchive(dir / "game" / "totala1.hpi", base));
    ASSERT_TRUE(unitfixture::writeArchive(dir / "mine.ufo", unit));
    unitcheck::UnitCheck check;
    ASSERT_TRUE(check.addArchive(dir / "mine.ufo").ok());
    auto game = gamefolder::GameFolder::mount(dir / "game");
    ASSERT_TRUE(game.ok());
    check.addGameFolder(std::make_shared<const gamefolder::GameFolder>(std::move(*game)));
    const auto report = check.check("ARMFIX");
    EXPECT_FALSE(report.anyMissing()) << unitcheck::renderText(report);
    const Dependency* texture = findNode(report, Kind::Texture, "ARMFIXtex1");
    EXPECT_EQ(texture->place, 1);
    EXPECT_EQ(texture->source, "totala1.hpi");
    EXPECT_EQ(texture->member, "textures\\ARMFIX.gaf");
    const Dependency* script = findNode(report, Kind::Script, "ARMFIX");
    EXPECT_EQ(script->place, 0);
    auto bytes = check.readMember(script->place, script->member);
    ASSERT_TRUE(bytes.ok());
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()),
              unitfixture::makeCob(unitfixture::ModelPieces));
}

TEST(UnitCheck, UnpackedFolderAndAllUnits) {
    testsupport::TempDir dir;
    Members m;
    unitfixture::addUnit(m, "ARMONE");
    unitfixture::addUnit(m, "CORTWO");
    m.erase("unitpics\\CORTWO.pcx");
    m["units\\ARMONE.FBI"] = m["units\\ARMONE.fbi"];
    m.erase("units\\ARMONE.fbi");
    ASSERT_TRUE(unitfixture::writeFolder(dir / "mod", m));
    unitcheck::UnitCheck check;
    ASSERT_TRUE(check.addFolder(dir / "mod").ok());
    EXPECT_EQ(check.units(), (std::vector<std::string>{"ARMONE", "CORTWO"}));
    const auto reports = check.checkAll();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_FALSE(reports[0].anyMissing()) << unitcheck::renderText(reports[0]);
    EXPECT_EQ(looked(reports[1], Severity::Error), std::set<std::string>{"unitpics\\CORTWO.pcx"});
    EXPECT_EQ(check.check("nosuchunit").root.state, State::Missing);

    // A file of the folder that is a link to one elsewhere is found where the link is.
    std::filesystem::rename(dir / "mod" / "unitpics" / "ARMONE.pcx", dir / "elsewhere.pcx");
    std::filesystem::create_symlink(dir / "elsewhere.pcx", dir / "mod" / "unitpics" / "ARMONE.pcx");
    unitcheck::UnitCheck linked;
    ASSERT_TRUE(linked.addFolder(dir / "mod").ok());
    EXPECT_FALSE(linked.check("ARMONE").anyMissing());
    EXPECT_FALSE(check.addFolder(dir / "absent").ok());
}

TEST(UnitCheck, ReportsNameEveryNode) {
    testsupport::TempDir dir;
    Members m = completeUnit();
    m.erase("sounds\\ARMFIXok.wav");
    const auto report = checkArchive(dir, m);
    const std::string text = unitcheck::renderText(report);
    EXPECT_NE(text.find("MISSING        sound (ok1) ARMFIXok  sounds\\ARMFIXok.wav\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("ARMFIX: " + std::to_string(report.found) +
                        " found, 1 missing, "
                        "0 warnings, 0 notes\n"),
              std::string::npos)
        << text;
    const std::string json = unitcheck::renderJson({report});
    EXPECT_NE(json.find("\"name\":\"ARMFIXok\",\"looked\":\"sounds\\\\ARMFIXok.wav\","
                        "\"state\":\"missing\",\"severity\":\"error\""),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("{\"unit\":\"ARMFIX\",\"found\":"), std::string::npos);
}

} // namespace
