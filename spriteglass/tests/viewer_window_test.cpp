#include "FrmProgress.hpp"
#include "ProgramPalette.hpp"
#include "SplitterBar.hpp"
#include "frmGafViewer.hpp"
#include "frmPres.hpp"

#include "common/scripted_dialogs.hpp"

#include <testsupport/gaf_writer.hpp>
#include <testsupport/testsupport.hpp>

#include <QApplication>
#include <QMouseEvent>
#include <QTimer>

#include <gtest/gtest.h>

using namespace spriteglass;
using testsupport::makeGaf;
using testsupport::rawFrame;

namespace {

QString qpath(const std::filesystem::path& p) {
    return QString::fromStdString(p.string());
}

QStringList row(const QTreeWidget* list, int i) {
    QStringList texts;
    for (int c = 0; c < 4; ++c) {
        texts << list->topLevelItem(i)->text(c);
    }
    return texts;
}

} // namespace

TEST(frmGafViewer, OpensAQuotedPathWithBlanksAndUpperCaseEnding) {
    testsupport::TempDir dir;
    testsupport::GafFrameSpec parent = rawFrame(4, 4);
    parent.subframes = {rawFrame(1, 1), rawFrame(1, 1)};
    testsupport::GafFrameSpec tagged = rawFrame(2, 2);
    tagged.tag = 2;
    const auto file = dir / "with blank" / "Test File.GAF";
    testsupport::writeFile(file, makeGaf({{"Walk", {tagged, parent}}, {"Idle", {rawFrame(3, 3)}}}));

    frmGafViewer viewer;
    ASSERT_TRUE(viewer.SetUpWindow(QLatin1Char('"') + qpath(file) + QLatin1Char('"')));
    EXPECT_EQ(viewer.StartMode, 1);
    EXPECT_EQ(viewer.CurrentFile, qpath(file));
    EXPECT_EQ(viewer.windowTitle(), "Test File.GAF - Spriteglass");
    ASSERT_EQ(viewer.ListGAF->topLevelItemCount(), 2);
    EXPECT_EQ(row(viewer.ListGAF, 0), (QStringList{"Walk", "Yes", "2", "2"}));
    EXPECT_EQ(row(viewer.ListGAF, 1), (QStringList{"Idle", "No", "1", "0"}));
    EXPECT_EQ(viewer.ListGAF->headerItem()->text(3), "Subframes");
    EXPECT_EQ(viewer.CurrentFrame, 1);
    EXPECT_TRUE(viewer.ScrollFrames->isEnabled());
    EXPECT_EQ(viewer.ScrollFrames->maximum(), 2);
    EXPECT_EQ(viewer.TxtWidth->text(), "2");
    EXPECT_TRUE(viewer.ListGAF->isEnabled());

    // Frame 2 has two subframes: the first is shown.
    viewer.ScrollFrames->setValue(2);
    EXPECT_EQ(viewer.CurrentFrame, 2);
    EXPECT_EQ(viewer.CurrentSubframe, 1);
    EXPECT_TRUE(viewer.ScrollSubframes->isEnabled());
    EXPECT_EQ(viewer.TxtWidth->text(), "1");

    viewer.ListGAF->setCurrentItem(viewer.ListGAF->topLevelItem(1));
    EXPECT_EQ(viewer.CurrentAnimation->Name(), "Idle");
    EXPECT_FALSE(viewer.ScrollFrames->isEnabled());
    EXPECT_EQ(viewer.TxtWidth->text(), "3");
}

