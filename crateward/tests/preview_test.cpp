// The click and double-click dispatch, working copies keyed by the member's
// full path, and the text view.
#include <QAction>
#include <QBuffer>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>

#include <fstream>

#include "file_view_control.hpp"
#include "frm_txt.hpp"
#include "gui_harness.hpp"
#include "preview_dispatch.hpp"
#include "program_commands.hpp"
#include "program_keys.hpp"
#include "settings_keys.hpp"
#include "text_decoding.hpp"
#include "working_copy.hpp"

namespace crateward::testing {
namespace {

namespace fs = std::filesystem;

using testsupport::readText;

std::string bitmap() {
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes.toStdString();
}

const std::string kMapWarning =
    "Important note : you MUST save your map in .tnt format in your map editor, for exemple, in "
    "Annihilator, click Export Map and save it in the same name and path. Do NOT click on save "
    "map on the annihilator tool bar or in the file menu... because Annihilator will save it in "
    ".ufo format.";

class Preview : public WindowTest {
protected:
    frmMain& openArchive() {
        const auto p = path("a.hpi");
        writeArchive(p, {{"readme", "no extension"},
                         {"eof.txt", std::string("before\x1a"
                                                 "after")},
                         {"empty.txt", ""},
                         {"units\\readme.txt", "first readme"},
                         {"docs\\readme.txt", "second readme caf\xe9 \x80"},
                         {"units\\armcom.3do", "model"},
                         {"anims\\armcom.gaf", "sprite"},
                         {"maps\\island.tnt", "map"},
                         {"maps\\island.ota", "map info"},
                         {"maps\\lonely.tnt", "map alone"},
                         {"pics\\logo.bmp", bitmap()},
                         {"pics\\shot.Pcx", "pcx"},
                         {"sounds\\boom.wav", "RIFF"}});
        frmMain& w = start();
        w.OpenHPI(QString::fromStdString(p.string()));
        EXPECT_NE(w.archiveHandle(), 0);
        return w;
    }
    QString copy(const std::string& relative) const {
        return window_->workingDirectory() + QString::fromStdString(relative);
    }
    fs::path copyPath(const std::string& relative) const { return copy(relative).toStdString(); }
    std::vector<Launch>& launches() { return launcher_->launches(); }
    // Puts the window in the state of a modification under way, with the
    // archive unpacked in the working directory.
    void beginModification() {
        QAction* modify = window_->findChild<QAction*>("mnuModifierHPI");
        modify->setVisible(true);
        modify->setEnabled(false);
        QAction* save = window_->findChild<QMenu*>("mnuSaveModif")->menuAction();
        save->setVisible(true);
        save->setEnabled(true);
    }
    frmTXT* textWindow() const { return window_->previewDispatch()->textWindow(); }
    void setPrograms() {
        settings().write(kApp, kPrograms, kSpriteKey, "/opt/gaf/gafedit");
        settings().write(kApp, kPrograms, kModelKey, "/opt/3do/3doedit");
        settings().write(kApp, kPrograms, kMapKey, "/opt/maps/annihilator.exe");
    }
    const QString notSet = "Non...|You don't have select the program location !";
};

TEST_F(Preview, ViewersWithoutALocationSaySoAndCopyNothing) {
    // Locations the user emptied (a fresh configuration has the own viewers).
    settings().write(kApp, kPrograms, kSpriteKey, "");
    settings().write(kApp, kPrograms, kModelKey, "");
    openArchive();
    for (const char* key : {"anims", "units", "maps"}) {
        clickNode(key);
        const QString name = QString(key) == "anims"   ? "armcom.gaf"
                             : QString(key) == "units" ? "armcom.3do"
                                                       : "island.tnt";
        doubleClickEntry(name);
    }
    EXPECT_EQ(messages(), QStringList({notSet, notSet, notSet}));
    EXPECT_EQ((*dialogs_)->calls[0].icon, common::MessageIcon::Information);
    EXPECT_TRUE(launches().empty());
    EXPECT_FALSE(fs::exists(copyPath("anims/armcom.gaf")));
}

TEST_F(Preview, OnAFreshConfigurationSpritesAndModelsOpenInTheOwnViewers) {
    frmMain& w = openArchive();
    clickNode("anims");
    doubleClickEntry("armcom.gaf");
    clickNode("units");
    doubleClickEntry("armcom.3do");
    const fs::path own = w.programCommands()->programDirectory();
    const QString folder = QString::fromStdString(own.string());
    const std::vector<Launch> expected = {
        {QString::fromStdString((own / "spriteglass").string()), copy("anims/armcom.gaf"), folder},
        {QString::fromStdString((own / "meshglass").string()), copy("units/armcom.3do"), folder}};
    EXPECT_EQ(launches(), expected);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(Preview, ViewersGetTheCopyUnderItsFullMemberPath) {
    setPrograms();
    openArchive();
    clickNode("anims");
    doubleClickEntry("armcom.gaf");
    clickNode("units");
    doubleClickEntry("armcom.3do");
    clickNode("maps");
    doubleClickEntry("island.tnt");
    doubleClickEntry("lonely.tnt"); // its companion is missing: the editor still starts
    const std::vector<Launch> expected = {
        {"/opt/gaf/gafedit", copy("anims/armcom.gaf"), "/opt/gaf"},
        {"/opt/3do/3doedit", copy("units/armcom.3do"), "/opt/3do"},
        {"/opt/maps/annihilator.exe", copy("maps/island.tnt"), "/opt/maps"},
        {"/opt/maps/annihilator.exe", copy("maps/lonely.tnt"), "/opt/maps"}};
    EXPECT_EQ(launches(), expected);
    EXPECT_EQ(readText(copyPath("anims/armcom.gaf")), "sprite");
    EXPECT_EQ(readText(copyPath("maps/island.ota")), "map info");
    EXPECT_FALSE(fs::exists(copyPath("maps/lonely.ota")));
    EXPECT_TRUE(messages().isEmpty());
    // A copy already there is used as it is.
    testsupport::writeFile(copyPath("maps/island.tnt"), std::string("changed"));
    doubleClickEntry("island.tnt");
    EXPECT_EQ(readText(copyPath("maps/island.tnt")), "changed");
}

TEST_F(Preview, MapsDuringAModificationWarnEachTimeAndUseTheUnpackedCopy) {
    setPrograms();
    openArchive();
    beginModification();
    fs::create_directories(copyPath("maps"));
    testsupport::writeFile(copyPath("maps/island.tnt"), std::string("edited by the user"));
    clickNode("maps");
    doubleClickEntry("island.tnt");
    doubleClickEntry("island.tnt");
    const QString warning = "Warning !!!|" + QString::fromStdString(kMapWarning);
    EXPECT_EQ(messages(), QStringList({warning, warning}));
    EXPECT_EQ((*dialogs_)->calls[0].icon, common::MessageIcon::Warning);
    ASSERT_EQ(launches().size(), 2u);
    EXPECT_EQ(launches()[1].arguments, copy("maps/island.tnt"));
    EXPECT_EQ(readText(copyPath("maps/island.tnt")), "edited by the user");
    EXPECT_FALSE(fs::exists(copyPath("maps/island.ota")));
    // Viewers get the unpacked copy too; nothing is added to the tree.
    clickNode("anims");
    doubleClickEntry("armcom.gaf");
    EXPECT_EQ(launches().back(),
              (Launch{"/opt/gaf/gafedit", copy("anims/armcom.gaf"), "/opt/gaf"}));
    EXPECT_FALSE(fs::exists(copyPath("anims/armcom.gaf")));
}

TEST_F(Preview, ClicksShowOrHideThePanesByExtension) {
    frmMain& w = openArchive();
    clickNode("pics");
    clickEntry("logo.bmp");
    EXPECT_TRUE(w.visualisateur->isVisible());
    auto* picture = w.visualisateur->findChild<QLabel*>("PicUnit");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixmap().size(), QSize(8, 6));
    EXPECT_EQ(picture->x(), w.visualisateur->width() / 2 - 4); // centred by the layout
    EXPECT_EQ(panel(6), "logo.bmp");
    // A PCX that cannot be read leaves the picture control empty.
    clickEntry("shot.Pcx");
    EXPECT_TRUE(w.visualisateur->isVisible());
    EXPECT_TRUE(picture->pixmap().isNull());
    EXPECT_FALSE(w.WavVisu->isVisible());
    clickEntry("logo.bmp");
    clickNode("Root");
    clickEntry("readme");
    EXPECT_FALSE(w.visualisateur->isVisible());
    // No "." in the name: a double-click does nothing.
    doubleClickEntry("readme");
    EXPECT_TRUE(launches().empty());
    EXPECT_EQ(textWindow(), nullptr);
    EXPECT_FALSE(fs::exists(copyPath("readme")));
}

TEST_F(Preview, PicturesGoToTheEnlargedWindowAndSoundsPlayOnceFromTheirCopy) {
    frmMain& w = openArchive();
    clickNode("pics");
    doubleClickEntry("shot.Pcx"); // extension case does not matter
    EXPECT_TRUE(launches().empty());
    auto* enlarged = w.findChild<QWidget*>("frmShowPCX");
    ASSERT_NE(enlarged, nullptr);
    EXPECT_EQ(enlarged->windowTitle(), copy("pics/shot.Pcx"));
    EXPECT_EQ(readText(copyPath("pics/shot.Pcx")), "pcx");
    clickNode("sounds");
    EXPECT_TRUE(sound_->recorder().plays.empty());
    doubleClickEntry("boom.wav");
    EXPECT_EQ(readText(copyPath("sounds/boom.wav")), "RIFF");
    EXPECT_TRUE(launches().empty());
    ASSERT_EQ(sound_->recorder().plays.size(), 1u);
    EXPECT_EQ(sound_->recorder().plays[0].path, copy("sounds/boom.wav"));
}

TEST_F(Preview, SameNamesInOtherFoldersShowTheirOwnText) {
    openArchive();
    clickNode("units");
    doubleClickEntry("readme.txt");
    frmTXT* view = textWindow();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(view->windowTitle(), copy("units/readme.txt"));
    EXPECT_EQ(view->text->toPlainText(), "first readme");
    EXPECT_EQ(view->parentWidget(), window_.get());
    view->setGeometry(210, 190, 300, 250);
    const QRect placed = view->geometry();
    clickNode("docs");
    doubleClickEntry("readme.txt");
    EXPECT_EQ(textWindow(), view);
    EXPECT_EQ(view->windowTitle(), copy("docs/readme.txt"));
    EXPECT_EQ(view->text->toPlainText(), QString::fromUtf8("second readme café €"));
    EXPECT_EQ(view->geometry(), placed);
    // The text box fills the client area less 40 twips.
    EXPECT_EQ(view->text->geometry(), QRect(0, 0, (300 * 15 - 40) / 15, (250 * 15 - 40) / 15));
    EXPECT_TRUE(launches().empty());
}

TEST_F(Preview, EndOfFileCharacterSendsTheFileToTheEditor) {
    openArchive();
    clickNode("Root");
    doubleClickEntry("eof.txt");
    EXPECT_EQ(launches(), (std::vector<Launch>{{"notepad.exe", copy("eof.txt"), ""}}));
    ASSERT_NE(textWindow(), nullptr);
    EXPECT_FALSE(textWindow()->isVisible());
    // An empty member shows an empty window.
    doubleClickEntry("empty.txt");
    EXPECT_TRUE(textWindow()->isVisible());
    EXPECT_EQ(textWindow()->text->toPlainText(), "");
    EXPECT_EQ(textWindow()->windowTitle(), copy("empty.txt"));
}

TEST_F(Preview, ViewAsTextReplacesAnEarlierCopyButNotTheUnpackedOne) {
    frmMain& w = openArchive();
    QAction* menu = w.findChild<QAction*>("mnuViewText");
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->shortcut(), QKeySequence(Qt::Key_F4));
    clickNode("units");
    clickEntry("readme.txt");
    testsupport::writeFile(copyPath("units/readme.txt"), std::string("stale"));
    trigger("mnuViewText");
    EXPECT_EQ(textWindow()->text->toPlainText(), "first readme");
    EXPECT_EQ(readText(copyPath("units/readme.txt")), "first readme");

