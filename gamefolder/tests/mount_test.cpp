// Which sources a game folder has and the order they are mounted in.
#include "fixture.hpp"
#include "testsupport/testsupport.hpp"

#include <gtest/gtest.h>

using fixture::holdersOf;
using fixture::mountOrDie;
using fixture::providerOf;
using fixture::writeArchive;
using gamefolder::SourceKind;
using testsupport::TempDir;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> sourceNames(const gamefolder::GameFolder& game) {
    std::vector<std::string> names;
    for (std::uint32_t i = 0; i < game.sources().size(); ++i) {
        names.push_back(game.sourceName(i));
    }
    return names;
}

const gamefolder::Source* sourceNamed(const gamefolder::GameFolder& game, const std::string& n) {
    for (const auto& s : game.sources()) {
        if (s.name == n) {
            return &s;
        }
    }
    return nullptr;
}

} // namespace

TEST(Mount, GroupsInOrderAndNamesWithoutRegardToCase) {
    TempDir dir;
    // Every source holds the same path; each group and name order decides who wins.
    for (const char* name : {"totala.hpi", "Btdata.HPI", "zz.ufo", "AddOn.UFO", "rev31.GP3",
                             "REV2.gp3", "ccdata.ccx", "Aa.CCX"}) {
        writeArchive(dir / name, {{"units\\same.fbi", name}, {std::string("only\\") + name, "x"}});
    }
    testsupport::writeFile(dir / "units" / "SAME.FBI", std::string_view("loose"));
    testsupport::writeFile(dir / "totala.exe", std::string_view("MZ"));
    auto game = mountOrDie(dir.path());

    EXPECT_EQ(sourceNames(game), (std::vector<std::string>{"(loose files)", "REV2.gp3", "rev31.GP3",
                                                           "Aa.CCX", "ccdata.ccx", "AddOn.UFO",
                                                           "zz.ufo", "Btdata.HPI", "totala.hpi"}));
    EXPECT_EQ(game.sources()[1].kind, SourceKind::Patch);
    EXPECT_EQ(game.sources()[3].kind, SourceKind::Expansion);
    EXPECT_EQ(game.sources()[5].kind, SourceKind::AddOn);
    EXPECT_EQ(game.sources()[8].kind, SourceKind::Archive);
    EXPECT_EQ(game.sources()[0].members, 2u); // units\SAME.FBI and totala.exe, not the archives
    EXPECT_EQ(game.sources()[2].members, 2u);
    for (const auto& s : game.sources()) {
        EXPECT_FALSE(s.skipped) << s.name << ": " << s.reason;
    }

    EXPECT_EQ(
        holdersOf(game, "UNITS\\same.FBI"),
        (std::vector<std::string>{"(loose files)", "REV2.gp3", "rev31.GP3", "Aa.CCX", "ccdata.ccx",
                                  "AddOn.UFO", "zz.ufo", "Btdata.HPI", "totala.hpi"}));
    EXPECT_EQ(fixture::contentOf(game, "units\\same.fbi"), "loose");
    EXPECT_EQ(providerOf(game, "only\\zz.ufo"), "zz.ufo");
    EXPECT_EQ(providerOf(game, "totala.exe"), "(loose files)");
    EXPECT_FALSE(game.find("totala.hpi")); // an archive is a source, not a loose member
}

