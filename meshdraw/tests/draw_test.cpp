// Drawing of the 2-D views under a real X server: extents, draw modes and
// textures, read back from the back buffer after each draw call.
#include "DrawFixture.hpp"

using namespace meshdraw_test;

class MeshdrawFrontView : public DrawFixture {
protected:
    void checkExtents(int width, int height);
};

// A strip along the left edge and a square in the top right corner of a view
// of width x height pixels (2 pixels per model unit), then the read-back.
void MeshdrawFrontView::checkExtents(int width, int height) {
    TestWindow& window = openWindow(width, height);
    ASSERT_EQ(CreateFront(window.id(), width, height), 1);
    SetView(0, white);
    const float halfWidth = width / 4.0f;
    const float halfHeight = height / 4.0f;
    MeshObject mesh;
    // The front view is moved down by 20: model y + 20 maps to screen y.
    mesh.addRectangle(-halfWidth, -halfHeight + 20, -halfWidth + 10, halfHeight + 20, 0, 10);
    mesh.addRectangle(halfWidth - 10, halfHeight + 10, halfWidth, halfHeight + 20, 0, 20);
    ASSERT_EQ(mesh.addToLibrary(), 0);
    DrawFront();
    const int right = width - 1;
    const int top = height - 1;
    EXPECT_TRUE(pixelIs(backPixel(1, 1), colourOf(10)));
    EXPECT_TRUE(pixelIs(backPixel(1, top - 1), colourOf(10)));
    EXPECT_TRUE(pixelIs(backPixel(18, height / 2), colourOf(10)));
    EXPECT_TRUE(pixelIs(backPixel(22, height / 2), colourOf(white)));
    EXPECT_TRUE(pixelIs(backPixel(right - 1, top - 1), colourOf(20)));
    EXPECT_TRUE(pixelIs(backPixel(right - 18, top - 18), colourOf(20)));
    EXPECT_TRUE(pixelIs(backPixel(right - 22, top - 1), colourOf(white)));
    EXPECT_TRUE(pixelIs(backPixel(right - 1, top - 22), colourOf(white)));
    EXPECT_TRUE(pixelIs(backPixel(right - 1, 1), colourOf(white)));
}

TEST_F(MeshdrawFrontView, WideWindowShows200By100Units) {
    checkExtents(400, 200);
}

TEST_F(MeshdrawFrontView, TallWindowShows100By200Units) {
    checkExtents(200, 400);
}

TEST_F(MeshdrawFrontView, ResizeFollowsTheNewWindowSize) {
    TestWindow& window = openWindow(400, 400);
    ASSERT_EQ(CreateFront(window.id(), 200, 200), 1);
    SetView(0, white);
    MeshObject mesh;
    mesh.addRectangle(90, 20, 100, 30, 0, 10); // right edge of a 400 x 200 view
    ASSERT_EQ(mesh.addToLibrary(), 0);
    ResizeFront(400, 200);
    DrawFront();
    EXPECT_TRUE(pixelIs(backPixel(395, 100), colourOf(10)));
    EXPECT_TRUE(pixelIs(backPixel(200, 100), colourOf(white)));
}

TEST_F(MeshdrawFrontView, ModesFillLightOutlineOrClearOnly) {
    TestWindow& window = openWindow(200, 200);
    ASSERT_EQ(CreateFront(window.id(), 200, 200), 1);
    MeshObject mesh;
    mesh.addRectangle(-30, -10, 30, 50, 0, white); // screen -30..30 both ways
    ASSERT_EQ(mesh.addToLibrary(), 0);

    SetView(0, 0); // black background
    DrawFront();
    const Rgb filled = backPixel(100, 100);
    EXPECT_TRUE(pixelIs(filled, colourOf(white)));
    EXPECT_TRUE(pixelIs(backPixel(5, 5), colourOf(0)));

    SetView(1, 0);
    DrawFront();
    const Rgb lit = backPixel(100, 100);
    EXPECT_LT(lit.red, filled.red) << toString(lit);
    EXPECT_GT(lit.red, 30) << toString(lit);
    EXPECT_EQ(lit.red, lit.green);
    EXPECT_EQ(lit.green, lit.blue);

    SetView(2, white);
    DrawFront();
    EXPECT_TRUE(pixelIs(backPixel(100, 100), colourOf(white)));
    int outline = 0;
    for (int x = 0; x < 200; ++x) {
        const Rgb pixel = backPixel(x, 100);
        if (pixel == Rgb{0, 0, 0}) {
            ++outline;
        } else {
            ASSERT_TRUE(pixelIs(pixel, colourOf(white))) << "at x " << x;
        }
    }
    EXPECT_GE(outline, 2);

    SetView(3, 7);
    DrawFront();
    for (int y = 0; y < 200; y += 20) {
        for (int x = 0; x < 200; x += 20) {
            ASSERT_TRUE(pixelIs(backPixel(x, y), colourOf(7))) << x << "," << y;
        }
    }
}