TEST(frmGafViewer, OneFrameWithFiveSubframesEnablesOnlyTheSubframeSlider) {
    testsupport::TempDir dir;
    testsupport::GafFrameSpec parent = rawFrame(8, 8);
    for (std::int16_t w = 1; w <= 5; ++w) {
        parent.subframes.push_back(rawFrame(w, 2, {}, w, 1));
    }
    testsupport::writeFile(dir / "five.gaf", makeGaf({{"Five", {parent}}}));
    frmGafViewer viewer;
    ASSERT_TRUE(viewer.SetUpWindow(qpath(dir / "five.gaf")));
    EXPECT_FALSE(viewer.ScrollFrames->isEnabled());
    EXPECT_EQ(viewer.ScrollFrames->maximum(), 2);
    EXPECT_TRUE(viewer.ScrollSubframes->isEnabled());
    EXPECT_EQ(viewer.ScrollSubframes->maximum(), 5);
    EXPECT_EQ(viewer.ScrollSubframes->value(), 1);
    EXPECT_EQ(viewer.CurrentSubframe, 1);
    EXPECT_EQ(viewer.TxtWidth->text(), "1");
    viewer.ScrollSubframes->setValue(4);
    EXPECT_EQ(viewer.CurrentSubframe, 4);
    EXPECT_EQ(viewer.TxtWidth->text(), "4");
    EXPECT_EQ(viewer.TxtXPos->text(), "4");
    EXPECT_EQ(&viewer.GetCurrentFrame(), &viewer.CurrentAnimation->Frames()[0].Subframes()[3]);
}

TEST(frmGafViewer, AFileThatCannotBeReadShowsAnEmptyWindow) {
    testsupport::TempDir dir;
    frmGafViewer viewer;
    ASSERT_TRUE(viewer.SetUpWindow(qpath(dir / "missing.gaf")));
    EXPECT_EQ(viewer.StartMode, 1);
    EXPECT_EQ(viewer.ListGAF->topLevelItemCount(), 0);
    EXPECT_FALSE(viewer.ScrollFrames->isEnabled());
    EXPECT_FALSE(viewer.ScrollSubframes->isEnabled());
    EXPECT_EQ(viewer.TxtWidth->text(), "0");
    EXPECT_EQ(viewer.TxtHeight->text(), "0");
    EXPECT_FALSE(viewer.CmdFrame->isEnabled()); // the empty animation has no name
    EXPECT_TRUE(viewer.PicFrame->picture().isNull());
}

TEST(frmGafViewer, WithoutAGafPathAboutAndOkEndTheProgram) {
    frmGafViewer viewer;
    int ended = 0;
    QObject::connect(&viewer, &frmGafViewer::endProgram, [&] { ++ended; });
    ASSERT_TRUE(viewer.SetUpWindow("/tmp/readme.txt"));
    EXPECT_EQ(viewer.StartMode, 0);
    EXPECT_EQ(viewer.windowTitle(), "Spriteglass");
    QTimer::singleShot(0, [] {
        auto* pres = dynamic_cast<frmPres*>(QApplication::activeModalWidget());
        ASSERT_NE(pres, nullptr);
        pres->cmdOK->click();
    });
    viewer.cmdAbout->click();
    EXPECT_GE(ended, 1);
    EXPECT_FALSE(viewer.isVisible());
}

TEST(frmGafViewer, DrawsTheFrameWithTheGamePaletteAtItsHotspot) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir / "dot.gaf", makeGaf({{"Dot", {rawFrame(2, 1, {9, 1}, 1, 0)}}}));
    frmGafViewer viewer;
    ASSERT_TRUE(viewer.SetUpWindow(qpath(dir / "dot.gaf")));
    const QImage picture = viewer.PicFrame->picture().toImage();
    ASSERT_FALSE(picture.isNull());
    const int cx = int(std::nearbyint(picture.width() / 2.0 - 1));
    const int cy = int(std::nearbyint(picture.height() / 2.0));
    const QList<QRgb> colours = ColourTable(ProgramPalette());
    // Hotspot (1, 0) on the box centre: the transparent pixel shows index 255.
    EXPECT_EQ(picture.pixel(cx, cy) & 0xFFFFFF, colours[BackIndex] & 0xFFFFFF);
    EXPECT_EQ(picture.pixel(cx + 1, cy) & 0xFFFFFF, colours[1] & 0xFFFFFF);
    EXPECT_NE(colours[1], colours[BackIndex]);
}

