// The merged tree: lookups, listings, clashes, the shadow report, reading
// and extracting through the providing copy.
#include "fixture.hpp"
#include "testsupport/testsupport.hpp"

#include <algorithm>
#include <gtest/gtest.h>

using fixture::contentOf;
using fixture::holdersOf;
using fixture::mountOrDie;
using fixture::providerOf;
using fixture::writeArchive;
using gamefolder::Likeness;
using testsupport::TempDir;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> listing(const gamefolder::GameFolder& game, const std::string& path) {
    std::vector<std::string> names;
    auto node = game.find(path);
    if (!node) {
        return names;
    }
    for (std::uint32_t c : game.children(*node)) {
        names.push_back(std::string(game.nodes()[c].name) +
                        (game.nodes()[c].directory ? "\\" : ""));
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A small game: a stock archive, an expansion and an add-on that shadow parts of it.
struct SmallGame {
    TempDir dir;
    SmallGame() {
        writeArchive(dir / "totala.hpi", {{"units\\ARMCOM.FBI", "stock commander"},
                                          {"units\\armpw.fbi", "stock peewee"},
                                          {"anims\\armcom.gaf", "stock gaf"},
                                          {"scripts\\armcom.cob", "stock script"},
                                          {"sounds\\", ""}});
        writeArchive(dir / "ccdata.ccx", {{"units\\armcom.fbi", "stock commander"},
                                          {"Units\\newunit.fbi", "expansion unit"},
                                          {"scripts", "a file named like a folder"}});
        writeArchive(dir / "mymod.ufo", {{"units\\armcom.fbi", "modded commander!"},
                                         {"UNITS\\ARMPW.FBI", "modded peewee"},
                                         {"anims", "a file that hides a folder"},
                                         {"deep\\a\\b\\c\\deepest.fbi", "deep"}});
    }
};

} // namespace

TEST(Merge, LookupGivesTheProviderAndTheShadowedCopiesWithSizes) {
    SmallGame g;
    auto game = mountOrDie(g.dir.path());
    EXPECT_EQ(holdersOf(game, "units\\armcom.fbi"),
              (std::vector<std::string>{"ccdata.ccx", "mymod.ufo", "totala.hpi"}));
    auto node = game.find("UNITS\\ArmCom.Fbi");
    ASSERT_TRUE(node);
    auto copies = game.copies(*node);
    EXPECT_EQ(copies[0].size, 15u);
    EXPECT_EQ(copies[1].size, 17u);
    EXPECT_EQ(game.nodes()[std::size_t(*node)].name, "armcom.fbi"); // the provider's spelling
    EXPECT_EQ(game.path(*node), "units\\armcom.fbi");
    EXPECT_EQ(providerOf(game, "units\\armpw.fbi"), "mymod.ufo");
    EXPECT_EQ(providerOf(game, "units\\newunit.fbi"), "ccdata.ccx");
    EXPECT_EQ(providerOf(game, "units\\nothing.fbi"), "");
    EXPECT_EQ(game.find(""), std::optional<std::int32_t>(-1));
}

TEST(Merge, ListingAFolderMergesEverySource) {
    SmallGame g;
    auto game = mountOrDie(g.dir.path());
    EXPECT_EQ(listing(game, "units"),
              (std::vector<std::string>{"ARMPW.FBI", "armcom.fbi", "newunit.fbi"}));
    EXPECT_EQ(listing(game, ""),
              (std::vector<std::string>{"anims", "deep\\", "scripts", "sounds\\", "units\\"}));
    EXPECT_EQ(listing(game, "deep\\A\\b\\C"), (std::vector<std::string>{"deepest.fbi"}));
}

TEST(Merge, AFileAndAFolderAtOnePathTheEarlierSourceWins) {
    SmallGame g;
    auto game = mountOrDie(g.dir.path());
    // ccdata.ccx holds a file "scripts" before totala.hpi's folder: the file wins
    // and the folder's members are out of reach.
    auto scripts = game.find("scripts");
    ASSERT_TRUE(scripts);
    const auto& node = game.nodes()[std::size_t(*scripts)];
    EXPECT_FALSE(node.directory);
    EXPECT_TRUE(node.clash);
    EXPECT_FALSE(game.find("scripts\\armcom.cob"));
    EXPECT_EQ(contentOf(game, "scripts"), "a file named like a folder");
    // mymod.ufo's file "anims" comes after the expansion but before totala.hpi.
    EXPECT_FALSE(game.find("anims\\armcom.gaf"));
    int clashes = 0;
    for (const auto& p : game.problems()) {
        if (p.path == "scripts" || p.path == "anims") {
            ++clashes;
            EXPECT_NE(p.what.find("wins"), std::string::npos) << p.what;
        }
    }
    EXPECT_EQ(clashes, 2);
}

TEST(Merge, ShadowReportComparesSizesThenBytes) {
    TempDir dir;
    writeArchive(dir / "a.ufo", {{"same.txt", "identical"},
                                 {"samesize.txt", "abcdefgh"},
                                 {"longer.txt", "short"},
                                 {"units\\", ""}});
    writeArchive(dir / "b.hpi", {{"same.txt", "identical"},
                                 {"samesize.txt", "abcdefgX"},
                                 {"longer.txt", "much longer"},
                                 {"units\\only.fbi", "u"}});
    auto game = mountOrDie(dir.path());

    auto quick = game.shadowed(false);
    ASSERT_EQ(quick.size(), 3u); // a folder in both sources merges, it does not shadow
    for (const auto& s : quick) {
        EXPECT_EQ(s.likeness, (std::vector<Likeness>{Likeness::Same, Likeness::NotCompared}));
    }
    auto full = game.shadowed(true);
    ASSERT_EQ(full.size(), 3u);
    std::map<std::string, bool> differs;
    for (const auto& s : full) {
        differs[s.path] = s.differs();
    }
    EXPECT_EQ(differs, (std::map<std::string, bool>{
                           {"same.txt", false}, {"samesize.txt", true}, {"longer.txt", true}}));
}

TEST(Merge, ReadingAndExtractingTakeTheProvidingCopy) {
    SmallGame g;
    testsupport::writeFile(g.dir / "units" / "ARMPW.fbi", std::string_view("loose peewee"));
    auto game = mountOrDie(g.dir.path());
    EXPECT_EQ(contentOf(game, "units\\armcom.fbi"), "stock commander");
    EXPECT_EQ(contentOf(game, "units\\armpw.fbi"), "loose peewee");
    auto node = game.find("units\\armcom.fbi");
    std::string shadowedBytes;
    ASSERT_TRUE(game.readCopy(game.copies(*node)[1],
                              [&](std::span<const std::uint8_t> b) -> hpiutil::Status {
                                  shadowedBytes.append(b.begin(), b.end());
                                  return {};
                              })
                    .ok());
    EXPECT_EQ(shadowedBytes, "modded commander!");
    EXPECT_FALSE(game.read(*game.find("units"), [](auto) { return hpiutil::Status(); }).ok());

    TempDir out;
    auto summary = game.extract(out.path());
    EXPECT_TRUE(summary.failures.empty());
    EXPECT_EQ(summary.filesWritten, 6u);
    auto text = [&](const char* rel) {
        auto b = testsupport::readFile(out / rel);
        return std::string(b.begin(), b.end());
    };
    EXPECT_EQ(text("units/armcom.fbi"), "stock commander");
    EXPECT_EQ(text("units/ARMPW.fbi"), "loose peewee");
    EXPECT_EQ(text("anims"), "a file that hides a folder");
    EXPECT_EQ(text("deep/a/b/c/deepest.fbi"), "deep");
    EXPECT_TRUE(fs::is_directory(out / "sounds"));

    TempDir some;
    const std::int32_t roots[] = {*game.find("deep\\a"), *game.find("units\\armpw.fbi")};
    summary = game.extract(some.path(), roots);
    EXPECT_EQ(summary.filesWritten, 2u);
    EXPECT_TRUE(fs::exists(some / "deep/a/b/c/deepest.fbi"));
    EXPECT_TRUE(fs::exists(some / "units/ARMPW.fbi"));
    EXPECT_FALSE(fs::exists(some / "units/armcom.fbi"));
}

TEST(Merge, TwoEntriesOfOneNameInOneArchiveTheFirstWins) {
    TempDir dir;
    // Written with two names, then the second renamed to the first in another case.
    writeArchive(dir / "dup.ufo", {{"dup\\aa.txt", "first"}, {"dup\\ab.txt", "second"}});
    auto bytes = testsupport::readFile(dir / "dup.ufo");
    const std::string text(bytes.begin(), bytes.end());
    const auto at = text.find("ab.txt");
    ASSERT_NE(at, std::string::npos);
    bytes[at] = 'A';
    bytes[at + 1] = 'A';
    testsupport::writeFile(dir / "dup.ufo", bytes);
    {
        auto game = mountOrDie(dir.path());
        EXPECT_EQ(contentOf(game, "DUP\\aa.TXT"), "first");
    }
    // Once a second source shares the folder, it is looked up another way: same answer.
    writeArchive(dir / "later.ufo", {{"dup\\other.txt", "o"}});
    auto game = mountOrDie(dir.path());
    EXPECT_EQ(contentOf(game, "dup\\AA.txt"), "first");
    EXPECT_EQ(providerOf(game, "dup\\other.txt"), "later.ufo");
}
