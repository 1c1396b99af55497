// The 255 texture slots of a library load: identical textures share one,
// and once all are used the remaining textured quads draw in their colour.
// In a process of its own, since the slots are never given back.
#include "OffscreenFixture.hpp"

using namespace meshdraw_test;

namespace {
class MeshdrawTextureSlots : public OffscreenFixture {};
} // namespace

TEST_F(MeshdrawTextureSlots, BeyondTheLastSlotQuadsDrawInTheirColour) {
    OPEN_OFFSCREEN(300, 300);
    Set3DView(0, white);
    // 300 textures of one colour each, and one shared texture first.
    std::vector<std::vector<std::uint8_t>> textures(300);
    for (std::size_t k = 0; k < textures.size(); ++k) {
        textures[k].assign(16 * 16, std::uint8_t(k % 200));
        textures[k][0] = std::uint8_t(k / 200); // no two alike
    }
    std::vector<std::uint8_t> shared(16 * 16, 201);
    MeshObject sharing;
    for (int k = 0; k < 50; ++k) {
        sharing.setTexture(sharing.addRectangle(-1, -1, 1, 1, 500, 3), shared.data(), 16, 16);
    }
    ASSERT_EQ(sharing.addToLibrary(), 0);
    // The shared texture took one slot: 254 distinct ones still upload.
    MeshObject many;
    for (std::size_t k = 0; k < textures.size(); ++k) {
        many.setTexture(many.addRectangle(-1, -1, 1, 1, 500, 250), textures[k].data(), 16, 16);
    }
    ASSERT_EQ(many.addToLibrary(), 1);

    // Quad 253 got the last slot, quad 254 none: draw each alone, big.
    auto drawnColour = [&](std::size_t k) {
        RemoveAllObjects();
        MeshObject one;
        one.setTexture(one.addRectangle(-40, -20, 40, 60, 0, 250), textures[k].data(), 16, 16);
        EXPECT_EQ(one.addToLibrary(), 0);
        return draw().at(150, 150);
    };
    EXPECT_EQ(drawnColour(253), colourOf(int(253 % 200)));
    EXPECT_EQ(drawnColour(254), colourOf(250));
    EXPECT_EQ(drawnColour(299), colourOf(250));
}
