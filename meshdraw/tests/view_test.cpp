// The perspective view and its camera, keeping the picture when uncovered,
// and what the library does without a usable window or display.
#include "DrawFixture.hpp"

#include <poll.h>

#include <numbers>

using namespace meshdraw_test;

namespace {

class MeshdrawPerspectiveView : public DrawFixture {};
class MeshdrawViewLifetime : public DrawFixture {};

// In a 400 x 400 view at distance 150, one model unit is about 3.2 pixels.
constexpr double pixelsPerUnit = 400 / (2 * 150 * 0.41421356);

int screenOffset(double units) {
    return 200 + static_cast<int>(units * pixelsPerUnit);
}

} // namespace

TEST_F(MeshdrawPerspectiveView, CameraLooksFromBehindAtTheCentre) {
    TestWindow& window = openWindow(400, 400);
    ASSERT_EQ(CreateView(window.id(), 400, 400), 1);
    Set3DView(0, white);
    MeshObject mesh;
    mesh.addRectangle(-10, 10, 10, 30, 0, 10); // around the look-at centre (0, 20, 0)
    mesh.addRectangle(-2, -2, 2, 2, 0, 20);    // around the origin, 20 units below it
    // On the line of sight from (0, 20, -150), so it hides the centre.
    mesh.addRectangle(-0.5f, 19.5f, 0.5f, 20.5f, -100, 30);
    ASSERT_EQ(mesh.addToLibrary(), 0);
    DrawView();
    EXPECT_TRUE(pixelIs(backPixel(200, 200), colourOf(30)));
    EXPECT_TRUE(pixelIs(backPixel(screenOffset(5), 200), colourOf(10)));
    EXPECT_TRUE(pixelIs(backPixel(200, screenOffset(-20)), colourOf(20)));
    EXPECT_TRUE(pixelIs(backPixel(200, screenOffset(-14)), colourOf(white)));
}

TEST_F(MeshdrawPerspectiveView, QuarterTurnMovesTheCameraToPlusX) {
    TestWindow& window = openWindow(400, 400);
    ASSERT_EQ(CreateView(window.id(), 400, 400), 1);
    Set3DView(0, white);
    // Two faces in the plane x = 0, seen edge-on from the start position.
    MeshObject mesh;
    mesh.addPolygon({{0, 10, 20}, {0, 10, 40}, {0, 30, 40}, {0, 30, 20}}, 10);
    mesh.addPolygon({{0, 10, -40}, {0, 10, -20}, {0, 30, -20}, {0, 30, -40}}, 20);
    ASSERT_EQ(mesh.addToLibrary(), 0);
    DrawView();
    EXPECT_TRUE(pixelIs(backPixel(screenOffset(-30), 200), colourOf(white)));

    RotateView(0, static_cast<float>(std::numbers::pi / 2), 0);
    DrawView();
    // From (150, 0, 0) looking at (0, 20, 0), +z is on the left.
    EXPECT_TRUE(pixelIs(backPixel(screenOffset(-30), 200), colourOf(10)));
    EXPECT_TRUE(pixelIs(backPixel(screenOffset(30), 200), colourOf(20)));

    CreateView(window.id(), 400, 400); // a new view starts from (0, 0, -150) again
    Set3DView(0, white);
    DrawView();
    EXPECT_TRUE(pixelIs(backPixel(screenOffset(-30), 200), colourOf(white)));
}

TEST_F(MeshdrawPerspectiveView, WireframeOnWhiteShowsBlackOutlines) {
    TestWindow& window = openWindow(400, 400);
    ASSERT_EQ(CreateView(window.id(), 400, 400), 1);
    Set3DView(2, white);
    MeshObject mesh;
    mesh.addRectangle(-20, 0, 20, 40, 0, 10);
    ASSERT_EQ(mesh.addToLibrary(), 0);
    DrawView();
    EXPECT_TRUE(pixelIs(backPixel(200, 200), colourOf(white)));
    int black = 0;
    for (int x = 0; x < 400; ++x) {
        const Rgb pixel = backPixel(x, 200);
        if (pixel == Rgb{0, 0, 0}) {
            ++black;
        } else {
            ASSERT_TRUE(pixelIs(pixel, colourOf(white))) << "at x " << x;
        }
    }
    EXPECT_GE(black, 2);
    EXPECT_LE(black, 6);

    ResizeView(200, 400); // narrower: the same outline lies closer to the middle
    DrawView();
    EXPECT_TRUE(pixelIs(backPixel(100, 200), colourOf(white)));

    Set3DView(3, 7); // background only, in palette colour 7
    DrawView();
    EXPECT_TRUE(pixelIs(backPixel(100, 200), colourOf(7)));
    EXPECT_TRUE(pixelIs(backPixel(5, 5), colourOf(7)));
}

