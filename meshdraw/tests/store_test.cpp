// The store, palette, array and texture rules; none of them needs a display.
#include "ArrayReader.hpp"
#include "ObjectStore.hpp"
#include "Palette.hpp"
#include "TestArrays.hpp"
#include "TextureImage.hpp"
#include "ViewGeometry.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace meshdraw;
using meshdraw_test::arrayOf;
using meshdraw_test::ArrayRef;
using meshdraw_test::MeshObject;

namespace {

// Two quads sharing nothing: 2 faces, 8 vertices, 8 indices.
MeshObject twoQuads(std::uint8_t colour = 1) {
    MeshObject mesh;
    mesh.addRectangle(0, 0, 1, 1, 0, colour);
    mesh.addRectangle(2, 0, 3, 1, 0, colour);
    return mesh;
}

std::int32_t addMesh(ObjectStore& store, MeshObject& mesh, float x = 0, float y = 0, float z = 0) {
    ArrayRef faces(arrayOf(mesh.faces));
    ArrayRef vertices(arrayOf(mesh.vertices));
    ArrayRef indices(arrayOf(mesh.indices));
    return store.add(faces.get(), vertices.get(), indices.get(), x, y, z);
}

ObjectStore readyStore() {
    ObjectStore store;
    store.reset();
    return store;
}

} // namespace

TEST(MeshdrawSafeArrayRead, CopiesFromLowerToUpperBound) {
    std::vector<GLIndex> values{7, 8, 9};
    ArrayRef ref(arrayOf(values));
    ref.array().lowerBound = -5; // bounds -5..-3 still mean three elements in order
    std::vector<GLIndex> out;
    EXPECT_EQ(readArray(ref.get(), out), ArrayRead::Done);
    EXPECT_EQ(out, values);
}

TEST(MeshdrawSafeArrayRead, UnreadableArraysFail) {
    std::vector<GLIndex> out;
    EXPECT_EQ(readArray<GLIndex>(nullptr, out), ArrayRead::BoundsFailed);
    SafeArray* none = nullptr;
    EXPECT_EQ(readArray<GLIndex>(&none, out), ArrayRead::BoundsFailed);

    SafeArray negative = SafeArrayOver(nullptr, -1, 2);
    SafeArray* negativeRef = &negative;
    EXPECT_EQ(readArray<GLIndex>(&negativeRef, out), ArrayRead::BoundsFailed);

    // Upper bound past INT32_MAX cannot be read.
    std::vector<GLIndex> values{1, 2};
    ArrayRef overflowing(arrayOf(values));
    overflowing.array().lowerBound = INT32_MAX;
    EXPECT_EQ(readArray(overflowing.get(), out), ArrayRead::BoundsFailed);

    // Elements of another size than the record cannot be read.
    std::vector<std::int32_t> wide{1, 2};
    ArrayRef wrongSize(arrayOf(wide));
    EXPECT_EQ(readArray(wrongSize.get(), out), ArrayRead::ElementFailed);

    // An empty array reads as empty.
    SafeArray empty = SafeArrayOver(nullptr, 0, 2);
    SafeArray* emptyRef = &empty;
    EXPECT_EQ(readArray<GLIndex>(&emptyRef, out), ArrayRead::Done);
    EXPECT_TRUE(out.empty());
}

TEST(MeshdrawPaletteAssign, TakesAtMost256EntriesAndKeepsThemOnFailure) {
    std::vector<GLPaletteEntry> entries = meshdraw_test::testPalette();
    entries.resize(300, GLPaletteEntry{1, 2, 3, 0});
    ArrayRef ref(arrayOf(entries));
    Palette palette;
    ASSERT_TRUE(palette.assign(ref.get()));
    EXPECT_EQ(palette[255].red, 255);
    EXPECT_EQ(palette[7].red, 7);
    EXPECT_EQ(palette[7].green, static_cast<std::uint8_t>(7 * 37));

    // A failed read leaves the table as it was.
    std::vector<std::uint8_t> bytes(16, 0);
    ArrayRef wrong(arrayOf(bytes));
    EXPECT_FALSE(palette.assign(wrong.get()));
    EXPECT_FALSE(palette.assign(nullptr));
    EXPECT_EQ(palette[7].red, 7);
}

TEST(MeshdrawObjectStoreAdd, CopiesTwoFacesFourVerticesSixIndices) {
    MeshObject mesh;
    mesh.faces.resize(2);
    mesh.faces[0] = GLFace{3, 0, 3, 0, 0, 0, 0};
    mesh.faces[1] = GLFace{4, 0, 3, 0, 0, 3, 0};
    mesh.vertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    mesh.indices = {0, 1, 2, 0, 2, 3};
    ObjectStore store = readyStore();
    ASSERT_EQ(addMesh(store, mesh, 1, 2, 3), 0);
    mesh.vertices[0].x = 99; // the caller's arrays are its own
    mesh.indices[0] = 3;

    const GLObject& object = store.object(0);
    EXPECT_EQ(object.faceCount(), 2);
    EXPECT_EQ(object.vertices.size(), 4u);
    EXPECT_EQ(object.indices.size(), 6u);
    EXPECT_EQ(object.slots.size(), 2u);
    EXPECT_EQ(object.vertices[0].x, 0);
    EXPECT_EQ(object.indices[0], 0);
    EXPECT_EQ(object.faces[1].colour, 4);
    EXPECT_EQ(object.faces[1].firstIndex, 3);
    EXPECT_EQ(object.x, 1);
    EXPECT_EQ(object.z, 3);
    EXPECT_NE(object.checkedRun(0), nullptr);
    EXPECT_NE(object.checkedRun(1), nullptr);
}

