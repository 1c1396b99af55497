// The viewer's windows with a recording renderer: start-up, settings, model
// loading and its messages, draw modes and the mouse rotation.
#include "MeshglassProgram.hpp"
#include "MeshglassSettings.hpp"
#include "PicViewBox.hpp"
#include "RecordingRenderer.hpp"

#include "common/scripted_dialogs.hpp"
#include "common/settings_store.hpp"

#include <testsupport/tdo_writer.hpp>
#include <testsupport/testsupport.hpp>

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace meshglass;
using meshglass_test::RecordingRenderer;
using testsupport::fixed16;
using testsupport::TdoPieceSpec;
using testsupport::tdoTriangles;

namespace {

QString modelWithGrandchild(const testsupport::TempDir& dir) {
    TdoPieceSpec root = tdoTriangles("root", 2);
    TdoPieceSpec second = tdoTriangles("second", 2, 20.0);
    second.children.push_back(tdoTriangles("grandchild", 2, 5.0));
    root.children = {tdoTriangles("first", 2, 10.0), second};
    const auto path = dir / "unit model.3do";
    testsupport::writeFile(path, testsupport::makeTdo(root));
    return QString::fromStdString(path.string());
}

void writeOpenGLType(const char* value) {
    const auto store = common::SettingsStore::forCurrentUser();
    ASSERT_TRUE(store.write("Meshglass", "Display", "OpenGLType", value));
}

class ViewerWindow : public testing::Test {
protected:
    void SetUp() override {
        std::filesystem::remove_all(
            common::SettingsStore::forCurrentUser().fileOf("Meshglass").parent_path());
    }
    void TearDown() override { QApplication::restoreOverrideCursor(); }

