// From the piece tree to renderer objects: accumulated positions, the index
// list with the selection polygon's zero run, the "at least two" rule, one
// redraw per piece, and faces naming missing vertices left out.
#include "model_test_util.hpp"

#include "meshglass/ModelText.hpp"

#include <testsupport/tdo_writer.hpp>

#include <gtest/gtest.h>

using namespace meshglass;
using meshglass_test::loadBytes;
using testsupport::fixed16;
using testsupport::makeTdo;
using testsupport::TdoPieceSpec;
using testsupport::tdoTriangles;

namespace {

CollectingRenderer build(const TdoPieceSpec& root) {
    auto loaded = loadBytes(makeTdo(root));
    CollectingRenderer renderer;
    renderer.objects.push_back({}); // must be removed by BuildModel
    BuildModel(*loaded.root, renderer);
    return renderer;
}

TEST(ModelRecords, PiecesArePlacedAtTheSumOfTheirAncestorsPositions) {
    TdoPieceSpec root = tdoTriangles("root", 2);
    TdoPieceSpec second = tdoTriangles("second", 2, 20.0);
    second.children.push_back(tdoTriangles("grandchild", 2, 5.0));
    second.children[0].position[1] = fixed16(-1.5);
    root.children = {tdoTriangles("first", 2, 10.0), second};
    const CollectingRenderer renderer = build(root);
    ASSERT_EQ(renderer.objects.size(), 4u);
    EXPECT_EQ(renderer.objects[0].name, "root");
    EXPECT_EQ(renderer.objects[1].x, 10.0f);
    EXPECT_EQ(renderer.objects[2].x, 20.0f);
    EXPECT_EQ(renderer.objects[3].name, "grandchild");
    EXPECT_EQ(renderer.objects[3].x, 25.0f);
    EXPECT_EQ(renderer.objects[3].y, -1.5f);
    EXPECT_EQ(renderer.draws, 4);
}

TEST(ModelRecords, IndexListFacesAndTheSelectionPolygon) {
    TdoPieceSpec root;
    root.name = "hull";
    root.vertices = {{0, 0, 0}, {fixed16(1), 0, 0}, {0, fixed16(1), 0}, {0, 0, fixed16(1)}};
    root.primitives = {{12, {0, 1, 2}, {}, {}}, {0, {3, 2, 1, 0}, {}, {}}, {40, {1, 3}, {}, {}}};
    root.selection = 1;
    const CollectingRenderer renderer = build(root);
    ASSERT_EQ(renderer.objects.size(), 1u);
    const CollectedObject& object = renderer.objects[0];
    EXPECT_EQ(object.indices, (std::vector<std::int16_t>{0, 1, 2, 0, 0, 0, 0, 1, 3}));
    ASSERT_EQ(object.faces.size(), 3u);
    EXPECT_EQ(object.faces[0].firstIndex, 0);
    EXPECT_EQ(object.faces[1].firstIndex, 3);
    EXPECT_EQ(object.faces[2].firstIndex, 7);
    EXPECT_EQ(object.faces[1].vertexCount, 4);
    EXPECT_EQ(object.faces[0].colour, 12);
    EXPECT_EQ(object.faces[1].colour, 0); // colour -1 leaves the zeroed record's 0
    EXPECT_EQ(object.faces[2].colour, 40);
    EXPECT_EQ(object.faces[2].texture, 0u);
    EXPECT_EQ(object.faces[2].mark, 0);
    EXPECT_EQ(object.vertices.size(), 4u);
    EXPECT_EQ(object.vertices[3].z, 1.0f);
}

TEST(ModelRecords, PiecesWithASinglePolygonVertexOrIndexAreNotHandedOver) {
    TdoPieceSpec root;
    root.name = "quad"; // one polygon of four vertices
    root.vertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    root.primitives = {{5, {0, 1, 2, 3}, {}, {}}};
    TdoPieceSpec oneVertex;
    oneVertex.name = "dot";
    oneVertex.vertices = {{0, 0, 0}};
    oneVertex.primitives = {{5, {0}, {}, {}}, {5, {0}, {}, {}}};
    TdoPieceSpec noPolygons;
    noPolygons.name = "empty";
    noPolygons.vertices = {{0, 0, 0}, {1, 1, 1}};
    root.children = {oneVertex, noPolygons, tdoTriangles("tri", 2, 3.0)};
    const CollectingRenderer renderer = build(root);
    ASSERT_EQ(renderer.objects.size(), 1u);
    EXPECT_EQ(renderer.objects[0].name, "tri");
    EXPECT_EQ(renderer.draws, 4); // still one redraw per piece
}

TEST(ModelRecords, FacesNamingMissingVerticesAreDropped) {
    TdoPieceSpec root;
    root.name = "bent";
    root.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    root.primitives = {{3, {0, 7, 2}, {}, {}},
                       {4, {2, 1, 0}, {}, {}},
                       {5, {-1, 0, 1}, {}, {}},
                       {6, {0, 1}, {}, {}}};
    const CollectingRenderer renderer = build(root);
    ASSERT_EQ(renderer.objects.size(), 1u);
    const CollectedObject& object = renderer.objects[0];
    ASSERT_EQ(object.faces.size(), 2u);
    EXPECT_EQ(object.faces[0].colour, 4);
    EXPECT_EQ(object.faces[0].firstIndex, 0);
    EXPECT_EQ(object.faces[1].colour, 6);
    EXPECT_EQ(object.faces[1].firstIndex, 3);
    EXPECT_EQ(object.indices, (std::vector<std::int16_t>{2, 1, 0, 0, 1}));
}

TEST(ModelRecords, PieceWhoseFacesAllNameMissingVerticesIsNotAdded) {
    TdoPieceSpec root;
    root.vertices = {{0, 0, 0}, {1, 0, 0}};
    root.primitives = {{3, {0, 9}, {}, {}}, {4, {5, 1}, {}, {}}};
    root.children = {tdoTriangles("kept", 2)};
    const CollectingRenderer renderer = build(root);
    ASSERT_EQ(renderer.objects.size(), 1u);
    EXPECT_EQ(renderer.objects[0].name, "kept");
}

TEST(ModelText, JsonOfTheTreeAndObjects) {
    TdoPieceSpec root;
    root.name = "base\"q";
    root.position = {fixed16(1.5), 0, 0};
    root.vertices = {{65536, -32768, 0}, {fixed16(1.0 / 3), 0, 0}};
    root.primitives = {{300, {0, 1}, {}, {}}, {9, {1, 0}, {}, {}}};
    root.children = {tdoTriangles("c", 1)};
    auto loaded = loadBytes(makeTdo(root));
    const std::string json = ModelJson(*loaded.root, 0);
    EXPECT_NE(json.find("{\"errors\":0,\"root\":{\"name\":\"base\\\"q\",\"position\":[1.5,0,0]"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"vertices\":[[1,-0.5,0],[0.333328,0,0]]"), std::string::npos) << json;
    EXPECT_NE(json.find("\"primitives\":[{\"color\":-1,\"indices\":[0,1]},{\"color\":9"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"SelectionPrimitive\":-1,\"XFromParent\":98304"), std::string::npos);
    EXPECT_NE(json.find("\"children\":[{\"name\":\"c\""), std::string::npos);

    CollectingRenderer renderer;
    BuildModel(*loaded.root, renderer);
    EXPECT_EQ(ObjectsJson(renderer.objects, 2),
              "{\"errors\":2,\"objects\":[{\"name\":\"base\\\"q\",\"position\":[1.5,0,0],"
              "\"faces\":2,\"vertices\":2,\"indices\":4}]}\n");
}

TEST(ModelText, ObjExportGroupsPlacedPiecesAndPaletteMaterials) {
    TdoPieceSpec root;
    root.name = "my base";
    root.position = {fixed16(10), 0, 0};
    root.vertices = {{0, 0, 0}, {fixed16(1), 0, 0}, {0, fixed16(1), 0}};
    root.primitives = {{7, {0, 1, 2}, {}, {}}, {7, {0, 1}, {}, {}}, {8, {2, 1, 0}, {}, {}}};
    root.selection = 2;
    root.children = {tdoTriangles("arm", 2, 1.0)};
    auto loaded = loadBytes(makeTdo(root));
    CollectingRenderer renderer;
    BuildModel(*loaded.root, renderer);
    const std::string obj = ObjText(renderer.objects, "m.mtl");
    EXPECT_EQ(obj.substr(0, obj.find("g arm")),
              "# 3DO model export\nmtllib m.mtl\ng my_base\nv 10 0 0\nv 11 0 0\nv 10 1 0\n"
              "usemtl colour_7\nf 1 2 3\nl 1 2\n");
    EXPECT_NE(obj.find("g arm\nv 11 0 0\nv 12 0 0\nv 11 1 0\nusemtl colour_1\nf 4 5 6\n"),
              std::string::npos)
        << obj;
    std::array<std::uint8_t, 1024> palette{};
    palette[4 * 7 + 2] = 255; // red of colour 7
    palette[4 * 1 + 0] = 51;  // blue of colour 1
    const std::string mtl = MtlText(renderer.objects, palette);
    EXPECT_NE(mtl.find("newmtl colour_7\nKd 1 0 0\n"), std::string::npos) << mtl;
    EXPECT_NE(mtl.find("newmtl colour_1\nKd 0 0 0.2\n"), std::string::npos) << mtl;
    EXPECT_NE(mtl.find("newmtl colour_8\n"), std::string::npos);
}

} // namespace