TEST(MeshdrawObjectStoreAdd, FullStoreRefusesThe256thObject) {
    ObjectStore store = readyStore();
    MeshObject mesh = twoQuads();
    for (int k = 0; k < ObjectStore::capacity; ++k) {
        ASSERT_EQ(addMesh(store, mesh, static_cast<float>(k)), k);
    }
    EXPECT_EQ(addMesh(store, mesh), -1);
    EXPECT_EQ(store.count(), 255);
    EXPECT_EQ(store.object(254).x, 254);

    store.reset();
    EXPECT_EQ(store.count(), 0);
    EXPECT_EQ(addMesh(store, mesh), 0);
}

TEST(MeshdrawObjectStoreAdd, FailuresGiveTheirResultAndLeaveTheStoreAlone) {
    ObjectStore notMade;
    MeshObject mesh = twoQuads();
    EXPECT_EQ(addMesh(notMade, mesh), -1);
    EXPECT_EQ(notMade.count(), 0);

    ObjectStore store = readyStore();
    ASSERT_EQ(addMesh(store, mesh), 0);
    ArrayRef faces(arrayOf(mesh.faces));
    ArrayRef vertices(arrayOf(mesh.vertices));
    ArrayRef indices(arrayOf(mesh.indices));
    SafeArray* none = nullptr;
    std::vector<std::uint8_t> bytes(24);
    ArrayRef wrongSize(arrayOf(bytes));

    EXPECT_EQ(store.add(&none, vertices.get(), indices.get(), 0, 0, 0), -1);
    EXPECT_EQ(store.add(faces.get(), &none, indices.get(), 0, 0, 0), 0);
    EXPECT_EQ(store.add(faces.get(), vertices.get(), &none, 0, 0, 0), 0);
    EXPECT_EQ(store.add(wrongSize.get(), vertices.get(), indices.get(), 0, 0, 0), -1);
    EXPECT_EQ(store.add(faces.get(), wrongSize.get(), indices.get(), 0, 0, 0), 0);
    EXPECT_EQ(store.add(faces.get(), vertices.get(), wrongSize.get(), 0, 0, 0), 0);
    EXPECT_EQ(store.count(), 1);
    EXPECT_EQ(store.add(faces.get(), vertices.get(), indices.get(), 0, 0, 0), 1);
}

TEST(MeshdrawObjectStoreRemove, LaterObjectsMoveDownWhole) {
    ObjectStore store = readyStore();
    for (int k = 0; k < 3; ++k) {
        MeshObject mesh;
        for (int f = 0; f <= k; ++f) {
            mesh.addRectangle(0, 0, 1, 1, 0, static_cast<std::uint8_t>(10 * k + f));
        }
        ASSERT_EQ(addMesh(store, mesh, static_cast<float>(k), 0, static_cast<float>(-k)), k);
    }
    store.remove(0);
    ASSERT_EQ(store.count(), 2);
    for (int k = 0; k < 2; ++k) {
        const GLObject& object = store.object(k);
        EXPECT_EQ(object.x, k + 1);
        EXPECT_EQ(object.z, -(k + 1));
        ASSERT_EQ(object.faceCount(), k + 2);
        EXPECT_EQ(object.vertices.size(), 4u * (k + 2));
        EXPECT_EQ(object.indices.size(), 4u * (k + 2));
        EXPECT_EQ(object.faces.back().colour, 10 * (k + 1) + k + 1);
    }
    store.remove(2); // outside the store: nothing happens
    store.remove(-1);
    EXPECT_EQ(store.count(), 2);
}

TEST(MeshdrawObjectStoreUpdate, SetsPositionMarksAndTextures) {
    ObjectStore store = readyStore();
    MeshObject mesh = twoQuads();
    ASSERT_EQ(addMesh(store, mesh), 0);
    store.update(0, 0x7f, 5, 6, 7);
    const GLObject& object = store.object(0);
    EXPECT_EQ(object.x, 5);
    EXPECT_EQ(object.y, 6);
    EXPECT_EQ(object.z, 7);
    EXPECT_EQ(object.faces[0].mark, 0x7f);
    EXPECT_EQ(object.faces[1].mark, 0x7f);

    store.updateFace(0, 1, 3, 0x1234);
    EXPECT_EQ(object.faces[1].mark, 3);
    EXPECT_EQ(object.faces[1].texture, 0x1234u);
    EXPECT_EQ(object.faces[0].texture, 0u);
    EXPECT_EQ(object.slots[1].name, -1); // no upload by this call

    // Indices outside the store or the object are ignored.
    store.update(1, 0, 0, 0, 0);
    store.updateFace(0, 2, 0, 0);
    store.updateFace(0, -1, 0, 0);
    EXPECT_EQ(object.faces[1].mark, 3);
}