    beginModification();
    testsupport::writeFile(copyPath("units/readme.txt"), std::string("edited"));
    trigger("popupViewtext");
    doubleClickEntry("readme.txt");
    const Launch editor{"notepad.exe", copy("units/readme.txt"), ""};
    EXPECT_EQ(launches(), (std::vector<Launch>{editor, editor}));
    EXPECT_EQ(readText(copyPath("units/readme.txt")), "edited");
    // A file that is not there shows nothing and leaves the window as it was.
    clickNode("docs");
    clickEntry("readme.txt");
    trigger("mnuViewText");
    EXPECT_EQ(launches().size(), 2u);
    EXPECT_EQ(textWindow()->text->toPlainText(), "first readme");
}

TEST_F(Preview, TextWindowPlacementIsReadOnLoadAndWrittenOnUnload) {
    settings().writeNumber(kApp, "Affichage texte", "Text Top", 1500);
    settings().writeNumber(kApp, "Affichage texte", "Text Left", 3000);
    settings().writeNumber(kApp, "Affichage texte", "Text Width", 4500);
    settings().writeNumber(kApp, "Affichage texte", "Text Height", 3001);
    openArchive();
    clickNode("units");
    doubleClickEntry("readme.txt");
    frmTXT* view = textWindow();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->size(), QSize(300, 200));
    view->resize(320, 200);
    // Closing the main window unloads the text window, which saves itself.
    closeWindow();
    const common::SettingsStore store = settings();
    EXPECT_EQ(store.read(kApp, "Affichage texte", "Text Width"), "4800");
    EXPECT_EQ(store.read(kApp, "Affichage texte", "Text Height"), "3001"); // unchanged pixels
    EXPECT_FALSE(store.read(kApp, "Affichage texte", "Text Top").empty());
}

