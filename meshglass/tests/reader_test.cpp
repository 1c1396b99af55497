// The 3DO reader: header, names, vertices, polygons and the piece tree, and
// hostile files that must neither crash, hang nor allocate without bound.
#include "model_test_util.hpp"

#include <testsupport/tdo_writer.hpp>
#include <testsupport/testsupport.hpp>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

using namespace meshglass;
using meshglass_test::childNames;
using meshglass_test::loadBytes;
using testsupport::fixed16;
using testsupport::makeTdo;
using testsupport::TdoPieceSpec;
using testsupport::tdoTriangles;

namespace {

void expectResetPiece(const class3do& piece) {
    EXPECT_EQ(piece.Name, "");
    EXPECT_TRUE(piece.Objects.empty());
    EXPECT_EQ(piece.Header.VersionSignature, 1);
    EXPECT_EQ(piece.Header.SelectionPrimitive, -1);
    EXPECT_EQ(piece.Header.VertexCount, 0);
    EXPECT_EQ(piece.Header.ChildOffset, 0);
    ASSERT_EQ(piece.Vertices.size(), 1u);
    EXPECT_EQ(piece.Vertices[0].x, 0.0f);
    ASSERT_EQ(piece.Primitives.size(), 1u);
    EXPECT_EQ(piece.Primitives[0].Color, -1);
    EXPECT_EQ(piece.Primitives[0].VertexList, std::vector<std::int16_t>{0});
}

TEST(ModelReader, VersionOtherThanOneGivesAnEmptyPiece) {
    TdoPieceSpec root = tdoTriangles("base", 3, 4.0);
    root.version = 2;
    root.children.push_back(tdoTriangles("child", 2));
    const auto loaded = loadBytes(makeTdo(root));
    expectResetPiece(*loaded.root);
    EXPECT_EQ(loaded.root->Position.x, 0.0f);
    EXPECT_TRUE(loaded.messages.empty());
}

TEST(ModelReader, ReadsNameFixedPointVerticesAndHeader) {
    TdoPieceSpec root;
    root.name = "base";
    root.position = {fixed16(10), fixed16(-2.5), 3};
    root.vertices = {{65536, -32768, 0}, {0, 0, fixed16(7.25)}};
    root.selection = 1;
    root.reserved = 77;
    root.primitives = {{5, {0, 1}, {}, {}}, {6, {1, 0}, {}, {}}};
    const auto loaded = loadBytes(makeTdo(root));
    const class3do& piece = *loaded.root;
    EXPECT_EQ(piece.Name, "base");
    EXPECT_EQ(piece.Position.x, 10.0f);
    EXPECT_EQ(piece.Position.y, -2.5f);
    EXPECT_EQ(piece.Position.z, float(3 / 65536.0));
    ASSERT_EQ(piece.Vertices.size(), 2u);
    EXPECT_EQ(piece.Vertices[0].x, 1.0f);
    EXPECT_EQ(piece.Vertices[0].y, -0.5f);
    EXPECT_EQ(piece.Vertices[0].z, 0.0f);
    EXPECT_EQ(piece.Vertices[1].z, 7.25f);
    EXPECT_EQ(piece.Header.SelectionPrimitive, 1);
    EXPECT_EQ(piece.Header.Reserved, 77);
    EXPECT_EQ(piece.Header.VertexCount, 2);
}

TEST(ModelReader, EmptyNameAndHighBytesReadByteByByte) {
    TdoPieceSpec root = tdoTriangles("", 2);
    root.children.push_back(tdoTriangles("\xe9t\xe9", 2));
    const auto loaded = loadBytes(makeTdo(root));
    EXPECT_EQ(loaded.root->Name, "");
    EXPECT_EQ(childNames(*loaded.root), std::vector<std::string>{"\xe9t\xe9"});
}

TEST(ModelReader, ColoursOnlyFromOneTo255) {
    TdoPieceSpec root;
    root.vertices = {{0, 0, 0}, {1, 1, 1}};
    for (int colour : {0, 300, 255, 1, -4}) {
        root.primitives.push_back({colour, {0, 1}, {}, {}});
    }
    const auto loaded = loadBytes(makeTdo(root));
    ASSERT_EQ(loaded.root->Primitives.size(), 5u);
    const std::vector<int> expected{-1, -1, 255, 1, -1};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(loaded.root->Primitives[i].Color, expected[i]) << "polygon " << i;
    }
}

TEST(ModelReader, NoPolygonsOrVerticesKeepTheDefaultElements) {
    TdoPieceSpec root;
    root.name = "empty";
    const auto loaded = loadBytes(makeTdo(root));
    EXPECT_EQ(loaded.root->Name, "empty");
    ASSERT_EQ(loaded.root->Primitives.size(), 1u);
    EXPECT_EQ(loaded.root->Primitives[0].Color, -1);
    EXPECT_EQ(loaded.root->Primitives[0].VertexList, std::vector<std::int16_t>{0});
    EXPECT_EQ(loaded.root->Vertices.size(), 1u);
    EXPECT_TRUE(loaded.messages.empty());
}

