// The texture lookup and its use by the face records: where it looks and in
// which order, names and file names in any case, missing textures, large
// pictures, the colour of faces drawn without their texture, and the names
// the reader takes from hostile files.
#include "model_test_util.hpp"
#include "texture_fixture.hpp"

#include "meshglass/ModelText.hpp"
#include "meshglass/ModelTextures.hpp"
#include "meshglass/TextureLookup.hpp"

#include <testsupport/testsupport.hpp>

#include <gtest/gtest.h>

using namespace meshglass;
using namespace meshglass_test;
using testsupport::makeGaf;
using testsupport::rawFrame;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

// Entry k is i x i pixels of index 100 + k (with a different first pixel).
spriteglass::Palette greyPalette() {
    spriteglass::Palette palette{};
    for (int k = 0; k < 256; ++k) {
        palette[std::size_t(k) * 4] = std::uint8_t(k);
        palette[std::size_t(k) * 4 + 1] = std::uint8_t(k);
        palette[std::size_t(k) * 4 + 2] = std::uint8_t(k);
    }
    return palette;
}

std::vector<std::uint8_t> oneEntry(const std::string& name, std::uint8_t index, int side = 4) {
    return makeGaf({{name,
                     {rawFrame(std::int16_t(side), std::int16_t(side),
                               std::vector<std::uint8_t>(std::size_t(side * side), index))}}});
}

TEST(TextureLookup, ModelFolderTreeComesBeforeTheGameFolderAndCaseIsIgnored) {
    TempDir dir;
    const auto mod = dir / "mod";
    const auto game = dir / "game";
    std::filesystem::create_directories(mod / "objects3d" / "units");
    std::filesystem::create_directories(mod / "TEXTURES");
    std::filesystem::create_directories(game / "Textures");
    writeFile(mod / "objects3d" / "units" / "tank.3do", "x");
    // The model's own tree holds "hull"; the game folder holds "hull" and "track".
    writeFile(mod / "TEXTURES" / "unit.GAF", oneEntry("Hull", 10));
    writeFile(game / "Textures" / "base.gaf", oneEntry("hull", 20));
    writeFile(game / "Textures" / "more.gaf", oneEntry("TRACK", 30));
    writeFile(game / "Textures" / "notes.txt", oneEntry("other", 40)); // not a .gaf

    TextureLookup lookup(greyPalette());
    AddModelTextureSources(lookup, mod / "objects3d" / "units" / "tank.3do", game);
    ASSERT_EQ(lookup.Sources().size(), 2u);
    const FoundTexture* hull = lookup.Find("HULL");
    ASSERT_NE(hull, nullptr);
    EXPECT_EQ(hull->texels[0], 10);
    EXPECT_EQ(hull->entry, "Hull");
    EXPECT_EQ(hull->file, (mod / "TEXTURES" / "unit.GAF").string());
    const FoundTexture* track = lookup.Find("track");
    ASSERT_NE(track, nullptr);
    EXPECT_EQ(track->texels[0], 30);
    EXPECT_EQ(lookup.Find("other"), nullptr);
    EXPECT_EQ(lookup.Find("Hull"), hull); // kept: the same picture

    // An extra folder named on a command line comes first.
    writeFile(dir / "extra.gaf", oneEntry("hull", 50));
    TextureLookup first(greyPalette());
    AddModelTextureSources(first, mod / "objects3d" / "units" / "tank.3do", game, dir.path());
    EXPECT_EQ(first.Find("hull")->texels[0], 50);
}

TEST(TextureLookup, FilesInAFolderAreSearchedInNameOrderAndBrokenOnesSkipped) {
    TempDir dir;
    std::filesystem::create_directories(dir / "textures");
    writeFile(dir / "textures" / "B.gaf", oneEntry("same", 2));
    writeFile(dir / "textures" / "a.gaf", oneEntry("same", 1));
    writeFile(dir / "textures" / "0broken.gaf", std::string("not a gaf at all"));
    TextureLookup lookup(greyPalette());
    lookup.AddSource(std::make_unique<FolderTextureSource>(dir / "textures"));
    ASSERT_NE(lookup.Find("same"), nullptr);
    EXPECT_EQ(lookup.Find("same")->texels[0], 1);
    EXPECT_EQ(lookup.Find(""), nullptr);

    // A missing name found once a source is added later.
    TextureLookup later(greyPalette());
    EXPECT_EQ(later.Find("same"), nullptr);
    later.AddSource(std::make_unique<FolderTextureSource>(dir / "textures"));
    EXPECT_NE(later.Find("same"), nullptr);
}

