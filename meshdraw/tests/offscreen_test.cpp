// The perspective view drawn offscreen: the same camera, modes, textures and
// light as in a window, the camera distance, the highlight, and the read-back.
#include "OffscreenFixture.hpp"

#include <cmath>
#include <memory>

using namespace meshdraw_test;

namespace meshdraw_test {
int Picture::coveredPixels() const {
    int covered = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            covered += at(x, y) != at(0, 0) ? 1 : 0;
        }
    }
    return covered;
}
} // namespace meshdraw_test

namespace {

class MeshdrawOffscreen : public OffscreenFixture {};

// In a 400 x 400 view at distance 150, one model unit is about 3.2 pixels.
constexpr double pixelsPerUnit = 400 / (2 * 150 * 0.41421356);
int screenOffset(double units) {
    return 200 + static_cast<int>(units * pixelsPerUnit);
}

// Where the model point (x, y, 0) lands on a size x size picture (row 0 at
// the top) seen from the start position (0, 20, -150): model +x is on the
// picture's left.
struct Spot {
    int x;
    int y;
};
Spot spotOf(double x, double y, int size) {
    const double scale = size / (2 * 150 * 0.41421356);
    return {int(size / 2 - x * scale), int(size / 2 - (y - 20) * scale)};
}

// The same for any model point after RotateView(a, 0, 0) from the start.
Spot projectedSpot(double x, double y, double z, double a, int size) {
    const double eye[3] = {0, 150 * std::sin(a) + 20, -150 * std::cos(a)};
    double f[3] = {0 - eye[0], 20 - eye[1], 0 - eye[2]};
    const double fl = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
    for (double& c : f) {
        c /= fl;
    }
    // side = f x up (up = +y), then up' = side x f
    double side[3] = {-f[2], 0, f[0]};
    const double sl = std::sqrt(side[0] * side[0] + side[2] * side[2]);
    side[0] /= sl;
    side[2] /= sl;
    const double up[3] = {side[1] * f[2] - side[2] * f[1], side[2] * f[0] - side[0] * f[2],
                          side[0] * f[1] - side[1] * f[0]};
    const double d[3] = {x - eye[0], y - eye[1], z - eye[2]};
    const double xe = d[0] * side[0] + d[1] * side[1] + d[2] * side[2];
    const double ye = d[0] * up[0] + d[1] * up[1] + d[2] * up[2];
    const double ze = d[0] * f[0] + d[1] * f[1] + d[2] * f[2];
    const double half = size / 2.0;
    return {int(half + xe / ze / 0.41421356 * half), int(half - ye / ze / 0.41421356 * half)};
}

} // namespace

TEST_F(MeshdrawOffscreen, DrawsWhatTheWindowViewDrawsAndReadsTopRowFirst) {
    OPEN_OFFSCREEN(400, 400);
    Set3DView(0, white);
    MeshObject mesh;
    mesh.addRectangle(-10, 10, 10, 30, 0, 10); // around the look-at centre (0, 20, 0)
    mesh.addRectangle(-2, -2, 2, 2, 0, 20);    // 20 units below it
    ASSERT_EQ(mesh.addToLibrary(), 0);
    const Picture picture = draw();
    EXPECT_EQ(picture.at(200, 200), colourOf(10));
    // Row 0 is the top: the lower square is below the centre on the picture.
    EXPECT_EQ(picture.at(200, 400 - screenOffset(-20)), colourOf(20));
    EXPECT_EQ(picture.at(5, 5), colourOf(white));

    // A window view cannot join the offscreen one.
    EXPECT_EQ(CreateView(12345, 100, 100), 0);
}

TEST_F(MeshdrawOffscreen, LitFacesFacingDifferentWaysDifferAndWindingDoesNotMatter) {
    OPEN_OFFSCREEN(400, 400);
    Set3DView(1, white);
    RotateView(0.6f, 0, 0); // from above and in front
    MeshObject mesh;
    // A face towards the camera and one facing up, each in both windings.
    mesh.addPolygon({{-30, 0, 0}, {-10, 0, 0}, {-10, 20, 0}, {-30, 20, 0}}, 1);
    mesh.addPolygon({{10, 0, 0}, {10, 20, 0}, {30, 20, 0}, {30, 0, 0}}, 1);
    mesh.addPolygon({{-30, 30, -20}, {-10, 30, -20}, {-10, 30, 0}, {-30, 30, 0}}, 1);
    mesh.addPolygon({{10, 30, -20}, {10, 30, 0}, {30, 30, 0}, {30, 30, -20}}, 1);
    ASSERT_EQ(mesh.addToLibrary(), 0);
    const Picture picture = draw();
    auto brightnessAt = [&](double x, double y, double z) {
        const Spot spot = projectedSpot(x, y, z, 0.6, 400);
        return int(picture.at(spot.x, spot.y)[0]);
    };
    const int frontLeft = brightnessAt(-20, 10, 0);
    const int frontRight = brightnessAt(20, 10, 0);
    const int topLeft = brightnessAt(-20, 30, -10);
    const int topRight = brightnessAt(20, 30, -10);
    // The light is a point: its direction changes a little across a face.
    EXPECT_NEAR(frontLeft, frontRight, 6);
    EXPECT_NEAR(topLeft, topRight, 6);
    EXPECT_GT(std::abs(frontLeft - topLeft), 20) << frontLeft << " " << topLeft;
    EXPECT_LT(frontLeft, 255);
    EXPECT_LT(topLeft, 255);
}