TEST(WorkingCopy, PathsFollowTheMemberAndStayInside) {
    EXPECT_EQ(WorkingCopyPath("/w/temp1/", "units\\arm.fbi"), "/w/temp1/units/arm.fbi");
    EXPECT_EQ(WorkingCopyPath("/w/temp1/", "arm.fbi"), "/w/temp1/arm.fbi");
    EXPECT_FALSE(WorkingCopyPath("/w/temp1/", "..\\x"));
    EXPECT_FALSE(WorkingCopyPath("/w/temp1/", "a/b"));
    EXPECT_FALSE(WorkingCopyPath("", "a"));
    EXPECT_EQ(DecodeWindows1252("\x80\x81\x9f\xa0\xff"),
              QString::fromUtf8("\u20ac\u0081\u0178\u00a0\u00ff"));
}

bool mapped(const char* library) {
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);) {
        if (line.find(library) != std::string::npos) {
            return true;
        }
    }
    return false;
}

// Sounds play through a module of their own, loaded at the first play from
// the program's library folder: start-up loads no sound library, and a play
// still reaches the real player.
TEST(SoundModule, LoadsAtTheFirstPlayAndNotBefore) {
    auto previous = SoundPlayer::install(nullptr);
    EXPECT_FALSE(mapped("libQt6Multimedia"));
    EXPECT_FALSE(mapped("libcrateward_sound"));
    SoundPlayer::current().play(QStringLiteral("/nonexistent/none.wav"));
    EXPECT_TRUE(mapped("libcrateward_sound"));
    EXPECT_TRUE(mapped("libQt6Multimedia"));
    SoundPlayer::current().stop();
    SoundPlayer::install(std::move(previous));
}

} // namespace
} // namespace crateward::testing
