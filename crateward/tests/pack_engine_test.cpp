// The packing engine: walk order, names inside the archive, what is left
// out, emptying a tree, the progress callback's text, and the unit gathering.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "hpiutil/archive.hpp"
#include "hpiutil/hpiutil.h"
#include "hpiutil/writer.hpp"
#include "pack_engine.hpp"
#include "testsupport/testsupport.hpp"
#include "unit_pieces.hpp"

namespace crateward::packing {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> archiveFiles(const fs::path& archive) {
    auto opened = hpiutil::Archive::open(archive);
    EXPECT_TRUE(opened) << archive;
    std::vector<std::string> out;
    if (opened) {
        for (const auto& e : opened->entries()) {
            if (!e.directory) {
                out.push_back(e.path);
            }
        }
    }
    return out;
}

// Packs `root` (as given) into `target` through the engine.
bool packTree(const std::string& root, const fs::path& target) {
    PackHandle = HPICreate(target.c_str(), &PackProgress);
    EXPECT_NE(PackHandle, 0);
    PackRoot = root;
    EXPECT_FALSE(WalkDirectory(root, "*.*", kAddMode));
    return PackArchive(0);
}

class Engine : public ::testing::Test {
protected:
    void SetUp() override {
        tree_ = dir_ / "tree";
        testsupport::writeFile(tree_ / "z.txt", "z");
        testsupport::writeFile(tree_ / "a.txt", "a");
        testsupport::writeFile(tree_ / ".hidden", "h");
        testsupport::writeFile(tree_ / "sub" / "b.txt", "b");
        testsupport::writeFile(tree_ / "sub" / ".secret" / "x.txt", "x");
        testsupport::writeFile(tree_ / "sub" / "deep" / "c.txt", "c");
        testsupport::writeFile(tree_ / "other" / "d.txt", "d");
        fs::create_directories(tree_ / "empty" / "emptier");
        fs::create_symlink(tree_ / "a.txt", tree_ / "link.txt");
        fs::create_directory_symlink(tree_, tree_ / "sub" / "loop");
    }
    void TearDown() override {
        SetAddFailureHandler({});
        SetEventPump({});
        BindProgress({});
        SetPackArchiveFunction(nullptr);
    }
    testsupport::TempDir dir_;
    fs::path tree_;
};

TEST_F(Engine, WalksFilesBeforeSubdirectoriesDepthFirstSkippingHiddenAndLinks) {
    // With no archive under way every add is refused, which reports each
    // file in walk order.
    std::vector<std::string> seen;
    SetAddFailureHandler([&](const std::string& p) { seen.push_back(p); });
    int pumps = 0;
    SetEventPump([&] { ++pumps; });
    PackHandle = 0;
    PackRoot = tree_.string();
    // A folder of the user's own: its hidden files are left out and counted.
    EXPECT_FALSE(WalkDirectory(tree_.string(), "*.*", kAddMode, HiddenFiles::LeaveOut));
    EXPECT_EQ(LeftOutHiddenFiles(), 1u);
    const std::string t = tree_.string() + "/";
    EXPECT_EQ(seen, (std::vector<std::string>{t + "a.txt", t + "z.txt", t + "other/d.txt",
                                              t + "sub/b.txt", t + "sub/.secret/x.txt",
                                              t + "sub/deep/c.txt"}));
    // One pump per directory entered: tree, empty, emptier, other, sub,
    // .secret, deep.
    EXPECT_EQ(pumps, 7);

    // A folder Crateward unpacked: every member goes back, ".hidden" too.
    seen.clear();
    EXPECT_FALSE(WalkDirectory(tree_.string(), "*.*", kAddMode));
    EXPECT_EQ(LeftOutHiddenFiles(), 0u);
    EXPECT_EQ(seen.front(), t + ".hidden");
    EXPECT_EQ(seen.size(), 7u);
}

TEST_F(Engine, RootWithOrWithoutFinalSeparatorGivesTheSameRelativeNames) {
    const fs::path one = dir_ / "one.hpi";
    const fs::path two = dir_ / "two.hpi";
    ASSERT_TRUE(packTree(tree_.string(), one));
    ASSERT_TRUE(packTree(tree_.string() + "/", two));
    const auto names = archiveFiles(one);
    EXPECT_EQ(names, archiveFiles(two));
    std::vector<std::string> sorted = names;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted,
              (std::vector<std::string>{".hidden", "a.txt", "other\\d.txt", "sub\\.secret\\x.txt",
                                        "sub\\b.txt", "sub\\deep\\c.txt", "z.txt"}));
    EXPECT_EQ(ArchiveNameOf(tree_.string() + "/sub/", "b.txt"), "sub\\b.txt");
}