TEST(Mount, ArchivesThatCannotBeMountedAreSkippedWithTheirReason) {
    TempDir dir;
    writeArchive(dir / "good.hpi", {{"a.txt", "good"}});
    writeArchive(dir / "first.ufo", {{"a.txt", "first"}});
    testsupport::writeFile(dir / "broken.ufo", std::string_view("HAPI but nothing else"));
    // A readable archive without the trailer: every tool reads it, the game does not.
    writeArchive(dir / "notrailer.ccx", {{"a.txt", "no trailer"}});
    auto bytes = testsupport::readFile(dir / "notrailer.ccx");
    bytes.resize(bytes.size() - 36);
    testsupport::writeFile(dir / "notrailer.ccx", bytes);
    writeArchive(dir / "patch.gp3", {{"a.txt", "not a rev patch"}});
    writeArchive(dir / "Twin.ufo", {{"twin.txt", "upper"}});
    writeArchive(dir / "twin.ufo", {{"twin.txt", "lower"}});
    fs::create_directory(dir / "folder.hpi");
    auto game = mountOrDie(dir.path());

    auto reason = [&](const char* n) {
        const auto* s = sourceNamed(game, n);
        return s && s->skipped ? s->reason : std::string("(mounted)");
    };
    EXPECT_NE(reason("broken.ufo"), "(mounted)");
    EXPECT_NE(reason("broken.ufo"), "");
    EXPECT_EQ(reason("notrailer.ccx"), "no trailer at its end: the game does not mount it");
    EXPECT_NE(reason("patch.gp3").find("rev"), std::string::npos);
    EXPECT_EQ(reason("Twin.ufo"), "(mounted)");
    EXPECT_NE(reason("twin.ufo").find("only in case"), std::string::npos);
    EXPECT_EQ(reason("folder.hpi"), "not a file");
    EXPECT_EQ(reason("good.hpi"), "(mounted)");
    // The skipped ones provide nothing; mounting went on past them.
    EXPECT_EQ(holdersOf(game, "a.txt"), (std::vector<std::string>{"first.ufo", "good.hpi"}));
    EXPECT_EQ(fixture::contentOf(game, "twin.txt"), "upper");
}

TEST(Mount, LinksAreFollowedOnceAndNeverInACycle) {
    TempDir dir;
    fs::create_directories(dir / "game");
    fs::create_directories(dir / "elsewhere");
    writeArchive(dir / "elsewhere" / "outside.ufo", {{"units\\out.fbi", "outside"}});
    fs::create_symlink(dir / "elsewhere" / "outside.ufo", dir / "game" / "linked.ufo");
    fs::create_symlink(dir / "elsewhere" / "outside.ufo", dir / "game" / "second.ufo");
    fs::create_symlink(dir / "nowhere.hpi", dir / "game" / "dangling.hpi");
    // A loose folder that links back to the game folder.
    fs::create_directories(dir / "game" / "units");
    testsupport::writeFile(dir / "game" / "units" / "loose.fbi", std::string_view("l"));
    fs::create_directory_symlink(dir / "game", dir / "game" / "units" / "loop");
    auto game = mountOrDie(dir / "game");

    EXPECT_EQ(providerOf(game, "units\\out.fbi"), "linked.ufo");
    EXPECT_NE(sourceNamed(game, "second.ufo")->reason.find("same file as linked.ufo"),
              std::string::npos);
    EXPECT_EQ(sourceNamed(game, "dangling.hpi")->reason, "a link to nothing");
    EXPECT_EQ(providerOf(game, "units\\loose.fbi"), "(loose files)");
    EXPECT_FALSE(game.find("units\\loop\\units"));
    bool loopNoted = false;
    for (const auto& p : game.problems()) {
        loopNoted |= p.path == "units/loop";
    }
    EXPECT_TRUE(loopNoted);
}

TEST(Mount, AnUnreadableFolderIsReportedAndTheMountGoesOn) {
    TempDir dir;
    writeArchive(dir / "a.hpi", {{"x.txt", "x"}});
    testsupport::writeFile(dir / "locked" / "secret.txt", std::string_view("s"));
    fs::permissions(dir / "locked", fs::perms::none);
    auto game = mountOrDie(dir.path());
    fs::permissions(dir / "locked", fs::perms::owner_all);
    EXPECT_EQ(providerOf(game, "x.txt"), "a.hpi");
    if (::geteuid() != 0) { // the superuser reads it anyway
        ASSERT_FALSE(game.problems().empty());
        EXPECT_EQ(game.problems()[0].path, "locked");
    }
    EXPECT_FALSE(gamefolder::GameFolder::mount(dir / "missing").ok());
}

TEST(Mount, HundredsOfArchives) {
    TempDir dir;
    writeArchive(dir / "one.ufo", {{"units\\common.fbi", "same everywhere"}});
    for (int i = 0; i < 300; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "pack%03d.ufo", i);
        fs::copy_file(dir / "one.ufo", dir / name);
    }
    fs::remove(dir / "one.ufo");
    auto game = mountOrDie(dir.path());
    EXPECT_EQ(game.sources().size(), 301u);
    EXPECT_EQ(holdersOf(game, "units\\common.fbi").size(), 300u);
    EXPECT_EQ(providerOf(game, "units\\common.fbi"), "pack000.ufo");
    EXPECT_EQ(game.shadowed(true).at(0).differs(), false);
}