TEST_F(MeshdrawOffscreen, TexturedQuadShowsItsTexelsAndSharesOneSlot) {
    OPEN_OFFSCREEN(400, 400);
    Set3DView(0, white);
    std::uint8_t texels[4] = {10, 20, 30, 40};
    MeshObject mesh;
    // Two quads with the same texture at different places.
    mesh.setTexture(mesh.addRectangle(-40, 0, -10, 40, 0, 99), texels, 2, 2);
    mesh.setTexture(mesh.addRectangle(10, 0, 40, 40, 0, 99), texels, 2, 2);
    ASSERT_EQ(mesh.addToLibrary(), 0);
    const Picture picture = draw();
    // Texel (c, r) covers the quad's quarter from its first corner (x0, 0)
    // c halves along x and r halves along y.
    for (double x0 : {-40.0, 10.0}) {
        auto texelAt = [&](double c, double r) {
            const Spot spot = spotOf(x0 + 7.5 + 15 * c, 10 + 20 * r, 400);
            return picture.at(spot.x, spot.y);
        };
        EXPECT_EQ(texelAt(0, 0), colourOf(10)) << x0;
        EXPECT_EQ(texelAt(1, 0), colourOf(20)) << x0;
        EXPECT_EQ(texelAt(0, 1), colourOf(30)) << x0;
        EXPECT_EQ(texelAt(1, 1), colourOf(40)) << x0;
    }
}

TEST_F(MeshdrawOffscreen, CameraDistanceScalesThePictureAndKeepsTheTurn) {
    OPEN_OFFSCREEN(200, 200);
    Set3DView(0, white);
    MeshObject mesh;
    mesh.addRectangle(-10, 10, 10, 30, 0, 10);
    ASSERT_EQ(mesh.addToLibrary(), 0);
    const int near = draw().coveredPixels();
    EXPECT_FLOAT_EQ(MeshdrawViewDistance(), 150.0f);
    MeshdrawSetViewDistance(300);
    EXPECT_FLOAT_EQ(MeshdrawViewDistance(), 300.0f);
    const int far = draw().coveredPixels();
    EXPECT_NEAR(double(near) / far, 4.0, 0.3);

    // Far beyond the old far plane the model still shows.
    MeshdrawSetViewDistance(3000);
    EXPECT_GT(draw().coveredPixels(), 0);
    // Bounded, and a turned camera keeps its direction.
    MeshdrawSetViewDistance(-5);
    EXPECT_FLOAT_EQ(MeshdrawViewDistance(), 2.0f);
    MeshdrawSetViewDistance(150);
    RotateView(0, 1.5707963f, 0);
    MeshdrawSetViewDistance(75);
    EXPECT_NEAR(MeshdrawViewDistance(), 75.0, 1e-3);
}

TEST_F(MeshdrawOffscreen, HighlightedObjectDrawsInOneColourInEveryMode) {
    OPEN_OFFSCREEN(200, 200);
    MeshObject left;
    left.addRectangle(5, 10, 25, 30, 0, 10);
    MeshObject right;
    right.addRectangle(-25, 10, -5, 30, 0, 10);
    ASSERT_EQ(left.addToLibrary(), 0);
    ASSERT_EQ(right.addToLibrary(), 1);
    MeshdrawHighlightObject(1);
    Set3DView(0, white);
    Picture picture = draw();
    const auto highlight = picture.at(spotOf(-15, 20, 200).x, 100);
    EXPECT_EQ(picture.at(spotOf(15, 20, 200).x, 100), colourOf(10));
    EXPECT_NE(highlight, colourOf(10));
    EXPECT_NE(highlight, colourOf(white));
    Set3DView(2, white);
    picture = draw();
    int highlighted = 0;
    for (int x = 100; x < 200; ++x) {
        highlighted += picture.at(x, 100) == highlight ? 1 : 0;
    }
    EXPECT_GE(highlighted, 2);
    MeshdrawHighlightObject(-1);
    Set3DView(0, white);
    EXPECT_EQ(draw().at(spotOf(-15, 20, 200).x, 100), colourOf(10));
}

TEST_F(MeshdrawOffscreen, ResizeAndReadBackChecks) {
    OPEN_OFFSCREEN(100, 50);
    Set3DView(0, 7);
    ResizeView(60, 80);
    width_ = 60;
    height_ = 80;
    const Picture picture = draw();
    EXPECT_EQ(picture.at(59, 79), colourOf(7));
    std::vector<std::uint8_t> small(100);
    EXPECT_EQ(MeshdrawReadView(small.data(), std::int64_t(small.size())), 0);
    EXPECT_EQ(MeshdrawReadView(nullptr, 60 * 80 * 3), 0);
    Cleanup3D();
    EXPECT_EQ(MeshdrawReadView(small.data(), 60 * 80 * 3), 0);
}
