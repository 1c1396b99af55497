// The window's work commands: zoom, keys, PNG export, "Replace frame..." and
// "Save as GAF...", driven through the window with scripted dialogs.
#include "ProgramPalette.hpp"
#include "frmGafViewer.hpp"

#include "common/scripted_dialogs.hpp"
#include "spriteglass/image_files.hpp"

#include <testsupport/gaf_writer.hpp>
#include <testsupport/testsupport.hpp>

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QShortcut>
#include <QWheelEvent>

#include <gtest/gtest.h>

using namespace spriteglass;
using testsupport::makeGaf;
using testsupport::rawFrame;

namespace {

QString qpath(const std::filesystem::path& p) {
    return QString::fromStdString(p.string());
}

// Presses a key of the window's own shortcuts.
void press(frmGafViewer& viewer, Qt::Key key) {
    for (QShortcut* shortcut : viewer.findChildren<QShortcut*>()) {
        if (shortcut->key() == QKeySequence(key)) {
            emit shortcut->activated();
            return;
        }
    }
    ADD_FAILURE() << "no shortcut for key " << key;
}

// Writes a GAF of one 120 x 90 frame, hotspot in the middle, and shows it in
// a 760 x 520 window.
void openBigFrame(frmGafViewer& viewer, const std::filesystem::path& file,
                  const std::vector<std::uint8_t>& pixels) {
    testsupport::writeFile(file, makeGaf({{"Big", {rawFrame(120, 90, pixels, 60, 45)}}}));
    viewer.resize(760, 520);
    ASSERT_TRUE(viewer.SetUpWindow(qpath(file)));
    viewer.show();
}

} // namespace

TEST(EditCommands, ZoomKeysPngExportReplaceAndSaveAs) {
    testsupport::TempDir dir;
    const auto file = dir / "b.gaf";
    testsupport::writeFile(
        file, makeGaf({{std::string(32, 'c'),
                        {rawFrame(2, 2, {1, 2, 3, 9}, 1, 1), rawFrame(3, 1, {4, 5, 6})}},
                       {"Idle", {rawFrame(1, 1, {7})}}}));
    common::ScopedScriptedDialogs dialogs;
    frmGafViewer viewer;
    viewer.resize(900, 600);
    ASSERT_TRUE(viewer.SetUpWindow(qpath(file)));
    viewer.show();
    QApplication::processEvents();

    // The whole 32-character name fits its column.
    EXPECT_GE(viewer.ListGAF->header()->sectionSize(0),
              viewer.ListGAF->fontMetrics().horizontalAdvance(QString(32, QLatin1Char('c'))));

    // Zoom: the spin box and the wheel, clamped to 1..8; a frame pixel
    // covers Zoom x Zoom screen pixels.
    viewer.SpinZoom->setValue(4);
    EXPECT_EQ(viewer.Zoom, 4);
    const QImage zoomed = viewer.PicFrame->grab().toImage();
    const int cx = viewer.PicFrame->width() / 4 / 2 * 4; // the hotspot (1, 1) at the centre
    const int cy = viewer.PicFrame->height() / 4 / 2 * 4;
    EXPECT_EQ(zoomed.pixel(cx - 4, cy - 4), zoomed.pixel(cx - 1, cy - 1)); // one frame pixel
    EXPECT_NE(zoomed.pixel(cx - 1, cy - 1), zoomed.pixel(cx, cy - 1));     // the next one
    for (int i = 0; i < 10; ++i) {
        QWheelEvent wheel(QPointF(5, 5), viewer.PicFrame->mapToGlobal(QPointF(5, 5)), QPoint(),
                          QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewer.PicFrame, &wheel);
    }
    EXPECT_EQ(viewer.Zoom, 8);
    EXPECT_EQ(viewer.SpinZoom->value(), 8);

    // Keys: Right to frame 2, Down to the next entry.
    press(viewer, Qt::Key_Right);
    EXPECT_EQ(viewer.CurrentFrame, 2);
    EXPECT_EQ(viewer.TxtWidth->text(), "3");
    press(viewer, Qt::Key_Down);
    EXPECT_EQ(viewer.CurrentAnimation->Name(), "Idle");
    press(viewer, Qt::Key_Up);
    press(viewer, Qt::Key_Left);
    EXPECT_EQ(viewer.CurrentFrame, 1);

    // PNG export of the frame shown.
    dialogs->queueText(qpath(dir / "frame.png"));
    viewer.CmdFramePng->click();
    EXPECT_EQ(testsupport::readFile(dir / "frame.png"),
              PngBytes(std::vector<std::uint8_t>{1, 2, 3, 9}, ProgramPalette(), 2, 2, MaskIndex));

    // Replace frame 1 with a 3 x 2 picture: its size changes, its hotspot stays.
    testsupport::writeFile(dir / "new.bmp", BitmapBytes(std::vector<std::uint8_t>{8, 8, 8, 9, 9, 8},
                                                        ProgramPalette(), 3, 2));
    dialogs->queueText(qpath(dir / "new.bmp"));
    viewer.CmdReplaceFrame->click();
    EXPECT_EQ(viewer.TxtWidth->text(), "3");
    EXPECT_EQ(viewer.TxtXPos->text(), "1");
    EXPECT_TRUE(viewer.Modified);

    // Save as GAF: the file reads back with the new picture.
    dialogs->queueText(qpath(dir / "saved.gaf"));
    viewer.CmdSaveAsGaf->click();
    EXPECT_FALSE(viewer.Modified);
    classGAF saved;
    saved.Load(dir / "saved.gaf");
    ASSERT_EQ(saved.Animations().size(), 2u);
    const classGAFFrame& replaced = saved.Animations()[0].Frames().at(0);
    EXPECT_EQ(replaced.Pixels(), (std::vector<std::uint8_t>{8, 8, 8, 9, 9, 8}));
    EXPECT_EQ(replaced.PositionX(), 1);
    EXPECT_EQ(saved.Animations()[0].Frames().at(1).Pixels(), (std::vector<std::uint8_t>{4, 5, 6}));
}

