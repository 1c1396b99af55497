// hpi unitcheck: the places it takes, its exit codes, its text and JSON.
#include "unit_fixture.hpp"

#include "testsupport/command_run.hpp"
#include "testsupport/testsupport.hpp"

#include <gtest/gtest.h>

namespace {

using ToolRun = testsupport::CommandRun;
using testsupport::shellQuote;

ToolRun hpi(const std::string& args) {
    const std::string cmd =
        "TA_DIR= WINEPREFIX=/nonexistent " + shellQuote(HPI_TOOL) + " " + args + " 2>&1";
    return testsupport::runCommand(cmd);
}

struct ToolUnits {
    testsupport::TempDir dir;
    std::string archive, folder, game;
    ToolUnits() {
        unitfixture::Members m;
        unitfixture::addUnit(m, "ARMGOOD");
        unitfixture::addUnit(m, "CORBAD");
        m.erase("sounds\\CORBADhit.wav");
        archive = (dir / "units.ufo").string();
        folder = (dir / "unpacked").string();
        game = (dir / "game").string();
        EXPECT_TRUE(unitfixture::writeArchive(archive, m));
        EXPECT_TRUE(unitfixture::writeFolder(folder, m));
        std::filesystem::create_directory(game);
        EXPECT_TRUE(unitfixture::writeArchive(dir / "game" / "units.ufo", m));
    }
};

TEST(UnitTool, ExitCodeSaysWhetherAnythingIsMissing) {
    ToolUnits t;
    for (const std::string& place :
         {shellQuote(t.archive), shellQuote(t.folder), "--game " + shellQuote(t.game)}) {
        const ToolRun good = hpi("unitcheck " + place + " armgood");
        EXPECT_EQ(good.code, 0) << place << "\n" << good.out;
        EXPECT_NE(good.out.find("ARMGOOD: "), std::string::npos) << good.out;

        const ToolRun all = hpi("unitcheck " + place);
        EXPECT_EQ(all.code, 1) << place << "\n" << all.out;
        EXPECT_NE(
            all.out.find("MISSING        sound (soundhit) CORBADhit  sounds\\CORBADhit.wav\n"),
            std::string::npos)
            << all.out;
        EXPECT_NE(all.out.find("2 units checked, 1 with something missing"), std::string::npos);
    }
    EXPECT_EQ(hpi("unitcheck " + shellQuote(t.archive) + " ARMGOOD NOSUCH").code, 1);
}

// A mod's archive checked against the game: its own units, found in it or in the game.
TEST(UnitTool, ArchiveAgainstTheGameFolder) {
    ToolUnits t;
    unitfixture::Members mod;
    unitfixture::addUnit(mod, "ARMMOD");
    ASSERT_TRUE(unitfixture::writeArchive(t.dir / "game" / "base.hpi",
                                          {{"textures\\ARMMOD.gaf", mod["textures\\ARMMOD.gaf"]}}));
    mod.erase("textures\\ARMMOD.gaf");
    const std::string archive = (t.dir / "mod.ufo").string();
    ASSERT_TRUE(unitfixture::writeArchive(archive, mod));

    EXPECT_EQ(hpi("unitcheck " + shellQuote(archive)).code, 1);
    const ToolRun both = hpi("unitcheck --game " + shellQuote(t.game) + " " + shellQuote(archive));
    EXPECT_EQ(both.code, 0) << both.out;
    EXPECT_NE(both.out.find("ARMMOD: "), std::string::npos) << both.out;
    EXPECT_EQ(both.out.find("ARMGOOD"), std::string::npos) << both.out;
    EXPECT_NE(both.out.find("[base.hpi: textures\\ARMMOD.gaf]"), std::string::npos) << both.out;
    // Units named are looked up in both.
    EXPECT_EQ(
        hpi("unitcheck --game " + shellQuote(t.game) + " " + shellQuote(archive) + " CORBAD").code,
        1);
}

TEST(UnitTool, JsonHasOneObjectPerUnit) {
    ToolUnits t;
    const ToolRun run = hpi("unitcheck --json " + shellQuote(t.archive));
    EXPECT_EQ(run.code, 1);
    ASSERT_EQ(run.out.rfind("[\n{\"unit\":\"ARMGOOD\",\"found\":", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("\n{\"unit\":\"CORBAD\","), std::string::npos);
    EXPECT_NE(run.out.find("\"missing\":1,"), std::string::npos);
    EXPECT_EQ(run.out.substr(run.out.size() - 4), "}\n]\n");
}

TEST(UnitTool, UsageErrorsAndUnreadablePlaces) {
    ToolUnits t;
    EXPECT_EQ(hpi("unitcheck --bogus " + shellQuote(t.archive)).code, 2);
    EXPECT_EQ(hpi("unitcheck --game").code, 2);
    const ToolRun noGame = hpi("unitcheck ARMGOOD");
    EXPECT_EQ(noGame.code, 1);
    EXPECT_NE(noGame.out.find("no game folder"), std::string::npos) << noGame.out;
    testsupport::writeFile(t.dir / "broken.ufo", std::string_view("not an archive"));
    EXPECT_EQ(hpi("unitcheck " + shellQuote((t.dir / "broken.ufo").string())).code, 1);
    EXPECT_NE(hpi("--help").out.find("hpi unitcheck"), std::string::npos);
}

} // namespace