TEST(ModelReader, IndexCountOfZeroOrLessReadsOneValue) {
    TdoPieceSpec root;
    root.vertices = {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}};
    root.primitives = {{3, {2, 1}, 0, {}}, {3, {1, 0}, -5, {}}};
    const auto loaded = loadBytes(makeTdo(root));
    EXPECT_EQ(loaded.root->Primitives[0].VertexList, std::vector<std::int16_t>{2});
    EXPECT_EQ(loaded.root->Primitives[1].VertexList, std::vector<std::int16_t>{1});
    EXPECT_TRUE(loaded.messages.empty());
}

TEST(ModelReader, ChildrenThroughChildOffsetAndSiblingChainInFileOrder) {
    TdoPieceSpec root = tdoTriangles("root", 2);
    TdoPieceSpec arm = tdoTriangles("arm", 2);
    arm.children = {tdoTriangles("a", 1), tdoTriangles("b", 1), tdoTriangles("c", 1)};
    root.children = {arm, tdoTriangles("leg", 2)};
    const auto loaded = loadBytes(makeTdo(root));
    EXPECT_EQ(childNames(*loaded.root), (std::vector<std::string>{"arm", "leg"}));
    const class3do* armPiece = loaded.root->Object("arm");
    ASSERT_NE(armPiece, nullptr);
    EXPECT_EQ(childNames(*armPiece), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_TRUE(loaded.root->Object("leg")->Objects.empty());
    EXPECT_EQ(loaded.root->Object("missing"), nullptr);
}

TEST(ModelReader, DuplicateChildNameEndsTheParentsLoadSilently) {
    TdoPieceSpec root = tdoTriangles("root", 2);
    TdoPieceSpec arm = tdoTriangles("arm", 2);
    arm.children = {tdoTriangles("x", 1), tdoTriangles("x", 1), tdoTriangles("y", 1)};
    root.children = {arm, tdoTriangles("leg", 2)};
    const auto loaded = loadBytes(makeTdo(root));
    // The arm keeps its first x; y is not read, and the arm's siblings are not either.
    EXPECT_EQ(childNames(*loaded.root), std::vector<std::string>{"arm"});
    EXPECT_EQ(childNames(*loaded.root->Objects[0]), std::vector<std::string>{"x"});
    EXPECT_TRUE(loaded.messages.empty());
}

TEST(ModelReader, EmptyPieceInAChainEndsThatChain) {
    TdoPieceSpec root = tdoTriangles("root", 2);
    TdoPieceSpec odd = tdoTriangles("odd", 2);
    odd.version = 0;
    root.children = {tdoTriangles("a", 2), odd, tdoTriangles("c", 2)};
    const auto loaded = loadBytes(makeTdo(root));
    EXPECT_EQ(childNames(*loaded.root), (std::vector<std::string>{"a", ""}));
}

TEST(ModelReader, EachFailedPolygonReportsAndTheRestIsRead) {
    TdoPieceSpec root;
    root.vertices = {{0, 0, 0}, {1, 1, 1}};
    root.primitives = {{7, {0, 1}, {}, -3}, {8, {1, 0}, {}, {}}, {9, {0, 1}, 100000, {}}};
    const auto loaded = loadBytes(makeTdo(root));
    ASSERT_EQ(loaded.messages.size(), 2u);
    EXPECT_EQ(loaded.messages[0], "there was an error.");
    // Reading goes on with the polygon's next step: a failed index array
    // leaves the default list, and the colour is still read.
    EXPECT_EQ(loaded.root->Primitives[0].VertexList, std::vector<std::int16_t>{0});
    EXPECT_EQ(loaded.root->Primitives[0].Color, 7);
    EXPECT_EQ(loaded.root->Primitives[1].VertexList, (std::vector<std::int16_t>{1, 0}));
    EXPECT_EQ(loaded.root->Primitives[1].Color, 8);
    EXPECT_EQ(loaded.root->Primitives[2].VertexList, std::vector<std::int16_t>{0});
    EXPECT_EQ(loaded.root->Primitives[2].Color, 9);
}

TEST(ModelReader, PolygonBlockOutsideTheFileIsOneErrorAndNoHugeList) {
    TdoPieceSpec root = tdoTriangles("root", 2);
    root.primitiveCount = 0x7fffffff;
    root.vertexCount = 0x7fffffff;
    root.children.push_back(tdoTriangles("child", 2));
    const auto loaded = loadBytes(makeTdo(root));
    EXPECT_EQ(loaded.messages.size(), 1u);
    EXPECT_EQ(loaded.root->Primitives.size(), 1u);
    EXPECT_EQ(loaded.root->Vertices.size(), 1u);
    EXPECT_EQ(childNames(*loaded.root), std::vector<std::string>{"child"});
}

TEST(ModelReader, NameWithoutEndOrOutsideTheFileEndsTheLoad) {
    TdoPieceSpec root = tdoTriangles("root", 2);
    root.nameOffset = -1;
    root.children.push_back(tdoTriangles("child", 2));
    auto loaded = loadBytes(makeTdo(root));
    EXPECT_TRUE(loaded.root->Objects.empty());
    EXPECT_EQ(loaded.root->Vertices.size(), 1u);

    std::vector<std::uint8_t> bytes = makeTdo(tdoTriangles("root", 2));
    const std::int32_t end = std::int32_t(bytes.size());
    bytes.push_back('a'); // a name running to the end of the file
    std::memcpy(bytes.data() + 28, &end, 4);
    loaded = loadBytes(bytes);
    EXPECT_EQ(loaded.root->Vertices.size(), 1u);
}

TEST(ModelReader, CyclesEndThePieceWhoseChainMeetsThem) {
    // A child whose child is its parent (the root at offset 0).
    TdoPieceSpec root = tdoTriangles("root", 2);
    TdoPieceSpec child = tdoTriangles("child", 2);
    child.childOffset = 0x7fffffff; // patched below
    root.children = {child, tdoTriangles("second", 2)};
    std::vector<std::uint8_t> bytes = makeTdo(root);
    std::int32_t childHeader = 0;
    std::memcpy(&childHeader, bytes.data() + 48, 4);
    const std::int32_t zero = 0, self = childHeader;
    // The child points back at itself: its own load ends, so the chain ends too.
    std::memcpy(bytes.data() + childHeader + 48, &self, 4);
    auto loaded = loadBytes(bytes);
    ASSERT_EQ(childNames(*loaded.root), std::vector<std::string>{"child"});
    EXPECT_TRUE(loaded.root->Objects[0]->Objects.empty());

    // The last sibling points back at the first one.
    std::memcpy(bytes.data() + childHeader + 48, &zero, 4);
    std::int32_t secondHeader = 0;
    std::memcpy(&secondHeader, bytes.data() + childHeader + 44, 4);
    std::memcpy(bytes.data() + secondHeader + 44, &childHeader, 4);
    loaded = loadBytes(bytes);
    EXPECT_EQ(childNames(*loaded.root), (std::vector<std::string>{"child", "second"}));
}

TEST(ModelReader, TreeDeeperThan64EndsAtDepth64) {
    TdoPieceSpec deepest = tdoTriangles("p70", 2);
    for (int level = 69; level >= 1; --level) {
        TdoPieceSpec parent = tdoTriangles("p" + std::to_string(level), 2);
        parent.children.push_back(std::move(deepest));
        deepest = std::move(parent);
    }
    const auto loaded = loadBytes(makeTdo(deepest));
    int depth = 1;
    for (const class3do* piece = loaded.root.get(); !piece->Objects.empty();
         piece = piece->Objects[0].get()) {
        ++depth;
    }
    EXPECT_EQ(depth, MaxPieceDepth);
}

TEST(ModelReader, SharedPiecesCannotMakeTheLoadRunAway) {
    // Every piece names the next one both as child and as sibling: read
    // plainly, 40 levels would be 2^40 piece loads.
    std::vector<std::uint8_t> bytes;
    const int pieces = 40;
    for (int k = 0; k < pieces; ++k) {
        std::vector<std::uint8_t> header(52, 0);
        const std::int32_t fields[13] = {1,
                                         0,
                                         0,
                                         -1,
                                         0,
                                         0,
                                         0,
                                         pieces * 52,
                                         0,
                                         0,
                                         0,
                                         k + 1 < pieces ? (k + 1) * 52 : 0,
                                         k + 1 < pieces ? (k + 1) * 52 : 0};
        std::memcpy(header.data(), fields, 52);
        bytes.insert(bytes.end(), header.begin(), header.end());
    }
    bytes.push_back(0); // every piece's (empty) name
    const auto start = std::chrono::steady_clock::now();
    const auto loaded = loadBytes(bytes);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_FALSE(loaded.root->Objects.empty());
}

TEST(ModelReader, DamagedFilesNeverCrash) {
    TdoPieceSpec root = tdoTriangles("root", 3);
    TdoPieceSpec arm = tdoTriangles("arm", 2, 5);
    arm.children = {tdoTriangles("a", 2), tdoTriangles("b", 4)};
    root.children = {arm, tdoTriangles("leg", 2)};
    const std::vector<std::uint8_t> clean = makeTdo(root);
    std::uint64_t state = 88172645463325252ull;
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::uint8_t> bytes = clean;
        for (std::size_t n = 0; n < 1 + bytes.size() / 100; ++n) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            bytes[state % bytes.size()] = std::uint8_t(state >> 32);
        }
        const auto loaded = loadBytes(bytes);
        ASSERT_NE(loaded.root, nullptr);
    }
}

TEST(ModelReader, OpenRefusesMissingFilesAndCreatesNothing) {
    testsupport::TempDir dir;
    EXPECT_FALSE(ModelFile::open(dir / "missing.3do").has_value());
    EXPECT_FALSE(std::filesystem::exists(dir / "missing.3do"));
    EXPECT_FALSE(ModelFile::open(dir.path()).has_value());
    testsupport::writeFile(dir / "m.3do", makeTdo(tdoTriangles("m", 2)));
    auto file = ModelFile::open(dir / "m.3do");
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(LoadModel(*file)->Name, "m");
}

} // namespace