TEST(TextureLookup, LargePicturesAreScaledToTheRendererLimitAndKeepTheirColour) {
    TempDir dir;
    std::vector<std::uint8_t> pixels(300 * 20, 60);
    for (std::size_t k = 0; k < pixels.size(); k += 2) {
        pixels[k] = 200; // mean 130: the nearest grey is 130
    }
    writeFile(dir / "big.gaf", makeGaf({{"big", {rawFrame(300, 20, pixels)}}}));
    TextureLookup lookup(greyPalette());
    lookup.AddSource(std::make_unique<FolderTextureSource>(dir.path()));
    const FoundTexture* big = lookup.Find("big");
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->width, 256);
    EXPECT_EQ(big->height, 20);
    EXPECT_EQ(big->texels.size(), 256u * 20u);
    EXPECT_EQ(big->averageColour, 130);
}

TEST(ModelTextures, QuadsGetTheirTextureOtherFacesItsColourMissingOnesKeepTheirs) {
    TempDir dir;
    std::filesystem::create_directories(dir / "textures");
    writeFile(dir / "textures" / "plates.gaf", fixtureTextureGaf());
    testsupport::TdoPieceSpec piece = texturedPiece();
    piece.primitives[2].texture = "nosuchtexture";
    const auto bytes = testsupport::makeTdo(piece);
    writeFile(dir / "model.3do", bytes);
    auto loaded = loadBytes(bytes);
    ASSERT_EQ(loaded.root->Primitives[0].TextureName, "PlateA");
    ASSERT_EQ(loaded.root->Primitives[3].TextureName, "platea");

    TextureLookup lookup(greyPalette());
    AddModelTextureSources(lookup, dir / "model.3do", {});
    LookupFaceTextures textures(lookup);
    CollectingRenderer renderer;
    BuildModel(*loaded.root, renderer, &textures);
    ASSERT_EQ(renderer.objects.size(), 1u);
    const auto& faces = renderer.objects[0].faces;
    ASSERT_EQ(faces.size(), 4u);
    const FoundTexture* a = lookup.Find("platea");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(faces[0].texture, reinterpret_cast<std::uintptr_t>(a->texels.data()));
    EXPECT_EQ(faces[0].textureWidth, 2);
    EXPECT_EQ(faces[0].textureHeight, 2);
    EXPECT_EQ(faces[0].colour, a->averageColour);
    EXPECT_EQ(a->averageColour, 32); // mean of 20, 28, 36, 44 on the grey palette
    EXPECT_NE(faces[1].texture, 0u);
    // Missing: palette colour, no texture.
    EXPECT_EQ(faces[2].texture, 0u);
    EXPECT_EQ(faces[2].colour, 3);
    // Found but a triangle: the texture's colour.
    EXPECT_EQ(faces[3].texture, 0u);
    EXPECT_EQ(faces[3].colour, a->averageColour);

    const std::vector<TextureUse> uses = TextureUses(*loaded.root);
    ASSERT_EQ(uses.size(), 3u);
    EXPECT_EQ(uses[0].name, "PlateA");
    EXPECT_EQ(uses[0].faces, 2);
    EXPECT_EQ(uses[2].name, "nosuchtexture");
}

TEST(ModelReader, TextureNamesFromHostileOffsetsAreEmpty) {
    testsupport::TdoPieceSpec piece = testsupport::tdoTriangles("p", 5);
    piece.primitives[0].texture = "fine";
    piece.primitives[1].textureOffset = -4;
    piece.primitives[2].textureOffset = 0x7fffffff;
    piece.primitives[3].texture = std::string(MaxTextureNameLength + 1, 'n');
    piece.primitives[4].texture = std::string(MaxTextureNameLength, 'm');
    auto bytes = testsupport::makeTdo(piece);
    // A name running into the end of the file without its zero.
    bytes.insert(bytes.end(), {'e', 'n', 'd'});
    piece.primitives[1].textureOffset = std::int32_t(bytes.size() - 3);
    auto again = testsupport::makeTdo(piece);
    again.insert(again.end(), {'e', 'n', 'd'});
    const auto loaded = loadBytes(again);
    ASSERT_EQ(loaded.root->Primitives.size(), 5u);
    EXPECT_EQ(loaded.root->Primitives[0].TextureName, "fine");
    EXPECT_EQ(loaded.root->Primitives[1].TextureName, "");
    EXPECT_EQ(loaded.root->Primitives[2].TextureName, "");
    EXPECT_EQ(loaded.root->Primitives[3].TextureName, "");
    EXPECT_EQ(loaded.root->Primitives[4].TextureName.size(), std::size_t(MaxTextureNameLength));
    EXPECT_TRUE(loaded.messages.empty());
}

} // namespace