TEST_F(MeshdrawViewLifetime, UncoveredViewIsDrawnAgainWhenEventsAreProcessed) {
    TestWindow& window = openWindow(200, 200);
    ASSERT_EQ(CreateFront(window.id(), 200, 200), 1);
    SetView(0, white);
    MeshObject mesh;
    mesh.addRectangle(-50, -30, 50, 70, 0, 10);
    ASSERT_EQ(mesh.addToLibrary(), 0);
    DrawFront();
    MeshdrawProcessEvents(); // the exposure of the first mapping
    EXPECT_TRUE(pixelIs(window.screenPixel(100, 100), colourOf(10)));

    {
        TestWindow cover(200, 200); // black, on top, then gone
    }
    EXPECT_FALSE(window.screenPixel(100, 100) == colourOf(10));

    const int fd = MeshdrawEventFd();
    ASSERT_GE(fd, 0);
    pollfd watch{fd, POLLIN, 0};
    EXPECT_EQ(poll(&watch, 1, 2000), 1) << "the exposure did not reach the library";
    EXPECT_EQ(MeshdrawProcessEvents(), 1);
    EXPECT_TRUE(pixelIs(window.screenPixel(100, 100), colourOf(10)));
}

TEST_F(MeshdrawViewLifetime, BadWindowFailsCleanlyAndLaterCallsDoNothing) {
    TestWindow& window = openWindow(100, 100);
    EXPECT_EQ(CreateFront(0x7ffffff1, 100, 100), 0);
    EXPECT_EQ(CreateView(0, 100, 100), 0);
    EXPECT_EQ(MeshdrawEventFd(), -1); // no view, no connection kept
    ResizeFront(50, 50);
    DrawFront();
    DrawView();
    SetView(0, 1);
    Set3DView(0, 1);
    EXPECT_EQ(MeshdrawProcessEvents(), 0);
    // The process and the library still work.
    EXPECT_EQ(CreateFront(window.id(), 100, 100), 1);
    DrawFront();
}

TEST_F(MeshdrawViewLifetime, DestroyedWindowDoesNotEndTheProcess) {
    auto window = std::make_unique<TestWindow>(100, 100);
    ASSERT_EQ(CreateView(window->id(), 100, 100), 1);
    DrawView();
    window.reset(); // the caller's window (and the library's child) are gone
    DrawView();
    ResizeView(80, 80);
    DrawView();
    Cleanup3D();
    DrawView(); // after Cleanup3D nothing is left to draw into
    EXPECT_EQ(MeshdrawEventFd(), -1);
}

// Runs with or without an X server: no display means the create calls fail.
TEST(MeshdrawViewsWithoutDisplay, CreateCallsFailAndOthersDoNothing) {
    const std::string saved = haveDisplay() ? std::getenv("DISPLAY") : "";
    setenv("DISPLAY", "", 1);
    std::vector<GLPaletteEntry> palette = testPalette();
    ArrayRef ref(arrayOf(palette));
    ASSERT_EQ(Initialize(ref.get()), 1);
    EXPECT_EQ(CreateFront(1, 100, 100), 0);
    EXPECT_EQ(CreateTop(1, 100, 100), 0);
    EXPECT_EQ(CreateRight(1, 100, 100), 0);
    EXPECT_EQ(CreateView(1, 100, 100), 0);
    EXPECT_EQ(MeshdrawEventFd(), -1);
    DrawFront();
    DrawView();
    ResizeTop(10, 10);
    RotateView(1, 1, 0);
    SetView(1, 3);
    Set3DView(1, 300);
    // Objects with textures are still stored; they are not uploaded.
    std::uint8_t texel = 5;
    MeshObject mesh;
    mesh.setTexture(mesh.addRectangle(0, 0, 1, 1, 0, 1), &texel, 1, 1);
    mesh.addRectangle(0, 0, 1, 1, 0, 2);
    EXPECT_EQ(mesh.addToLibrary(), 0);
    Cleanup3D();
    setenv("DISPLAY", saved.c_str(), 1);
}

TEST(MeshdrawExports, StoreCallsThroughTheLibrary) {
    EXPECT_EQ(GetAddress(12345), 12345);
    int variable = 0;
    EXPECT_EQ(GetAddress(reinterpret_cast<intptr_t>(&variable)),
              reinterpret_cast<intptr_t>(&variable));

    SafeArray* none = nullptr;
    EXPECT_EQ(Initialize(&none), 0);
    std::vector<GLPaletteEntry> palette = testPalette();
    ArrayRef ref(arrayOf(palette));
    ASSERT_EQ(Initialize(ref.get()), 1);

    // The store rules themselves are tested on the store; here the calls
    // with indices outside it must leave the library working.
    MeshObject mesh;
    mesh.addRectangle(0, 0, 1, 1, 0, 1);
    mesh.addRectangle(0, 0, 1, 1, 0, 2);
    EXPECT_EQ(mesh.addToLibrary(), 0);
    Update3DObject(7, 0, 0, 0, 0, 0);
    Update3DFace(0, 9, 0, 0);
    Remove3DObject(5);
    EXPECT_EQ(mesh.addToLibrary(), 1);
    RemoveAllObjects();
    EXPECT_EQ(mesh.addToLibrary(), 0);
    Initialize(ref.get()); // a new empty store
    EXPECT_EQ(mesh.addToLibrary(), 0);
}
