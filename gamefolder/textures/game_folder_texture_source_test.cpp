// Textures found in a game folder's archives in mount order, through the
// texture lookup: the providing copy of a shadowed file, an earlier source's
// file before a later one's, names in any case.
#include "game_folder_texture_source.hpp"

#include "../tests/fixture.hpp"
#include "meshglass/TextureLookup.hpp"
#include "testsupport/gaf_writer.hpp"
#include "testsupport/testsupport.hpp"

#include <gtest/gtest.h>

using testsupport::TempDir;

namespace {

std::string gafText(const std::string& entry, std::uint8_t index) {
    const auto bytes = testsupport::makeGaf(
        {{entry, {testsupport::rawFrame(2, 2, std::vector<std::uint8_t>(4, index))}}});
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

TEST(GameFolderTextures, FoundInMountOrderFromTheProvidingCopies) {
    TempDir dir;
    // mod.ufo shadows totala.hpi's textures\stock.gaf and adds its own file.
    fixture::writeArchive(dir / "mod.ufo", {{"TEXTURES\\Stock.GAF", gafText("armmetal", 20)},
                                            {"textures\\zz_mod.gaf", gafText("modplate", 30)}});
    fixture::writeArchive(dir / "totala.hpi", {{"textures\\stock.gaf", gafText("armmetal", 10)},
                                               {"textures\\aaa.gaf", gafText("modplate", 40)},
                                               {"textures\\readme.txt", "not a gaf"}});
    auto game = std::make_shared<gamefolder::GameFolder>(fixture::mountOrDie(dir.path()));
    auto source = std::make_unique<gamefolder::GameFolderTextureSource>(game);
    EXPECT_EQ(source->TextureFiles(), (std::vector<std::string>{"mod.ufo: TEXTURES\\Stock.GAF",
                                                                "mod.ufo: TEXTURES\\zz_mod.gaf",
                                                                "totala.hpi: TEXTURES\\aaa.gaf"}));
    EXPECT_FALSE(source->ReadTextureFile("totala.hpi: textures\\stock.gaf"));

    spriteglass::Palette palette{};
    meshglass::TextureLookup lookup(palette);
    lookup.AddSource(std::move(source));
    const auto* metal = lookup.Find("ARMMETAL");
    ASSERT_NE(metal, nullptr);
    EXPECT_EQ(metal->texels.front(), 20); // mod.ufo's copy, not the shadowed one
    const auto* plate = lookup.Find("modplate");
    ASSERT_NE(plate, nullptr);
    EXPECT_EQ(plate->file, "mod.ufo: TEXTURES\\zz_mod.gaf"); // the earlier source first
    EXPECT_EQ(lookup.Find("nothing"), nullptr);
}