// A frame made of subframes: "Replace frame..." replaces the subframe shown
// (its hotspot kept, its size the picture's), the others and the frame's own
// fields stay as they were.
TEST(EditCommands, ReplaceFrameOnAFrameWithSubframesReplacesTheSubframeShown) {
    testsupport::TempDir dir;
    testsupport::GafFrameSpec parent = rawFrame(8, 8, {}, 4, 4);
    parent.subframes.push_back(rawFrame(2, 2, {1, 1, 1, 1}, 1, 1));
    parent.subframes.push_back(rawFrame(3, 3, std::vector<std::uint8_t>(9, 2), 2, 3));
    const auto file = dir / "sub.gaf";
    testsupport::writeFile(file, makeGaf({{"Turret", {parent, rawFrame(1, 1, {5})}}}));
    common::ScopedScriptedDialogs dialogs;
    frmGafViewer viewer;
    viewer.resize(900, 600);
    ASSERT_TRUE(viewer.SetUpWindow(qpath(file)));
    viewer.show();
    QApplication::processEvents();
    viewer.ScrollSubframes->setValue(2);
    ASSERT_EQ(viewer.CurrentSubframe, 2);

    testsupport::writeFile(dir / "new.bmp", BitmapBytes(std::vector<std::uint8_t>{7, 7, 7, 7, 7, 9},
                                                        ProgramPalette(), 3, 2));
    dialogs->queueText(qpath(dir / "new.bmp"));
    viewer.CmdReplaceFrame->click();
    EXPECT_TRUE(viewer.Modified);
    // The window still shows subframe 2, now the new picture.
    EXPECT_EQ(viewer.CurrentSubframe, 2);
    EXPECT_EQ(viewer.ScrollSubframes->value(), 2);
    EXPECT_EQ(viewer.TxtWidth->text(), "3");
    EXPECT_EQ(viewer.TxtHeight->text(), "2");
    EXPECT_EQ(viewer.TxtXPos->text(), "2");
    EXPECT_EQ(viewer.TxtYPos->text(), "3");

    dialogs->queueText(qpath(dir / "saved.gaf"));
    viewer.CmdSaveAsGaf->click();
    classGAF saved;
    saved.Load(dir / "saved.gaf");
    ASSERT_EQ(saved.Animations().size(), 1u);
    const classGAFFrame& frame = saved.Animations()[0].Frames().at(0);
    EXPECT_EQ(frame.Width(), 8);
    EXPECT_EQ(frame.PositionX(), 4);
    ASSERT_EQ(frame.Subframes().size(), 2u);
    EXPECT_EQ(frame.Subframes()[0].Pixels(), (std::vector<std::uint8_t>{1, 1, 1, 1}));
    EXPECT_EQ(frame.Subframes()[1].Pixels(), (std::vector<std::uint8_t>{7, 7, 7, 7, 7, 9}));
    EXPECT_EQ(frame.Subframes()[1].PositionY(), 3);

    // Subframe 1 shown: that one is replaced next.
    viewer.ScrollSubframes->setValue(1);
    dialogs->queueText(qpath(dir / "new.bmp"));
    viewer.CmdReplaceFrame->click();
    EXPECT_EQ(viewer.CurrentAnimation->Frames()[0].Subframes()[0].Width(), 3);
    EXPECT_EQ(viewer.CurrentAnimation->Frames()[0].Subframes()[1].Width(), 3);
    EXPECT_TRUE(dialogs->messages().empty());
}