TEST_F(MeshdrawFrontView, TexturedQuadShowsItsTexels) {
    TestWindow& window = openWindow(200, 200);
    ASSERT_EQ(CreateFront(window.id(), 200, 200), 1);
    ASSERT_EQ(CreateRight(window.id(), 200, 200), 1); // makes the texture names
    SetView(0, white);
    // Texel (c, r) lands in column c and row r counted from the bottom.
    auto texels = std::make_unique<std::uint8_t[]>(4);
    texels[0] = 10;
    texels[1] = 20;
    texels[2] = 30;
    texels[3] = 40;
    MeshObject mesh;
    const int quad = mesh.addRectangle(-50, -30, 50, 70, 0, 99);
    mesh.setTexture(quad, texels.get(), 2, 2);
    ASSERT_EQ(mesh.addToLibrary(), 0);
    texels.reset(); // the library uploaded its own copy
    DrawFront();
    EXPECT_TRUE(pixelIs(backPixel(50, 50), colourOf(10)));
    EXPECT_TRUE(pixelIs(backPixel(150, 50), colourOf(20)));
    EXPECT_TRUE(pixelIs(backPixel(50, 150), colourOf(30)));
    EXPECT_TRUE(pixelIs(backPixel(150, 150), colourOf(40)));

    // The textures go with the contexts; new views draw the stored quad in
    // its colour.
    Cleanup3D();
    ASSERT_EQ(CreateFront(window.id(), 200, 200), 1);
    ASSERT_EQ(CreateRight(window.id(), 200, 200), 1);
    SetView(0, white);
    DrawFront();
    EXPECT_TRUE(pixelIs(backPixel(50, 50), colourOf(99)));
}

TEST_F(MeshdrawFrontView, OnlyQuadsAreTexturedAndBadFacesAreSkipped) {
    TestWindow& window = openWindow(200, 200);
    ASSERT_EQ(CreateFront(window.id(), 200, 200), 1);
    ASSERT_EQ(CreateRight(window.id(), 200, 200), 1);
    SetView(0, white);
    std::uint8_t texels[16 * 16];
    std::fill(std::begin(texels), std::end(texels), 60);
    MeshObject mesh;
    const int triangle = mesh.addPolygon({{-40, -20, 0}, {40, -20, 0}, {0, 60, 0}}, 50);
    mesh.setTexture(triangle, texels, 16, 16);
    // A face whose run leaves the index array and one naming a missing vertex.
    const int past = mesh.addRectangle(-50, -30, -40, -20, 0, 70);
    mesh.faces[past].firstIndex = 1000;
    const int missing = mesh.addRectangle(40, -30, 50, -20, 0, 80);
    mesh.indices[mesh.faces[missing].firstIndex] = 500;
    ASSERT_EQ(mesh.addToLibrary(), 0);
    DrawFront();
    EXPECT_TRUE(pixelIs(backPixel(100, 80), colourOf(50)));
    EXPECT_TRUE(pixelIs(backPixel(5, 5), colourOf(white)));
    EXPECT_TRUE(pixelIs(backPixel(195, 5), colourOf(white)));
}

TEST_F(MeshdrawFrontView, TopAndRightViewsLookAlongTheirAxes) {
    TestWindow& window = openWindow(200, 200);
    ASSERT_EQ(CreateTop(window.id(), 200, 200), 1);
    SetView(0, white);
    MeshObject mesh;
    // Top view: eye above, up +z, so +z is up on screen and +x is on the left.
    mesh.addPolygon({{20, 0, 20}, {40, 0, 20}, {40, 0, 40}, {20, 0, 40}}, 10);
    ASSERT_EQ(mesh.addToLibrary(), 0);
    DrawTop();
    EXPECT_TRUE(pixelIs(backPixel(40, 160), colourOf(10)));
    EXPECT_TRUE(pixelIs(backPixel(160, 160), colourOf(white)));
    Cleanup3D();

    // Right view: eye on +x looking at (0, 20, 0), so +z is on the left.
    RemoveAllObjects();
    MeshObject side;
    side.addPolygon({{0, 30, 20}, {0, 30, 40}, {0, 40, 40}, {0, 40, 20}}, 20);
    ASSERT_EQ(side.addToLibrary(), 0);
    ASSERT_EQ(CreateRight(window.id(), 200, 200), 1);
    SetView(0, white);
    DrawRight();
    EXPECT_TRUE(pixelIs(backPixel(40, 130), colourOf(20)));
    EXPECT_TRUE(pixelIs(backPixel(160, 130), colourOf(white)));
}
