// The picture pane, the enlarged picture window and the BMP saved from the
// pane, over fixture archives holding PCX pictures.
#include <QAction>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <cmath>

#include "frm_show_pcx.hpp"
#include "gui_harness.hpp"
#include "picture_control.hpp"
#include "picture_pane.hpp"
#include "preview_dispatch.hpp"
#include "settings_keys.hpp"
#include "testsupport/pcx_writer.hpp"
#include "up_down_control.hpp"

namespace crateward::testing {
namespace {

namespace fs = std::filesystem;

std::string pcx(int width, int height, int planes = 1) {
    testsupport::PcxFixture fixture;
    fixture.width = width;
    fixture.height = height;
    fixture.planes = planes;
    fixture.palette = testsupport::rampPalette();
    for (int i = 0; i < width * height * planes; ++i) {
        fixture.pixels.push_back(std::uint8_t(i % 251));
    }
    const auto bytes = testsupport::makePcx(fixture);
    return std::string(bytes.begin(), bytes.end());
}

class PicturePaneTest : public WindowTest {
protected:
    frmMain& openArchive(std::vector<Member> extra = {}) {
        std::vector<Member> members = {{"pics\\tall96.pcx", pcx(10, 96)},
                                       {"pics\\tall97.pcx", pcx(11, 97, 3)},
                                       {"root.pcx", pcx(4, 3)},
                                       {"units\\armfoo.fbi", "[UNITINFO]"},
                                       {"units\\armbar.fbi", "[UNITINFO]"},
                                       {"unitpics\\armfoo.pcx", pcx(64, 64, 3)}};
        members.insert(members.end(), extra.begin(), extra.end());
        const auto p = path("a.hpi");
        writeArchive(p, members);
        frmMain& w = start();
        w.OpenHPI(QString::fromStdString(p.string()));
        EXPECT_NE(w.archiveHandle(), 0);
        return w;
    }
    PicturePane& pane() const { return *window_->previewDispatch()->picturePane(); }
    QString copy(const std::string& relative) const {
        return window_->workingDirectory() + QString::fromStdString(relative);
    }
    QSize shown() const { return pane().PicUnit->pixmap().size(); }
};

TEST_F(PicturePaneTest, TallerThan1400TwipsShowsAQuarterAndTheEnlargeButton) {
    frmMain& w = openArchive();
    clickNode("pics");
    clickEntry("tall96.pcx");
    EXPECT_TRUE(w.visualisateur->isVisible());
    EXPECT_FALSE(w.WavVisu->isVisible());
    EXPECT_EQ(pane().TxtZoom->text(), "100");
    EXPECT_FALSE(pane().cmdEnlargePCX->isVisible());
    EXPECT_EQ(shown(), QSize(10, 96));
    clickEntry("tall97.pcx");
    EXPECT_EQ(pane().TxtZoom->text(), "25");
    EXPECT_TRUE(pane().cmdEnlargePCX->isVisible());
    EXPECT_EQ(pane().cmdEnlargePCX->text(),
              "The picture is bigger than the window, clic here to enlarge it");
    EXPECT_EQ(shown(), QSize(2, 24));
    // A picture that replaced the 97-pixel one goes back to 100 %.
    clickEntry("tall96.pcx");
    EXPECT_EQ(pane().TxtZoom->text(), "100");
    EXPECT_EQ(shown(), QSize(10, 96));
}

TEST_F(PicturePaneTest, ZoomBoxTakesDigitsAndBackspaceOnly) {
    openArchive();
    clickNode("pics");
    clickEntry("tall96.pcx");
    QLineEdit* zoom = pane().TxtZoom;
    zoom->setFocus();
    zoom->end(false);
    QTest::keyClicks(zoom, "ab%-.");
    EXPECT_EQ(zoom->text(), "100");
    QTest::keyClick(zoom, Qt::Key_Backspace);
    QTest::keyClick(zoom, Qt::Key_Backspace);
    EXPECT_EQ(zoom->text(), "1");
    QTest::keyClicks(zoom, "x50");
    EXPECT_EQ(zoom->text(), "150");
    EXPECT_EQ(shown(), QSize(15, 144));
    // The up-down control steps the number shown in the box.
    pane().UpDown1->stepUp();
    EXPECT_EQ(zoom->text(), "155");
    EXPECT_EQ(pane().PicUnit->zoom(), 155);
}

TEST_F(PicturePaneTest, EnlargingTwiceShowsNoNewPictureTheSecondTime) {
    frmMain& w = openArchive();
    settings().writeNumber(kApp, "Affichage texte", "Show PCX Top", 3000);
    clickNode("pics");
    clickEntry("tall97.pcx");
    ASSERT_TRUE(fs::exists(copy("pics/tall97.pcx").toStdString()));
    QTest::mouseClick(pane().cmdEnlargePCX, Qt::LeftButton);
    frmShowPCX* view = pane().enlargedWindow();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(view->parentWidget(), &w);
    EXPECT_EQ(view->windowTitle(), "tall97.pcx");
    EXPECT_EQ(view->ImgPCX->image().size(), QSize(11, 97));
    EXPECT_EQ(view->size(), QSize(11, 97)); // 14.58 twips per picture pixel
    EXPECT_EQ(view->ImgPCX->size(), view->size());
    EXPECT_EQ(view->y(), 200);
    EXPECT_EQ(view->x(), 2000 / 15);
    EXPECT_FALSE(fs::exists(copy("pics/tall97.pcx").toStdString()));
    QTest::mouseClick(pane().cmdEnlargePCX, Qt::LeftButton);
    EXPECT_EQ(pane().enlargedWindow(), view);
    EXPECT_TRUE(view->ImgPCX->image().isNull());
    // Closing writes the position back.
    view->move(300, 90);
    view->close();
    EXPECT_EQ(settings().readNumber(kApp, "Affichage texte", "Show PCX Left", 0), 4500);
    EXPECT_EQ(settings().readNumber(kApp, "Affichage texte", "Show PCX Top", 0), 1350);
}

TEST_F(PicturePaneTest, DoubleClickOpensTheCopyWithRoomForTheTitle) {
    openArchive();
    clickNode("pics");
    doubleClickEntry("tall96.pcx");
    frmShowPCX* view = pane().enlargedWindow();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->windowTitle(), copy("pics/tall96.pcx"));
    // 80 and 400 twips more than the picture.
    EXPECT_EQ(view->size(), QSize(int(std::lround((10 * 14.58 + 80) / 14.58)),
                                  int(std::lround((96 * 14.58 + 400) / 14.58))));
    EXPECT_TRUE(fs::exists(copy("pics/tall96.pcx").toStdString()));
}

TEST_F(PicturePaneTest, RootPicturesAndUnitPictures) {
    openArchive();
    clickNode("Root");
    clickEntry("root.pcx");
    EXPECT_EQ(shown(), QSize(4, 3));
    EXPECT_EQ(pane().currentPicture(), copy("root.pcx"));
    clickNode("units");
    clickEntry("armfoo.fbi");
    EXPECT_EQ(pane().currentPicture(), copy("unitpics/armfoo.pcx"));
    EXPECT_EQ(shown(), QSize(64, 64));
    EXPECT_TRUE(fs::exists(copy("unitpics/armfoo.pcx").toStdString()));
    // A unit without a picture leaves the control empty.
    clickEntry("armbar.fbi");
    EXPECT_TRUE(window_->visualisateur->isVisible());
    EXPECT_TRUE(pane().PicUnit->pixmap().isNull());
    EXPECT_FALSE(pane().cmdEnlargePCX->isVisible());
}

TEST_F(PicturePaneTest, RealUnitPictureOfAnFbi) {
    TOOLKIT_REQUIRE_REAL("pcx/ArmRaz.pcx", real);
    const auto bytes = testsupport::readFile(real);
    openArchive({{"units\\ArmRaz.fbi", "[UNITINFO]"},
                 {"unitpics\\ArmRaz.pcx", std::string(bytes.begin(), bytes.end())}});
    clickNode("units");
    clickEntry("ArmRaz.fbi");
    EXPECT_EQ(shown(), QSize(96, 96));
    EXPECT_EQ(pane().TxtZoom->text(), "100");
}

TEST_F(PicturePaneTest, SavedBmpReadsBackIdentical) {
    openArchive();
    clickNode("pics");
    for (const char* name : {"tall96.pcx", "tall97.pcx"}) {
        clickEntry(name);
        const QString target = QString::fromStdString(path(std::string(name) + ".bmp").string());
        (*dialogs_)->queueText(target);
        QTest::mouseClick(pane().cmdSaveImg, Qt::LeftButton);
        const auto& call = (*dialogs_)->calls.back();
        EXPECT_EQ(call.kind, "saveFile");
        EXPECT_EQ(call.title, "Save picture as...");
        EXPECT_EQ(call.filter, "BMP picture|*.bmp|");
        // Beside the archive the first time, then where the last one went.
        EXPECT_EQ(call.start,
                  QFileInfo(window_->archivePath()).absolutePath() + "/" + QString(name).left(6));
        const QImage saved(target, "BMP");
        ASSERT_FALSE(saved.isNull()) << name;
        EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
                  pane().PicUnit->image().convertToFormat(QImage::Format_RGB32));
    }
    // Cancelling saves nothing.
    (*dialogs_)->queueText(std::nullopt);
    QTest::mouseClick(pane().cmdSaveImg, Qt::LeftButton);
    int bitmaps = 0;
    for (const auto& entry : fs::directory_iterator(dir_.path())) {
        bitmaps += entry.path().extension() == ".bmp";
    }
    EXPECT_EQ(bitmaps, 2);
}

TEST_F(PicturePaneTest, DuringAModificationTheUnpackedCopyIsKept) {
    frmMain& w = openArchive();
    QAction* modify = w.findChild<QAction*>("mnuModifierHPI");
    modify->setVisible(true);
    modify->setEnabled(false);
    const auto unpacked = fs::path(copy("pics/tall97.pcx").toStdString());
    fs::create_directories(unpacked.parent_path());
    const std::string edited = pcx(20, 100);
    testsupport::writeFile(unpacked, edited);
    clickNode("pics");
    clickEntry("tall97.pcx");
    EXPECT_EQ(pane().PicUnit->image().size(), QSize(20, 100));
    QTest::mouseClick(pane().cmdEnlargePCX, Qt::LeftButton);
    ASSERT_TRUE(fs::exists(unpacked));
    const auto now = testsupport::readFile(unpacked);
    EXPECT_EQ(std::string(now.begin(), now.end()), edited);
}

} // namespace
} // namespace crateward::testing