TEST(SplitterBar, KeepsTheBarBetween1000TwipsAndHalfTheWidth) {
    EXPECT_EQ(SplitterBar::Clamp(4000, 20000), 4000);
    EXPECT_EQ(SplitterBar::Clamp(999, 20000), 1000);
    EXPECT_EQ(SplitterBar::Clamp(10001, 20000), 10000);
    EXPECT_EQ(SplitterBar::Clamp(10001, 20001), 10000); // the integer part of the half
}

TEST(SplitterBar, DraggingMovesTheListEdgeWithinItsLimits) {
    frmGafViewer viewer;
    ASSERT_TRUE(viewer.SetUpWindow("none.txt"));
    viewer.resize(760, 500); // 11400 twips: the bar stays between 1000 and 5700
    auto send = [&](QEvent::Type type, int x, Qt::MouseButton button) {
        QMouseEvent event(type, QPointF(x, 5), viewer.PicSplitter->mapToGlobal(QPointF(x, 5)),
                          button, type == QEvent::MouseButtonRelease ? Qt::NoButton : button,
                          Qt::NoModifier);
        QApplication::sendEvent(viewer.PicSplitter, &event);
    };
    send(QEvent::MouseButtonPress, 0, Qt::LeftButton);
    EXPECT_TRUE(viewer.PicSplitter->dragging());
    send(QEvent::MouseMove, 1000, Qt::LeftButton);
    EXPECT_EQ(viewer.PicSplitter->left(), 5700);
    send(QEvent::MouseButtonRelease, -1000, Qt::LeftButton);
    EXPECT_FALSE(viewer.PicSplitter->dragging());
    EXPECT_EQ(viewer.PicSplitter->left(), 1000);
    EXPECT_EQ(viewer.ListGAF->width(), toPixels(1000));
    EXPECT_EQ(viewer.PicView->x(), toPixels(1000 + SplitterBar::BarWidth));
    EXPECT_EQ(viewer.PicSplitter->y(), toPixels(SplitterBar::Margin));
}

TEST(CommandLinePath, DropsOnlyTheOuterQuotes) {
    EXPECT_EQ(CommandLinePath("\"a b.gaf\""), "a b.gaf");
    EXPECT_EQ(CommandLinePath("a b.gaf\""), "a b.gaf");
    EXPECT_EQ(CommandLinePath("\"a \"b\".gaf"), "a \"b\".gaf");
    EXPECT_EQ(FileTitle("/x/y/z.gaf"), "z.gaf");
    EXPECT_EQ(FileTitle("z.gaf"), "z.gaf");
}

// The progress window and the wait cursor come only for a load that lasts:
// a file read in a moment opens with neither.
TEST(FrmProgress, ShowsWithTheWaitCursorOnlyOnceTheLoadHasLasted) {
    {
        FrmProgress quick(nullptr, 60000);
        quick.Update(1, 2);
        EXPECT_FALSE(quick.isVisible());
        EXPECT_EQ(quick.Progress->value(), 50);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
    {
        FrmProgress slow(nullptr, 0);
        slow.Update(1, 4);
        EXPECT_TRUE(slow.isVisible());
        EXPECT_EQ(slow.Progress->value(), 25);
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        slow.Update(4, 4);
        EXPECT_EQ(slow.Progress->value(), 100);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // A small file through the viewer: no progress window was ever shown.
    struct ShowCounter : QObject {
        int shown = 0;
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Show && qobject_cast<QWidget*>(watched) &&
                watched->objectName() == QLatin1String("FrmProgress")) {
                ++shown;
            }
            return false;
        }
    } counter;
    qApp->installEventFilter(&counter);
    testsupport::TempDir dir;
    testsupport::writeFile(dir / "s.gaf", makeGaf({{"S", {rawFrame(2, 2)}}}));
    frmGafViewer viewer;
    ASSERT_TRUE(viewer.SetUpWindow(qpath(dir / "s.gaf")));
    qApp->removeEventFilter(&counter);
    EXPECT_EQ(counter.shown, 0);
    EXPECT_EQ(viewer.ListGAF->topLevelItemCount(), 1);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
