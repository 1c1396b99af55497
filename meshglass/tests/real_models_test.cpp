// Every real model loads without a reader message, with the pieces, depth,
// vertices and polygons its file holds.
#include "meshglass/ModelFile.hpp"
#include "meshglass/ModelText.hpp"
#include "meshglass/class3do.hpp"

#include <testsupport/testsupport.hpp>

#include <gtest/gtest.h>

#include <map>

using namespace meshglass;

namespace {

struct Counts {
    int pieces = 0;
    int depth = 0;
    int vertices = 0;
    int polygons = 0;
    int withoutPolygons = 0;
    std::map<std::size_t, int> polygonSizes;
};

void count(const class3do& piece, int depth, Counts& counts) {
    ++counts.pieces;
    counts.depth = std::max(counts.depth, depth);
    counts.vertices += piece.Header.VertexCount;
    counts.polygons += piece.Header.PrimitiveCount;
    if (piece.Header.PrimitiveCount == 0) {
        ++counts.withoutPolygons;
    } else {
        for (const class3dPrimitive& primitive : piece.Primitives) {
            ++counts.polygonSizes[primitive.VertexList.size()];
        }
    }
    for (const auto& child : piece.Objects) {
        count(*child, depth + 1, counts);
    }
}

struct Expected {
    const char* file;
    int pieces, depth, vertices, polygons, withoutPolygons;
};

void PrintTo(const Expected& expected, std::ostream* out) {
    *out << expected.file;
}

class RealModels : public testing::TestWithParam<Expected> {};

TEST_P(RealModels, LoadWholeWithoutMessages) {
    const Expected& expected = GetParam();
    TOOLKIT_REQUIRE_REAL(std::string("3do/") + expected.file, path);
    auto file = ModelFile::open(path);
    ASSERT_TRUE(file.has_value());
    int messages = 0;
    file->onError = [&](std::string_view) { ++messages; };
    auto root = LoadModel(*file);
    EXPECT_EQ(messages, 0);
    Counts counts;
    count(*root, 1, counts);
    EXPECT_EQ(counts.pieces, expected.pieces);
    EXPECT_EQ(counts.depth, expected.depth);
    EXPECT_EQ(counts.vertices, expected.vertices);
    EXPECT_EQ(counts.polygons, expected.polygons);
    EXPECT_EQ(counts.withoutPolygons, expected.withoutPolygons);

    // Every piece with polygons is handed over whole: no face names a
    // missing vertex in a real model.
    CollectingRenderer renderer;
    BuildModel(*root, renderer);
    EXPECT_EQ(renderer.draws, expected.pieces);
    int faces = 0;
    for (const CollectedObject& object : renderer.objects) {
        faces += int(object.faces.size());
    }
    EXPECT_GT(renderer.objects.size(), 0u);
    EXPECT_LE(faces, expected.polygons);
}

// Counts taken from the files' own headers by an independent reading.
INSTANTIATE_TEST_SUITE_P(Files, RealModels,
                         testing::Values(Expected{"armcom.3do", 16, 6, 573, 409, 0},
                                         Expected{"armmav.3do", 26, 10, 272, 158, 2},
                                         Expected{"corbhmth.3do", 13, 5, 634, 410, 0},
                                         Expected{"cormlk.3do", 37, 9, 227, 125, 0}),
                         [](const auto& info) {
                             std::string name = info.param.file;
                             return name.substr(0, name.find('.'));
                         });

TEST(RealModelShapes, CommanderHasLinesAndSixAndNineGons) {
    TOOLKIT_REQUIRE_REAL("3do/armcom.3do", path);
    auto file = ModelFile::open(path);
    ASSERT_TRUE(file.has_value());
    Counts counts;
    count(*LoadModel(*file), 1, counts);
    EXPECT_GT(counts.polygonSizes[2], 0);
    EXPECT_GT(counts.polygonSizes[6], 0);
    EXPECT_GT(counts.polygonSizes[9], 0);
}

} // namespace