TEST_F(Engine, EmptyTreeGivesAnArchiveWithoutFiles) {
    fs::create_directories(dir_ / "bare" / "a" / "b");
    const fs::path target = dir_ / "bare.hpi";
    ASSERT_TRUE(packTree((dir_ / "bare").string(), target));
    EXPECT_TRUE(archiveFiles(target).empty());
}

TEST_F(Engine, EmptyDirectoryLeavesNoSubdirectoryAndRemovesThePathWhenAsked) {
    const fs::path deep = dir_ / "w";
    testsupport::writeFile(deep / "1" / "2" / "3" / "4" / "f.txt", "f");
    testsupport::writeFile(deep / "1" / "g.txt", "g");
    testsupport::writeFile(deep / "top.txt", "t");
    EXPECT_FALSE(EmptyDirectory(deep.string(), false));
    ASSERT_TRUE(fs::is_directory(deep));
    EXPECT_TRUE(fs::is_empty(deep));
    testsupport::writeFile(deep / "1" / "2" / "3" / "4" / "f.txt", "f");
    EXPECT_FALSE(EmptyDirectory(deep.string() + "/", true));
    EXPECT_FALSE(fs::exists(deep));
    // The walk in delete mode never follows a link out of the tree.
    testsupport::writeFile(dir_ / "keep" / "k.txt", "k");
    fs::create_directories(deep);
    fs::create_directory_symlink(dir_ / "keep", deep / "link");
    EmptyDirectory(deep.string(), true);
    EXPECT_TRUE(fs::exists(dir_ / "keep" / "k.txt"));
}

TEST_F(Engine, FailedPackLeavesTheTargetByteIdentical) {
    const fs::path target = dir_ / "old.hpi";
    testsupport::writeFile(target, "old archive bytes");
    SetPackArchiveFunction([](std::int32_t pack, std::int32_t) { return HPIPackArchive(pack, 9); });
    EXPECT_FALSE(packTree(tree_.string(), target));
    EXPECT_EQ(testsupport::readFile(target), testsupport::readFile(target)); // readable
    const auto bytes = testsupport::readFile(target);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "old archive bytes");
    EXPECT_EQ(PackHandle, 0);
}

TEST(TextFromCString, StopsAtTheNulOrAfter256Bytes) {
    EXPECT_EQ(TextFromCString("units\\a.fbi\0junk"), "units\\a.fbi");
    EXPECT_EQ(TextFromCString(nullptr), "");
    std::vector<char> full(300, 'x');
    EXPECT_EQ(TextFromCString(full.data()), std::string(256, 'x'));
}

TEST(PackProgressCallback, HandsAllValuesToTheBoundWindow) {
    ProgressValues got;
    BindProgress([&](const ProgressValues& v) { got = v; });
    EXPECT_EQ(PackProgress(0, "sub\\b.txt", 3, 10, 5, 6, 70, 80), 0);
    BindProgress({});
    EXPECT_EQ(got.fileName, "sub\\b.txt");
    EXPECT_EQ(got.filesDone, 3);
    EXPECT_EQ(got.filesTotal, 10);
    EXPECT_EQ(got.fileDone, 5);
    EXPECT_EQ(got.fileTotal, 6);
    EXPECT_EQ(got.archiveDone, 70);
    EXPECT_EQ(got.archiveTotal, 80);
    EXPECT_EQ(PackProgress(0, "x", 1, 1, 1, 1, 1, 1), 0); // unbound: nothing happens
}