TEST(MeshdrawObjectFaces, RunsOutsideTheCopiesAreRefused) {
    ObjectStore store = readyStore();
    MeshObject mesh;
    mesh.vertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}};
    mesh.indices = {0, 1, 2, 3, -1};
    mesh.faces = {
        GLFace{1, 0, 3, 0, 0, 0, 0},  // good
        GLFace{1, 0, 3, 0, 0, 3, 0},  // run ends past the index array
        GLFace{1, 0, 3, 0, 0, 1, 0},  // index 3 names no vertex
        GLFace{1, 0, 1, 0, 0, 4, 0},  // negative vertex index
        GLFace{1, 0, 3, 0, 0, -1, 0}, // negative first index
        GLFace{1, 0, 0, 0, 0, 0, 0},  // no vertices
    };
    ASSERT_EQ(addMesh(store, mesh), 0);
    const GLObject& object = store.object(0);
    EXPECT_NE(object.checkedRun(0), nullptr);
    for (int f = 1; f < object.faceCount(); ++f) {
        EXPECT_EQ(object.checkedRun(f), nullptr) << "face " << f;
    }
}

TEST(MeshdrawTexturePadding, SidesGrowToTheNextPowerOfTwoFrom16) {
    EXPECT_EQ(paddedSide(1), 16);
    EXPECT_EQ(paddedSide(16), 16);
    EXPECT_EQ(paddedSide(17), 32);
    EXPECT_EQ(paddedSide(100), 128);
    EXPECT_EQ(paddedSide(200), 256);
    EXPECT_EQ(paddedSide(256), 256);
    EXPECT_EQ(paddedSide(257), 0);
    EXPECT_EQ(paddedSide(0), 0);
    EXPECT_EQ(paddedSide(-4), 0);
}

TEST(MeshdrawTexturePadding, TexelsLandAtTheirPlaceAndThePaddingStaysBlack) {
    std::vector<GLPaletteEntry> entries = meshdraw_test::testPalette();
    ArrayRef ref(arrayOf(entries));
    Palette palette;
    ASSERT_TRUE(palette.assign(ref.get()));

    const int width = 20;
    const int height = 100;
    std::vector<std::uint8_t> texels(width * height, 255);
    texels[99 * width + 19] = 200;
    const std::vector<std::uint8_t> image = paddedImage(texels.data(), width, height, palette);
    ASSERT_EQ(image.size(), 32u * 128u * 3u);
    const std::size_t corner = (99 * 32 + 19) * 3;
    EXPECT_EQ(image[corner], 200);
    EXPECT_EQ(image[corner + 1], static_cast<std::uint8_t>(200 * 37));
    EXPECT_EQ(image[corner + 2], static_cast<std::uint8_t>(200 * 101));
    EXPECT_EQ(image[0], 255);
    for (int r = 0; r < 128; ++r) {
        for (int c = 0; c < 32; ++c) {
            if (r < height && c < width) {
                continue;
            }
            const std::size_t at = (static_cast<std::size_t>(r) * 32 + c) * 3;
            ASSERT_EQ(image[at] | image[at + 1] | image[at + 2], 0) << c << "," << r;
        }
    }

    std::vector<std::uint8_t> tall(200 * 256, 1);
    EXPECT_EQ(paddedImage(tall.data(), 200, 256, palette).size(), 256u * 256u * 3u);
    EXPECT_TRUE(paddedImage(tall.data(), 257, 1, palette).empty());
    EXPECT_TRUE(paddedImage(nullptr, 4, 4, palette).empty());
}

// The extents themselves are checked on screen by the drawing tests.
TEST(MeshdrawViewGeometry, CollapsedWindowGivesFiniteExtents) {
    EXPECT_TRUE(std::isfinite(orthoFor(300, 0).left));
    EXPECT_TRUE(std::isfinite(orthoFor(0, 300).top));
    EXPECT_TRUE(std::isfinite(aspectFor(0, 0)));
}

TEST(MeshdrawViewGeometry, CameraTurnsAboutTheOriginKeepingItsDistance) {
    Camera camera;
    camera.reset();
    camera.rotate(0, std::numbers::pi / 2);
    EXPECT_NEAR(camera.x, 150, 1e-4);
    EXPECT_NEAR(camera.y, 0, 1e-4);
    EXPECT_NEAR(camera.z, 0, 1e-4);

    camera.reset();
    camera.rotate(std::numbers::pi / 2, 0); // Y-Z plane: (0, 0, -150) -> (0, 150, 0)
    EXPECT_NEAR(camera.y, 150, 1e-4);
    EXPECT_NEAR(camera.z, 0, 1e-4);

    camera.reset();
    for (int k = 0; k < 100; ++k) {
        camera.rotate(0.3, -0.7);
    }
    const double distance =
        std::sqrt(camera.x * camera.x + camera.y * camera.y + camera.z * camera.z);
    EXPECT_NEAR(distance, 150, 1e-2);
}
