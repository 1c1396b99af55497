// The hpi tool's game folder commands, their JSON checked against the library.
#include "fixture.hpp"
#include "testsupport/command_run.hpp"
#include "testsupport/testsupport.hpp"

#include <gtest/gtest.h>

using testsupport::TempDir;
namespace fs = std::filesystem;

namespace {

using Run = testsupport::CommandRun;
using testsupport::shellQuote;

// Runs the tool; standard error is left out unless `withErrors`.
Run hpi(const std::string& args, bool withErrors = false) {
    const std::string cmd =
        "TA_DIR= " + shellQuote(HPI_TOOL) + " " + args + (withErrors ? " 2>&1" : " 2>/dev/null");
    return testsupport::runCommand(cmd);
}

struct ToolGame {
    TempDir dir;
    ToolGame() {
        fixture::writeArchive(dir / "totala.hpi", {{"units\\armcom.fbi", "stock"},
                                                   {"units\\armpw.fbi", "peewee"},
                                                   {"gamedata\\sound.tdf", "[x]"}});
        fixture::writeArchive(dir / "mod.ufo",
                              {{"UNITS\\ARMCOM.FBI", "modded!"}, {"units\\armpw.fbi", "peewee"}});
        testsupport::writeFile(dir / "broken.ccx", std::string_view("not an archive"));
    }
    std::string game() const { return shellQuote(dir.path().string()); }
};

// The JSON the tool gives for one copy, made from the library's answer.
std::string copyJson(const gamefolder::GameFolder& g, const gamefolder::Copy& c) {
    return "{\"index\":" + std::to_string(c.source) + ",\"name\":\"" + g.sourceName(c.source) +
           "\",\"kind\":\"" + gamefolder::kindName(g.sources()[c.source].kind) +
           "\",\"directory\":" + (c.directory ? "true" : "false") +
           ",\"size\":" + std::to_string(c.size) + "}";
}

} // namespace

TEST(GameTool, WhichAnswersAsTheLibraryDoes) {
    ToolGame t;
    auto game = fixture::mountOrDie(t.dir.path());
    const auto node = *game.find("units\\armcom.fbi");
    const auto copies = game.copies(node);
    const std::string expected = "{\"folder\":\"" + t.dir.path().string() +
                                 "\",\"paths\":[{\"path\":\"UNITS\\\\ARMCOM.FBI\",\"clash\":false,"
                                 "\"provider\":" +
                                 copyJson(game, copies[0]) + ",\"shadowed\":[" +
                                 copyJson(game, copies[1]) + "]}]}\n";
    auto r = hpi("which --json --game " + t.game() + " 'units\\armcom.fbi'");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, expected);

    r = hpi("which --game " + t.game() + " 'Units\\ArmCom.fbi'");
    EXPECT_EQ(r.out, "UNITS\\ARMCOM.FBI: mod.ufo (7 bytes)\n  shadows totala.hpi (5 bytes)\n");
    // The detected folder: TA_DIR.
    r = hpi("which 'gamedata\\sound.tdf'");
    EXPECT_EQ(r.code, 1);
    const std::string env = "TA_DIR=" + t.game() + " " + shellQuote(HPI_TOOL);
    const auto detected = testsupport::runCommand(env + " which 'gamedata\\sound.tdf'");
    EXPECT_EQ(detected.code, 0);
    EXPECT_EQ(detected.out, "gamedata\\sound.tdf: totala.hpi (3 bytes)\n");

    r = hpi("which --game " + t.game() + " 'units\\armcom.fbi' 'units\\nothing.fbi'", true);
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("no member \"units\\nothing.fbi\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("UNITS\\ARMCOM.FBI: mod.ufo"), std::string::npos);
}

TEST(GameTool, GameListsTheSourcesAndShadowedComparesThem) {
    ToolGame t;
    auto game = fixture::mountOrDie(t.dir.path());
    auto r = hpi("game --json " + t.game());
    EXPECT_EQ(r.code, 0);
    std::string sources;
    for (std::uint32_t i = 0; i < game.sources().size(); ++i) {
        const auto& s = game.sources()[i];
        sources +=
            std::string(i ? "," : "") + "{\"index\":" + std::to_string(i) + ",\"name\":\"" +
            game.sourceName(i) + "\",\"kind\":\"" + gamefolder::kindName(s.kind) +
            "\",\"path\":\"" + s.path.string() + "\",\"members\":" + std::to_string(s.members) +
            ",\"skipped\":" + (s.skipped ? "true" : "false") + ",\"reason\":\"" + s.reason + "\"}";
    }
    EXPECT_EQ(r.out, "{\"folder\":\"" + t.dir.path().string() + "\",\"sources\":[" + sources +
                         "],\"problems\":[]}\n");
    EXPECT_TRUE(game.sources()[1].skipped); // broken.ccx, listed and skipped

    r = hpi("shadowed --game " + t.game());
    EXPECT_EQ(r.out, "UNITS\\ARMCOM.FBI: mod.ufo (7 bytes) over totala.hpi (5 bytes)\n"
                     "UNITS\\armpw.fbi: mod.ufo (6 bytes) over totala.hpi (6 bytes)\n");
    r = hpi("shadowed --differ --game " + t.game());
    EXPECT_EQ(r.out, "UNITS\\ARMCOM.FBI: mod.ufo (7 bytes) over totala.hpi (5 bytes, differs)\n");
    r = hpi("shadowed --differ --json --game " + t.game());
    EXPECT_NE(r.out.find("\"likeness\":\"differs\""), std::string::npos);
    EXPECT_EQ(r.out.find("armpw"), std::string::npos);
    EXPECT_EQ(hpi("shadowed --bogus --game " + t.game()).code, 2);
}

TEST(GameTool, CatAndExtractTakeTheProvidingCopies) {
    ToolGame t;
    auto r = hpi("cat --game " + t.game() + " 'units\\ARMCOM.fbi'");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "modded!");
    r = hpi("cat --game " + t.game() + " 'units\\none.fbi'", true);
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("units\\none.fbi"), std::string::npos);

    TempDir out;
    r = hpi("extract --game " + t.game() + " -C " + shellQuote(out.path().string()));
    EXPECT_EQ(r.code, 0) << r.out;
    auto bytes = testsupport::readFile(out / "UNITS" / "ARMCOM.FBI");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "modded!");
    EXPECT_TRUE(fs::exists(out / "gamedata" / "sound.tdf"));
    EXPECT_EQ(
        hpi("extract --game " + t.game() + " -C " + shellQuote(out.path().string()) + " nope").code,
        1);
}
