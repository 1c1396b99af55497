#include "FrmPreview.hpp"
#include "FrmProgress.hpp"
#include "ProgramPalette.hpp"
#include "frmGafViewer.hpp"

#include "common/scripted_dialogs.hpp"

#include <testsupport/gaf_writer.hpp>
#include <testsupport/testsupport.hpp>

#include <QApplication>
#include <QWindow>

#include <gtest/gtest.h>

using namespace spriteglass;
using testsupport::makeGaf;
using testsupport::rawFrame;

namespace {

QString qpath(const std::filesystem::path& p) {
    return QString::fromStdString(p.string());
}

} // namespace

TEST(FrmPreview, KeepsItsAnimationWhenTheSelectionChanges) {
    testsupport::TempDir dir;
    std::vector<std::uint8_t> pixels(45 * 30, 9);
    pixels[0] = 4;
    testsupport::writeFile(
        dir / "a.gaf",
        makeGaf({{"Big", {rawFrame(45, 30, pixels), rawFrame(2, 2, {}, 1, 1), rawFrame(3, 3)}},
                 {"Other", {rawFrame(1, 1)}}}));
    frmGafViewer viewer;
    ASSERT_TRUE(viewer.SetUpWindow(qpath(dir / "a.gaf")));
    viewer.cmdPreviewAnimation->click();
    ASSERT_EQ(viewer.previews().size(), 1);
    FrmPreview* preview = viewer.previews()[0];
    EXPECT_EQ(preview->windowTitle(), "Preview - 'Big'");
    EXPECT_EQ(preview->surface().BmpWidth(), 140);
    EXPECT_EQ(preview->surface().BmpHeight(), 124);
    EXPECT_EQ(preview->TmrAnimate->interval(), 100);
    EXPECT_TRUE(preview->TmrAnimate->isActive());

    viewer.ListGAF->setCurrentItem(viewer.ListGAF->topLevelItem(1));
    ASSERT_EQ(viewer.CurrentAnimation->Name(), "Other");
    EXPECT_EQ(preview->animation().Name(), "Big");

    // Frame 1's hotspot (0, 0) lands on the centre (70, 62): its opaque
    // top-left pixel is there, the rest is background.
    preview->Animate();
    const QImage picture = preview->Canvas->picture().toImage();
    const QList<QRgb> colours = ColourTable(ProgramPalette());
    EXPECT_EQ(picture.pixel(70, 62) & 0xFFFFFF, colours[4] & 0xFFFFFF);
    EXPECT_EQ(picture.pixel(71, 62) & 0xFFFFFF, colours[BackIndex] & 0xFFFFFF);
    EXPECT_EQ(preview->frameNumber(), 2);
    preview->Animate();
    preview->Animate();
    EXPECT_EQ(preview->frameNumber(), 1); // three frames: back to the first

    // A second preview of the other animation runs beside the first.
    viewer.cmdPreviewAnimation->click();
    ASSERT_EQ(viewer.previews().size(), 2);
    EXPECT_EQ(viewer.previews()[1]->windowTitle(), "Preview - 'Other'");
}

TEST(FrmPreview, AnAnimationWithoutFramesClosesOnTheFirstTick) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir / "e.gaf", makeGaf({{"Empty", {}}}));
    frmGafViewer viewer;
    ASSERT_TRUE(viewer.SetUpWindow(qpath(dir / "e.gaf")));
    viewer.cmdPreviewAnimation->click();
    ASSERT_EQ(viewer.previews().size(), 1);
    QPointer<FrmPreview> preview = viewer.previews()[0];
    EXPECT_EQ(preview->surface().BmpWidth(), 96);
    preview->Animate();
    EXPECT_FALSE(preview->isVisible());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(preview.isNull()); // closing deleted it and its surface
}

TEST(FrmPreview, ASurfaceThatCannotBeMadeShowsTheMemoryMessageAndCloses) {
    // A wide frame and a tall one: the preview would need 32860 x 32860 pixels.
    testsupport::TempDir dir;
    testsupport::writeFile(dir / "huge.gaf",
                           makeGaf({{"Huge", {rawFrame(32767, 1), rawFrame(1, 32767)}}}));
    common::ScopedScriptedDialogs dialogs;
    frmGafViewer viewer;
    ASSERT_TRUE(viewer.SetUpWindow(qpath(dir / "huge.gaf")));
    viewer.cmdPreviewAnimation->click();
    EXPECT_EQ(dialogs->messages(),
              std::vector<QString>{"|The memory for the graphics window could not be allocated.  "
                                   "Try clearing up memory, hard drive space, or rebooting."});
    EXPECT_EQ(dialogs->calls[0].icon, common::MessageIcon::Information);
    ASSERT_EQ(viewer.previews().size(), 1);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(viewer.previews()[0].isNull());
    EXPECT_TRUE(viewer.isEnabled()); // only the preview closed
}

TEST(OwnedWindows, PreviewAndProgressAreDialogTypeWindowsOfTheViewer) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir / "a.gaf", makeGaf({{"Big", {rawFrame(4, 4)}}}));
    frmGafViewer viewer;
    ASSERT_TRUE(viewer.SetUpWindow(qpath(dir / "a.gaf")));
    viewer.show();
    QApplication::processEvents();
    viewer.cmdPreviewAnimation->click();
    ASSERT_EQ(viewer.previews().size(), 1);
    FrmProgress progress(&viewer, 0);
    progress.Update(1, 2); // shows at once
    for (QWidget* owned :
         {static_cast<QWidget*>(viewer.previews()[0]), static_cast<QWidget*>(&progress)}) {
        SCOPED_TRACE(owned->objectName().toStdString());
        ASSERT_TRUE(owned->isVisible());
        // Qt names the owner of a dialog-type window to the window manager
        // (WM_TRANSIENT_FOR on X11), which keeps it in front of its owner.
        EXPECT_EQ(owned->windowType(), Qt::Dialog);
        EXPECT_EQ(owned->parentWidget(), &viewer);
        ASSERT_NE(owned->windowHandle(), nullptr);
        EXPECT_EQ(owned->windowHandle()->transientParent(), viewer.windowHandle());
        EXPECT_TRUE(owned->windowFlags() & Qt::WindowMinMaxButtonsHint);
    }
}