// Unit gathering over an archive holding the given members.
class Unit : public ::testing::Test {
protected:
    std::int32_t open(const std::vector<std::string>& members) {
        hpiutil::ArchiveWriter writer;
        for (const auto& m : members) {
            EXPECT_TRUE(writer.addBuffer(m, std::vector<std::uint8_t>(m.begin(), m.end())));
        }
        const fs::path p = dir_ / "units.hpi";
        EXPECT_TRUE(writer.write(p, hpiutil::Method::None));
        handle_ = HPIOpen(p.c_str());
        EXPECT_NE(handle_, 0);
        fs::create_directories(dir_ / "gather");
        return handle_;
    }
    void TearDown() override { HPIClose(handle_); }
    std::string folder() const { return (dir_ / "gather").string() + "/"; }
    testsupport::TempDir dir_;
    std::int32_t handle_ = 0;
};

const std::vector<std::string> kMandatory = {"units\\ARMCOM.FBI", "objects3d\\ARMCOM.3do",
                                             "scripts\\ARMCOM.cob", "anims\\ARMCOM_gadget.gaf"};

TEST_F(Unit, LooksForEveryPieceInOrderAndNotesTheMissingOptionalOnes) {
    auto members = kMandatory;
    members.push_back("features\\corpses\\ARMCOM.tdf"); // only the second corpse path
    members.push_back("unitpics\\ARMCOM.pcx");
    members.push_back("download\\ARMCOM.tdf");
    members.push_back("weapons\\ARMCOM_weapons.tdf");
    const auto pieces = UnitPieces("ARMCOM.FBI");
    const UnitGathering g = GatherUnit(open(members), pieces, folder());
    EXPECT_EQ(g.stopMessage, "");
    EXPECT_EQ(g.attempted,
              (std::vector<std::string>{
                  "units\\ARMCOM.FBI", "objects3d\\ARMCOM.3do", "scripts\\ARMCOM.cob",
                  "anims\\ARMCOM_gadget.gaf", "objects3d\\ARMCOM_dead.3do",
                  "features\\corpses\\ARMCOM_dead.tdf", "features\\corpses\\ARMCOM.tdf",
                  "unitpics\\ARMCOM.pcx", "download\\ARMCOM.tdf", "weapons\\ARMCOM_weapons.tdf",
                  "textures\\ARMCOM.gaf"}));
    EXPECT_EQ(g.notes, "\rNo corpse model found.\rNo textures found.");
    // The second corpse path lands under the first one's local name.
    const auto corpse = testsupport::readFile(dir_ / "gather" / "ARMCOM_dead.tdf");
    EXPECT_EQ(std::string(corpse.begin(), corpse.end()), "features\\corpses\\ARMCOM.tdf");

    const fs::path target = dir_ / "ARMCOM.ufo";
    EXPECT_EQ(PackUnit(target.string(), pieces, g, folder()), UnitPackResult::Written);
    auto unit = hpiutil::Archive::open(target);
    ASSERT_TRUE(unit);
    std::vector<std::string> stored;
    for (const auto& e : unit->entries()) {
        if (!e.directory) {
            stored.push_back(e.path);
            EXPECT_NE(e.method, 0) << e.path; // chunked: ZLIB
        }
    }
    std::sort(stored.begin(), stored.end());
    EXPECT_EQ(stored, (std::vector<std::string>{"anims\\ARMCOM_gadget.gaf", "download\\ARMCOM.tdf",
                                                "features\\corpses\\ARMCOM_dead.tdf",
                                                "objects3d\\ARMCOM.3do", "scripts\\ARMCOM.cob",
                                                "unitpics\\ARMCOM.pcx", "units\\ARMCOM.FBI",
                                                "weapons\\ARMCOM_weapons.tdf"}));
}

TEST_F(Unit, MissingMandatoryPieceStopsWithItsMessage) {
    const auto pieces = UnitPieces("ARMCOM.FBI");
    const std::vector<std::pair<int, std::string>> cases = {
        {0, "Error extracting the unit .FBI file !!"},
        {1, "Error extracting the unit .3DO file !!"},
        {2, "No unit script (.COB file) found."},
        {3, "No build menu pictures found."}};
    open(kMandatory);
    for (const auto& [missing, message] : cases) {
        auto subset = pieces;
        subset[std::size_t(missing)].archivePath = "nowhere\\x";
        const UnitGathering g = GatherUnit(handle_, subset, folder());
        EXPECT_EQ(g.stopMessage, message);
        EXPECT_EQ(g.attempted.size(), std::size_t(missing + 1));
    }
}

} // namespace
} // namespace crateward::packing