// A frame larger than the view at 8x: the picture grows with it and the
// scroll bars reach its last pixel; back at 1x they go again.
TEST(EditCommands, AZoomedFrameLargerThanTheViewIsScrolledToTheEnd) {
    testsupport::TempDir dir;
    std::vector<std::uint8_t> pixels(std::size_t(120) * 90, 2);
    pixels.back() = 1;
    frmGafViewer viewer;
    openBigFrame(viewer, dir / "big.gaf", pixels);
    QApplication::processEvents();

    viewer.SpinZoom->setValue(8);
    QApplication::processEvents();
    QScrollBar* across = viewer.PicScroll->horizontalScrollBar();
    QScrollBar* down = viewer.PicScroll->verticalScrollBar();
    EXPECT_GE(viewer.PicFrame->width(), 120 * 8);
    EXPECT_GE(viewer.PicFrame->height(), 90 * 8);
    EXPECT_EQ(across->maximum(), viewer.PicFrame->width() - viewer.PicScroll->viewport()->width());
    EXPECT_EQ(down->maximum(), viewer.PicFrame->height() - viewer.PicScroll->viewport()->height());
    across->setValue(across->maximum());
    down->setValue(down->maximum());
    QApplication::processEvents();
    // The bottom-right corner of the view shows the frame's last pixel.
    const QImage shown = viewer.PicScroll->viewport()->grab().toImage();
    const QList<QRgb> colours = ColourTable(ProgramPalette());
    const QPoint corner(shown.width() - 1, shown.height() - 1);
    const QPoint origin = viewer.PicFrame->mapFrom(viewer.PicScroll->viewport(), corner);
    ASSERT_EQ(origin, QPoint(viewer.PicFrame->width() - 1, viewer.PicFrame->height() - 1));
    EXPECT_EQ(shown.pixel(corner) & 0xFFFFFF, colours[1] & 0xFFFFFF);
    EXPECT_EQ(shown.pixel(corner - QPoint(8, 0)) & 0xFFFFFF, colours[2] & 0xFFFFFF);

    viewer.SpinZoom->setValue(1);
    QApplication::processEvents();
    EXPECT_EQ(across->maximum(), 0);
    EXPECT_EQ(down->maximum(), 0);

    // A wide, low frame scrolls across only: the bar it needs does not
    // bring the other one.
    testsupport::writeFile(dir / "wide.gaf", makeGaf({{"Wide", {rawFrame(150, 4)}}}));
    frmGafViewer wide;
    wide.resize(760, 520);
    ASSERT_TRUE(wide.SetUpWindow(qpath(dir / "wide.gaf")));
    wide.show();
    wide.SpinZoom->setValue(8);
    QApplication::processEvents();
    EXPECT_GT(wide.PicScroll->horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(wide.PicScroll->verticalScrollBar()->maximum(), 0);
}

// The wheel zooms around the pointer: the frame pixel under it stays under
// it, the scroll bars following, zooming in and out.
TEST(EditCommands, WheelZoomKeepsThePixelUnderThePointer) {
    testsupport::TempDir dir;
    std::vector<std::uint8_t> pixels(std::size_t(120) * 90);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = std::uint8_t(20 + (i % 120 + 3 * (i / 120)) % 200); // neighbours differ
    }
    frmGafViewer viewer;
    openBigFrame(viewer, dir / "big.gaf", pixels);
    viewer.SpinZoom->setValue(5);
    QApplication::processEvents();

    QWidget* view = viewer.PicScroll->viewport();
    const QPoint pointer(view->width() / 3, view->height() / 3);
    const auto colourUnderPointer = [&] { return view->grab().toImage().pixel(pointer); };
    const auto turnWheel = [&](int notches) {
        const QPointF at = viewer.PicFrame->mapFrom(view, QPointF(pointer));
        QWheelEvent wheel(at, viewer.PicFrame->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewer.PicFrame, &wheel);
        QApplication::processEvents();
    };
    const QRgb before = colourUnderPointer();
    for (const int notches : {1, 1, 1, -1}) {
        turnWheel(notches);
        EXPECT_EQ(colourUnderPointer(), before) << "at zoom " << viewer.Zoom;
    }
    EXPECT_EQ(viewer.Zoom, 7);
    EXPECT_GT(viewer.PicScroll->horizontalScrollBar()->value(), 0);
    EXPECT_GT(viewer.PicScroll->verticalScrollBar()->value(), 0);
}
