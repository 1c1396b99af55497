// The sound pane with the recording player: play once, the repeat schedule
// of TmrSound, STOP, and stopping when the pane is hidden.
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "gui_harness.hpp"
#include "preview_dispatch.hpp"
#include "sound_pane.hpp"
#include "up_down_control.hpp"

namespace crateward::testing {
namespace {

namespace fs = std::filesystem;

class SoundPaneTest : public WindowTest {
protected:
    frmMain& openArchive() {
        const auto p = path("a.hpi");
        writeArchive(p, {{"sounds\\boom.wav", "RIFF boom"},
                         {"sounds\\click.wav", "RIFF click"},
                         {"sounds\\notes.txt", "text"}});
        frmMain& w = start();
        w.OpenHPI(QString::fromStdString(p.string()));
        EXPECT_NE(w.archiveHandle(), 0);
        clickNode("sounds");
        return w;
    }
    SoundPane& pane() const { return *window_->previewDispatch()->soundPane(); }
    std::vector<SoundPlay>& plays() { return sound_->recorder().plays; }
    QString copy(const std::string& relative) const {
        return window_->workingDirectory() + QString::fromStdString(relative);
    }
    void press(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
};

TEST_F(SoundPaneTest, ClickShowsThePaneAndPlayOnceUsesTheCopy) {
    frmMain& w = openArchive();
    clickEntry("boom.wav");
    EXPECT_TRUE(w.WavVisu->isVisible());
    EXPECT_FALSE(w.visualisateur->isVisible());
    EXPECT_EQ(pane().LbSndInf->text(), "Sound play setting :");
    EXPECT_EQ(pane().LbNumbSecond->text(), "1000");
    EXPECT_EQ(pane().cmdPlyItRepeat->text(), "Repeat it...");
    EXPECT_FALSE(pane().TmrSound->isActive());
    // A copy already there is played as it is, not extracted again.
    const fs::path existing = copy("sounds/boom.wav").toStdString();
    fs::create_directories(existing.parent_path());
    testsupport::writeFile(existing, std::string_view("kept"));
    press(pane().cmdPlyItOnce);
    ASSERT_EQ(plays().size(), 1u);
    EXPECT_EQ(plays()[0].path, copy("sounds/boom.wav"));
    const auto bytes = testsupport::readFile(existing);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "kept");
    // A missing copy is extracted first.
    clickEntry("click.wav");
    press(pane().cmdPlyItOnce);
    const auto extracted = testsupport::readFile(copy("sounds/click.wav").toStdString());
    EXPECT_EQ(std::string(extracted.begin(), extracted.end()), "RIFF click");
    clickEntry("notes.txt");
    EXPECT_FALSE(w.WavVisu->isVisible());
}

TEST_F(SoundPaneTest, RepeatPlaysNothingAtOnceThenOncePerInterval) {
    openArchive();
    clickEntry("boom.wav");
    press(pane().cmdPlyItRepeat);
    EXPECT_TRUE(pane().TmrSound->isActive());
    EXPECT_EQ(pane().TmrSound->interval(), 1000);
    EXPECT_EQ(pane().cmdPlyItRepeat->text(), "STOP");
    EXPECT_FALSE(pane().UpDown1->isEnabled());
    EXPECT_EQ(pane().tag(), copy("sounds/boom.wav"));
    QTest::qWait(800);
    EXPECT_TRUE(plays().empty());
    QTest::qWait(450);
    ASSERT_EQ(plays().size(), 1u);
    EXPECT_GE(plays()[0].atMs, 950);
    // Play it once while repeating: at once, and the timer goes on.
    press(pane().cmdPlyItOnce);
    EXPECT_EQ(plays().size(), 2u);
    EXPECT_TRUE(pane().TmrSound->isActive());
    press(pane().cmdPlyItRepeat);
    EXPECT_FALSE(pane().TmrSound->isActive());
    EXPECT_EQ(pane().cmdPlyItRepeat->text(), "Repeat it...");
    EXPECT_TRUE(pane().UpDown1->isEnabled());
    QTest::qWait(1100);
    EXPECT_EQ(plays().size(), 2u);
}

TEST_F(SoundPaneTest, ShortIntervalTicksEveryIntervalAndHidingStops) {
    frmMain& w = openArchive();
    clickEntry("boom.wav");
    // Down to 100 milliseconds with the up-down control.
    for (int i = 0; i < 90; ++i) {
        pane().UpDown1->stepDown();
    }
    EXPECT_EQ(pane().LbNumbSecond->text(), "100");
    press(pane().cmdPlyItRepeat);
    EXPECT_TRUE(plays().empty());
    QTest::qWait(530);
    // Five ticks, give or take one for a busy machine, each about 100 ms apart.
    EXPECT_GE(plays().size(), 4u);
    EXPECT_LE(plays().size(), 6u);
    ASSERT_FALSE(plays().empty());
    EXPECT_GE(plays()[0].atMs, 90);
    // Another kind of file hides the pane and stops the repetition.
    clickEntry("notes.txt");
    EXPECT_FALSE(w.WavVisu->isVisible());
    EXPECT_FALSE(pane().TmrSound->isActive());
    EXPECT_EQ(pane().cmdPlyItRepeat->text(), "Repeat it...");
    const std::size_t played = plays().size();
    QTest::qWait(250);
    EXPECT_EQ(plays().size(), played);
    // So does closing the archive.
    clickEntry("boom.wav");
    press(pane().cmdPlyItRepeat);
    w.Fermer();
    EXPECT_FALSE(pane().TmrSound->isActive());
}

TEST_F(SoundPaneTest, DoubleClickPlaysOnceAndHandsTheCopyToThePane) {
    openArchive();
    doubleClickEntry("click.wav");
    ASSERT_EQ(plays().size(), 1u);
    EXPECT_EQ(pane().LbSndName->text(), "click.wav");
    EXPECT_EQ(pane().tag(), copy("sounds/click.wav"));
}

} // namespace
} // namespace crateward::testing
