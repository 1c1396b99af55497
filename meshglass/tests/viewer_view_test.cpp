// The viewer's view beyond its original controls, with a recording renderer:
// the Filled option, the camera fitted to each model, the wheel zoom and the
// textures found beside the model.
#include "Frm3do.hpp"
#include "MeshglassProgram.hpp"
#include "PicViewBox.hpp"
#include "PieceTree.hpp"
#include "RecordingRenderer.hpp"
#include "texture_fixture.hpp"

#include "common/scripted_dialogs.hpp"

#include <testsupport/testsupport.hpp>

#include <QApplication>
#include <QRadioButton>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace meshglass;
using meshglass_test::RecordingRenderer;

namespace {

class ViewerView : public testing::Test {
protected:
    void SetUp() override {
        // No game folder of the machine's own joins the texture lookup.
        setenv("TA_DIR", (dir / "no-game").c_str(), 1);
        std::filesystem::create_directories(dir / "mod" / "objects3d");
        std::filesystem::create_directories(dir / "mod" / "textures");
        testsupport::writeFile(dir / "mod" / "textures" / "plates.gaf",
                               meshglass_test::fixtureTextureGaf());
        testsupport::writeFile(dir / "mod" / "objects3d" / "plates.3do",
                               testsupport::makeTdo(meshglass_test::texturedPiece()));
    }
    void TearDown() override {
        unsetenv("TA_DIR");
        QApplication::restoreOverrideCursor();
    }
    Frm3do& open(MeshglassProgram& program) {
        program.Start(QString::fromStdString((dir / "mod" / "objects3d" / "plates.3do").string()));
        EXPECT_NE(program.main, nullptr);
        return *program.main;
    }
    double lastDistance() const {
        const auto calls = renderer.named("SetViewDistance");
        return calls.empty() ? 0 : calls.back().args[0];
    }
    void wheel(Frm3do& window, int delta) {
        QWheelEvent event(QPointF(10, 10), QPointF(10, 10), QPoint(0, 0), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(window.PicView, &event);
    }

    testsupport::TempDir dir;
    RecordingRenderer renderer;
    common::ScopedScriptedDialogs dialogs;
};

TEST_F(ViewerView, FilledOptionDrawsTheTexturedMode) {
    MeshglassProgram program(renderer);
    Frm3do& window = open(program);
    EXPECT_EQ(window.OptionFilled->text(), "&Filled");
    EXPECT_EQ(window.OptionFilled->objectName(), "OptionFilled");
    renderer.calls.clear();
    window.OptionFilled->click();
    EXPECT_EQ(window.DisplayMode, 0);
    ASSERT_EQ(renderer.calls.size(), 2u);
    EXPECT_EQ(renderer.calls[0].name, "Set3DView");
    EXPECT_EQ(renderer.calls[0].args, (std::vector<double>{0, 255}));
    EXPECT_EQ(renderer.calls[1].name, "DrawView");
}

TEST_F(ViewerView, EachModelIsFittedAndTheWheelZoomsByATenthPerNotch) {
    MeshglassProgram program(renderer);
    Frm3do& window = open(program);
    // Fitted after the pieces are added, then drawn.
    const double fitted = lastDistance();
    EXPECT_GT(fitted, 40);
    EXPECT_LT(fitted, 150);
    EXPECT_EQ(renderer.calls.back().name, "DrawView");

    wheel(window, 120); // away from the user: closer
    EXPECT_NEAR(lastDistance(), fitted / 1.1, 1e-3);
    wheel(window, -240);
    EXPECT_NEAR(lastDistance(), fitted * 1.1, 1e-3);
    wheel(window, 60); // half a notch does nothing yet
    EXPECT_NEAR(lastDistance(), fitted * 1.1, 1e-3);
    for (int k = 0; k < 400; ++k) {
        wheel(window, -120);
    }
    EXPECT_LE(lastDistance(), 100000.0);

    // A model twice the size is fitted twice as far, whatever the zoom was.
    testsupport::TdoPieceSpec big = meshglass_test::texturedPiece();
    for (auto& v : big.vertices) {
        for (auto& c : v) {
            c *= 2;
        }
    }
    testsupport::writeFile(dir / "big.3do", testsupport::makeTdo(big));
    window.Open3DO(QString::fromStdString((dir / "big.3do").string()));
    EXPECT_GT(lastDistance(), fitted * 1.5);
}

TEST_F(ViewerView, TexturesBesideTheModelReachTheFaceRecords) {
    MeshglassProgram program(renderer);
    open(program);
    ASSERT_EQ(renderer.store.objects.size(), 1u);
    const auto& faces = renderer.store.objects[0].faces;
    ASSERT_EQ(faces.size(), 4u);
    for (int k = 0; k < 3; ++k) {
        EXPECT_NE(faces[std::size_t(k)].texture, 0u) << k;
        EXPECT_EQ(faces[std::size_t(k)].textureWidth, 2);
    }
    const auto* texels = reinterpret_cast<const std::uint8_t*>(faces[1].texture);
    EXPECT_EQ(std::vector<std::uint8_t>(texels, texels + 4), meshglass_test::fixtureTexels(1));
    EXPECT_EQ(faces[3].texture, 0u); // a triangle: drawn in the texture's colour
}

TEST_F(ViewerView, PieceTreeShowsThePiecesHighlightsTheSelectedAndHidesUnticked) {
    using testsupport::fixed16;
    testsupport::TdoPieceSpec root = testsupport::tdoTriangles("base", 2);
    testsupport::TdoPieceSpec arm = testsupport::tdoTriangles("arm", 3, 10.0);
    arm.children.push_back(testsupport::tdoTriangles("gun", 2, 5.0));
    root.children = {testsupport::tdoTriangles("empty", 1), arm}; // "empty" is not drawn
    testsupport::writeFile(dir / "tree.3do", testsupport::makeTdo(root));
    MeshglassProgram program(renderer);
    program.Start(QString::fromStdString((dir / "tree.3do").string()));
    Frm3do& window = *program.main;
    PieceTree* tree = window.findChild<PieceTree*>("PieceTree");
    ASSERT_NE(tree, nullptr);
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* base = tree->topLevelItem(0);
    ASSERT_EQ(base->childCount(), 2);
    QTreeWidgetItem* armItem = base->child(1);
    EXPECT_EQ(armItem->text(0), "arm");
    EXPECT_EQ(armItem->text(1), "10, 0, 0");
    EXPECT_EQ(armItem->text(2), "3");
    EXPECT_EQ(armItem->text(3), "3");
    EXPECT_EQ(armItem->child(0)->text(0), "gun");

    // Objects: base 0, arm 1, gun 2 ("empty" has one polygon: not drawn).
    renderer.calls.clear();
    tree->setCurrentItem(armItem->child(0));
    ASSERT_EQ(renderer.named("HighlightObject").size(), 1u);
    EXPECT_EQ(renderer.named("HighlightObject")[0].args[0], 2);
    tree->setCurrentItem(base->child(0));
    EXPECT_EQ(renderer.named("HighlightObject").back().args[0], -1);

    // Unticking the arm leaves out the arm and the gun; the camera stays.
    tree->setCurrentItem(armItem->child(0));
    renderer.calls.clear();
    armItem->setCheckState(0, Qt::Unchecked);
    const auto adds = renderer.named("Add3DObject");
    ASSERT_EQ(adds.size(), 1u);
    EXPECT_EQ(renderer.store.objects[0].name, "base");
    EXPECT_TRUE(renderer.named("SetViewDistance").empty());
    EXPECT_EQ(renderer.named("HighlightObject").back().args[0], -1); // the gun is hidden
    armItem->setCheckState(0, Qt::Checked);
    EXPECT_EQ(renderer.store.objects.size(), 3u);
    EXPECT_EQ(renderer.named("HighlightObject").back().args[0], 2);
}

} // namespace