    testsupport::TempDir dir;
    RecordingRenderer renderer;
    common::ScopedScriptedDialogs dialogs;
};

TEST_F(ViewerWindow, WithoutCommandLineOnlyThePresentationShowsAndOkEnds) {
    MeshglassProgram program(renderer);
    program.Start(QString());
    EXPECT_TRUE(program.presentation->isVisible());
    EXPECT_EQ(program.main, nullptr);
    EXPECT_TRUE(renderer.calls.empty());
    program.presentation->cmdOK->click();
    EXPECT_FALSE(program.presentation->isVisible());
    EXPECT_TRUE(program.ended);
}

TEST_F(ViewerWindow, CommandLineModelIsBuiltWithAccumulatedPositions) {
    MeshglassProgram program(renderer);
    program.Start(modelWithGrandchild(dir)); // a path with a blank, unquoted
    ASSERT_NE(program.main, nullptr);
    EXPECT_TRUE(program.main->isVisible());
    EXPECT_FALSE(program.presentation->isVisible());
    EXPECT_EQ(program.main->windowTitle(), "Meshglass");
    EXPECT_TRUE(program.main->OptionWireFrame->isChecked());
    const auto adds = renderer.named("Add3DObject");
    ASSERT_EQ(adds.size(), 4u);
    EXPECT_EQ(adds[3].args[0], 25.0);
    EXPECT_EQ(renderer.store.objects[3].name, "grandchild");
    // The set-up order, then one redraw per piece.
    std::vector<std::string> order;
    for (const auto& call : renderer.calls) {
        if (call.name != "ResizeView" && (order.empty() || order.back() != call.name)) {
            order.push_back(call.name);
        }
    }
    EXPECT_EQ(order[0], "Initialize");
    EXPECT_EQ(order[1], "CreateView");
    EXPECT_EQ(order[2], "Set3DView");
    EXPECT_EQ(order[3], "RemoveAllObjects");
    EXPECT_EQ(renderer.named("Set3DView")[0].args, (std::vector<double>{2, 255}));
    // The game palette from palette.dat beside the program: entry 255 is
    // not black in it.
    EXPECT_NE(renderer.palette[4 * 255] | renderer.palette[4 * 255 + 1], 0);
    EXPECT_TRUE(dialogs->calls.empty());
}

TEST_F(ViewerWindow, OpenGLTypeSettingChoosesTheStartMode) {
    EXPECT_EQ(DisplayModeSetting(), 2);
    writeOpenGLType("1");
    MeshglassProgram program(renderer);
    program.Start(modelWithGrandchild(dir));
    EXPECT_EQ(program.main->DisplayMode, 1);
    EXPECT_EQ(renderer.named("Set3DView")[0].args, (std::vector<double>{1, 255}));
    EXPECT_TRUE(program.main->OptionWireFrame->isChecked()); // shown selected all the same
    renderer.calls.clear();
    program.main->OptionWireFrame->click();
    EXPECT_EQ(program.main->DisplayMode, 2);
    ASSERT_EQ(renderer.calls.size(), 2u);
    EXPECT_EQ(renderer.calls[0].args, (std::vector<double>{2, 255}));
    EXPECT_EQ(renderer.calls[1].name, "DrawView");
    program.main->OptionGouraudShaded->click();
    EXPECT_EQ(renderer.calls[2].args, (std::vector<double>{1, 255}));
    EXPECT_EQ(RoundedNumberOf(" 1.5"), 2);
    EXPECT_EQ(RoundedNumberOf("2.5"), 2);
    EXPECT_EQ(RoundedNumberOf("0x1"), 0);
    EXPECT_EQ(RoundedNumberOf("filled"), 0);
    EXPECT_EQ(RoundedNumberOf("-1e1z"), -10);
}

TEST_F(ViewerWindow, ThirtyPixelDragTurnsTheCameraOneRadian) {
    MeshglassProgram program(renderer);
    program.Start(modelWithGrandchild(dir));
    PicViewBox* view = program.main->PicView;
    renderer.calls.clear();
    QTest::mouseMove(view, QPoint(100, 100)); // no button: nothing turns
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(100, 100));
    for (int x = 110; x <= 130; x += 10) {
        QMouseEvent move(QEvent::MouseMove, QPointF(x, 100), view->mapToGlobal(QPointF(x, 100)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &move);
    }
    double b = 0, a = 0;
    for (const auto& call : renderer.named("RotateView")) {
        a += call.args[0];
        b += call.args[1];
    }
    EXPECT_NEAR(b, 1.0, 1e-6);
    EXPECT_NEAR(a, 0.0, 1e-9);
    EXPECT_EQ(renderer.named("RotateView").size(), 6u); // two steps per move with the button held
    // Dragging up turns by a positive angle in the Y-Z plane.
    program.main->PicView_MouseMove(Qt::LeftButton, 130, 85);
    EXPECT_NEAR(renderer.calls[renderer.calls.size() - 2].args[0], 0.5, 1e-6);
    EXPECT_EQ(program.main->LastY, 85);
}

TEST_F(ViewerWindow, MissingFileShowsTheLoadErrorKeepsTheModelAndCreatesNothing) {
    MeshglassProgram program(renderer);
    program.Start(modelWithGrandchild(dir));
    class3do* shown = program.main->CurrentModel.get();
    renderer.calls.clear();
    const auto missing = dir / "gone.3do";
    program.main->Open3DO(QString::fromStdString(missing.string()));
    EXPECT_EQ(
        dialogs->messages(),
        std::vector<QString>{"Load 3do|There was an error loading the 3do file you selected."});
    EXPECT_EQ(dialogs->calls[0].icon, common::MessageIcon::Warning);
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_EQ(program.main->CurrentModel.get(), shown);
    EXPECT_TRUE(renderer.calls.empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ViewerWindow, ReaderErrorsShowOneMessageEach) {
    TdoPieceSpec root = tdoTriangles("root", 3);
    root.primitives[0].indexOffset = -8;
    root.primitives[2].indexOffset = 1 << 29;
    testsupport::writeFile(dir / "bad.3do", testsupport::makeTdo(root));
    MeshglassProgram program(renderer);
    program.Start(QString::fromStdString((dir / "bad.3do").string()));
    ASSERT_EQ(dialogs->calls.size(), 2u);
    EXPECT_EQ(dialogs->calls[0].text, "there was an error.");
    EXPECT_EQ(dialogs->calls[0].buttons, common::MessageButtons::Ok);
    EXPECT_EQ(renderer.named("Add3DObject").size(), 1u); // what was read is shown
}

TEST_F(ViewerWindow, AfterInitializeFailsNoObjectIsAdded) {
    renderer.initializeResult = 0;
    MeshglassProgram program(renderer);
    program.Start(modelWithGrandchild(dir));
    EXPECT_EQ(dialogs->messages(), std::vector<QString>{"Error|Initialize3D failed"});
    EXPECT_EQ(dialogs->calls[0].icon, common::MessageIcon::Warning);
    EXPECT_TRUE(renderer.named("Add3DObject").empty());
    EXPECT_TRUE(program.main->isVisible());
}

TEST_F(ViewerWindow, OpenButtonAboutAndExit) {
    MeshglassProgram program(renderer);
    program.Start(modelWithGrandchild(dir));
    testsupport::writeFile(dir / "other.3do", testsupport::makeTdo(tdoTriangles("other", 2, 7.0)));
    dialogs->queueText(QString::fromStdString((dir / "other.3do").string()));
    program.main->cmdOpen->click();
    ASSERT_EQ(dialogs->calls.size(), 1u);
    EXPECT_EQ(dialogs->calls[0].kind, "openFile");
    EXPECT_EQ(dialogs->calls[0].filter, "3do files (*.3do)|*.3do");
    EXPECT_EQ(program.main->CurrentModel->Name, "other");
    EXPECT_EQ(renderer.store.objects.size(), 1u);
    program.main->cmdOpen->click(); // cancelled: nothing changes
    EXPECT_EQ(program.main->CurrentModel->Name, "other");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    bool aboutShown = false;
    program.main->showPresentation = [&] { aboutShown = true; };
    program.main->Command1->click();
    EXPECT_TRUE(aboutShown);

    program.main->cmdExit->click();
    EXPECT_FALSE(program.main->isVisible());
    EXPECT_TRUE(program.ended);
    EXPECT_EQ(renderer.calls.back().name, "Cleanup3D");
}

} // namespace
