// A game folder made of the real add-on archives plus a test archive that
// shadows some of their members: every path's provider is the first archive
// in mount order that the archive library finds it in.
#include "fixture.hpp"
#include "testsupport/testsupport.hpp"

#include <gtest/gtest.h>

using testsupport::TempDir;
namespace fs = std::filesystem;

TEST(RealFolder, EveryPathComesFromTheFirstArchiveThatHoldsIt) {
    TOOLKIT_REQUIRE_REAL("archives/ArmBani.ufo", bani);
    const fs::path real = bani.parent_path();
    TempDir dir;
    std::vector<std::string> order; // mount order of the archives below
    fixture::Members shadowing;
    for (const char* name : {"ArmBani.ufo", "ArmImp.ufo", "ArmSLab.ufo"}) {
        fs::copy_file(real / name, dir / name);
        auto archive = hpiutil::Archive::open(real / name);
        ASSERT_TRUE(archive.ok());
        // Shadow every third file of each, under another spelling of its path.
        int i = 0;
        for (const auto& e : archive->entries()) {
            if (!e.directory && i++ % 3 == 0) {
                std::string upper = e.path;
                for (char& c : upper) {
                    c = char(std::toupper(static_cast<unsigned char>(c)));
                }
                shadowing.emplace_back(upper, "shadowing copy");
            }
        }
    }
    fixture::writeArchive(dir / "AAshadow.ufo", shadowing);
    // The expansion group comes before every .ufo.
    fixture::writeArchive(dir / "zz.ccx", {{"unitpics\\armbani.pcx", "expansion"}});
    order = {"zz.ccx", "AAshadow.ufo", "ArmBani.ufo", "ArmImp.ufo", "ArmSLab.ufo"};

    auto game = fixture::mountOrDie(dir.path());
    std::vector<hpiutil::Archive> archives;
    for (const auto& name : order) {
        archives.push_back(std::move(hpiutil::Archive::open(dir / name).value()));
    }
    std::size_t checked = 0;
    for (std::size_t a = 2; a < archives.size(); ++a) {
        for (const auto& e : archives[a].entries()) {
            if (e.directory) {
                continue;
            }
            std::string expected;
            for (std::size_t b = 0; b < archives.size() && expected.empty(); ++b) {
                if (auto f = archives[b].find(e.path); f && *f >= 0) {
                    expected = order[b];
                }
            }
            EXPECT_EQ(fixture::providerOf(game, e.path), expected) << e.path;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 17u + 1u + 12u);
    EXPECT_EQ(fixture::contentOf(game, "unitpics\\ARMBANI.PCX").substr(0, 9), "expansion");
}
