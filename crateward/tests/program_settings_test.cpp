// The program-locations dialog, the toolbar launches, the association
// written at start-up and the production launcher on real processes.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <cstdlib>

#include "desktop_launcher.hpp"
#include "frm_prog_search.hpp"
#include "gui_harness.hpp"
#include "program_commands.hpp"
#include "program_keys.hpp"
#include "settings_keys.hpp"

namespace crateward::testing {
namespace {

namespace fs = std::filesystem;

using testsupport::readText;

class ProgramSettings : public WindowTest {
protected:
    std::string setting(const char* section, const char* key) const {
        return settings().read(kApp, section, key, "<missing>");
    }
    QString sibling(const char* name) const {
        return QString::fromStdString(
            (window_->programCommands()->programDirectory() / name).string());
    }
    std::vector<Launch>& launches() { return launcher_->launches(); }
    void triggerToolbar(const char* key) {
        window_->Toolbar->findChild<QAction*>(QString::fromUtf8(key))->trigger();
    }
    ProgramLocations& programs() { return window_->programCommands()->programs(); }
};

TEST_F(ProgramSettings, FreshStoreStartsWithTheOwnViewersAndTheDialogSavesTheOptions) {
    frmMain& w = start();
    EXPECT_EQ(programs().TAPath, "");
    // The own viewers are the GAF and 3DO locations from the first start.
    EXPECT_EQ(QString::fromStdString(programs().SpriteProgramPath), sibling("spriteglass"));
    EXPECT_EQ(QString::fromStdString(programs().ModelProgramPath), sibling("meshglass"));
    EXPECT_EQ(setting(kOptions, kGafType), "0");
    EXPECT_EQ(setting(kOptions, k3doType), "0");
    EXPECT_FALSE(programs().PictureExternal);
    // With nothing set, the other launch buttons do nothing and say nothing.
    for (const char* key : {"TA", "UnitView", "MAP"}) {
        QAction* a = w.Toolbar->findChild<QAction*>(QString::fromUtf8(key));
        ASSERT_NE(a, nullptr) << key;
        EXPECT_TRUE(a->isVisible()) << key;
        a->trigger();
    }
    EXPECT_TRUE(launches().empty());
    EXPECT_TRUE(messages().isEmpty());

    frmProgSearch* dialog = w.programCommands()->loadProgramSettings();
    EXPECT_EQ(dialog->windowTitle(), "Viewing file settings...");
    EXPECT_TRUE(dialog->GafOption[0]->isChecked());
    EXPECT_TRUE(dialog->Doption[0]->isChecked());
    EXPECT_TRUE(dialog->pictOption[0]->isChecked());
    EXPECT_FALSE(dialog->txtGafProg->isEnabled());
    EXPECT_FALSE(dialog->lbBrowse3DOprog->isEnabled());
    EXPECT_TRUE(dialog->lbBrowseTNT->isEnabled());
    EXPECT_EQ(dialog->findChild<QRadioButton*>("GafOption(1)"), dialog->GafOption[1]);
    // The game was found: its executable shows, the "TA" setting stays.
    EXPECT_EQ(dialog->TxtTA->text().toStdString(), (path("ta") / "totala.exe").string());
    EXPECT_EQ(setting(kPrograms, kSpriteKey), sibling("spriteglass").toStdString());
    EXPECT_EQ(setting(kPrograms, kModelKey), sibling("meshglass").toStdString());
    EXPECT_EQ(setting(kOptions, kGafType), "0");
    EXPECT_EQ(setting(kOptions, kPictType), "0");
    EXPECT_EQ(setting(kOptions, k3doType), "0");
    EXPECT_EQ(setting(kPrograms, kTAKey), "<missing>");
    QTest::mouseClick(dialog->ok, Qt::LeftButton);
    EXPECT_EQ(programs().TAPath, "");
    EXPECT_EQ(QString::fromStdString(programs().ModelProgramPath), sibling("meshglass"));

    triggerToolbar("GAF Builder");
    ASSERT_EQ(launches().size(), 1u);
    EXPECT_EQ(launches()[0],
              (Launch{sibling("spriteglass"), QString(),
                      QString::fromStdString(w.programCommands()->programDirectory().string())}));
}

TEST_F(ProgramSettings, OwnViewerDefaultsNeverReplaceWhatTheUserSet) {
    // An external GAF program chosen without a location, and a 3DO location
    // the user emptied: both stay so at start-up.
    settings().writeNumber(kApp, kOptions, kGafType, 1);
    settings().write(kApp, kPrograms, kModelKey, "");
    start();
    EXPECT_EQ(programs().SpriteProgramPath, "");
    EXPECT_EQ(programs().ModelProgramPath, "");
    EXPECT_EQ(setting(kPrograms, kSpriteKey), "<missing>");
    EXPECT_EQ(setting(kOptions, k3doType), "<missing>");
}

TEST_F(ProgramSettings, AWindowsProgramWithoutWineIsToldOnce) {
    struct PathGuard {
        std::string old = std::getenv("PATH") ? std::getenv("PATH") : "";
        ~PathGuard() { setenv("PATH", old.c_str(), 1); }
    } guard;
    fs::create_directories(path("bin"));
    setenv("PATH", path("bin").c_str(), 1); // no wine anywhere
    testsupport::writeFile(path("games/totala.exe"), "MZ windows program");
    testsupport::writeFile(path("tools/native"), "#!/bin/sh\n");
    fs::permissions(path("tools/native"), fs::perms::owner_all);
    settings().write(kApp, kPrograms, kTAKey, path("games/totala.exe").string());
    settings().write(kApp, kPrograms, kMapKey, path("tools/native").string());
    start();
    triggerToolbar("MAP"); // a native program: nothing to say
    EXPECT_TRUE(messages().isEmpty());
    triggerToolbar("TA");
    triggerToolbar("TA");
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].contains("wine is needed")) << messages()[0].toStdString();
    EXPECT_TRUE(messages()[0].contains("totala.exe"));
    EXPECT_EQ(launches().size(), 3u);
    // With wine installed, nothing is said.
    closeWindow();
    testsupport::writeFile(path("bin/wine"), "#!/bin/sh\n");
    fs::permissions(path("bin/wine"), fs::perms::owner_all);
    launcher_.reset();
    launcher_ = std::make_unique<ScopedRecordingLauncher>();
    (*dialogs_)->calls.clear();
    start();
    triggerToolbar("TA");
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(ProgramSettings, BrowseButtonsSaveTheChosenProgramAtOnce) {
    frmMain& w = start();
    frmProgSearch* dialog = w.programCommands()->loadProgramSettings();
    struct Case {
        QPushButton* button;
        QLineEdit* box;
        const char* key;
        std::string ProgramLocations::*variable;
    };
    const Case cases[] = {
        {dialog->cmdBrowseTA, dialog->TxtTA, kTAKey, &ProgramLocations::TAPath},
        {dialog->cmdBrowseUV, dialog->TxtUnitViewer, kUnitViewerKey,
         &ProgramLocations::UnitViewerPath},
        {dialog->lbBrowse3DOprog, dialog->txt3DOprog, kModelKey,
         &ProgramLocations::ModelProgramPath},
        {dialog->lbBrowseGAF, dialog->txtGafProg, kSpriteKey, &ProgramLocations::SpriteProgramPath},
        {dialog->lbBrowseTNT, dialog->txtTNTprog, kMapKey, &ProgramLocations::MapProgramPath},
    };
    dialog->Doption[1]->click();
    dialog->GafOption[1]->click();
    for (const Case& c : cases) {
        const QString chosen = QStringLiteral("/opt/tools/%1 prog.exe").arg(QLatin1String(c.key));
        (*dialogs_)->calls.clear();
        (*dialogs_)->queueText(chosen);
        QTest::mouseClick(c.button, Qt::LeftButton);
        ASSERT_EQ((*dialogs_)->calls.size(), 1u) << c.key;
        const common::DialogCall& call = (*dialogs_)->calls[0];
        EXPECT_EQ(call.kind, "openFile");
        EXPECT_EQ(call.title, "Select the program...");
        EXPECT_EQ(call.filter, "Programs(*.exe)|*.exe|All files|*");
        EXPECT_EQ(call.start, QDir::homePath());
        EXPECT_EQ(c.box->text(), chosen) << c.key;
        EXPECT_EQ(programs().*c.variable, chosen.toStdString()) << c.key;
        EXPECT_EQ(setting(kPrograms, c.key), chosen.toStdString()) << c.key;
        // Cancelled: nothing changes.
        QTest::mouseClick(c.button, Qt::LeftButton);
        EXPECT_EQ(c.box->text(), chosen) << c.key;
        EXPECT_EQ(setting(kPrograms, c.key), chosen.toStdString()) << c.key;
    }
    // Option 1 saves what its text box holds; option 0 the own viewer.
    dialog->txtGafProg->setText("/typed/gaf");
    dialog->GafOption[1]->click();
    EXPECT_EQ(setting(kPrograms, kSpriteKey), "/typed/gaf");
    EXPECT_EQ(setting(kOptions, kGafType), "1");
    dialog->GafOption[0]->click();
    EXPECT_EQ(setting(kPrograms, kSpriteKey), sibling("spriteglass").toStdString());
    EXPECT_FALSE(dialog->txtGafProg->isEnabled());
    dialog->close(); // the close box unloads as OK does
    EXPECT_EQ(QString::fromStdString(programs().SpriteProgramPath), sibling("spriteglass"));
    EXPECT_EQ(programs().MapProgramPath, "/opt/tools/MAP prog.exe");
}

TEST_F(ProgramSettings, StoredChoicesShowAndThePictureOptionWaitsForTheDialog) {
    settings().write(kApp, kPrograms, kSpriteKey, "/gaf/editor");
    settings().write(kApp, kPrograms, kModelKey, "/3do/editor");
    settings().write(kApp, kPrograms, kMapKey, "/maps/editor");
    settings().write(kApp, kPrograms, kUnitViewerKey, "/uv/viewer");
    settings().writeNumber(kApp, kOptions, kGafType, 1);
    settings().writeNumber(kApp, kOptions, k3doType, 1);
    settings().writeNumber(kApp, kOptions, kPictType, 1);
    frmMain& w = start();
    EXPECT_FALSE(programs().PictureExternal);
    frmProgSearch* dialog = w.programCommands()->loadProgramSettings();
    EXPECT_TRUE(programs().PictureExternal);
    EXPECT_TRUE(dialog->GafOption[1]->isChecked());
    EXPECT_TRUE(dialog->pictOption[1]->isChecked());
    EXPECT_EQ(dialog->txtGafProg->text(), "/gaf/editor");
    EXPECT_EQ(dialog->txt3DOprog->text(), "/3do/editor");
    EXPECT_EQ(dialog->txtTNTprog->text(), "/maps/editor");
    EXPECT_EQ(dialog->TxtUnitViewer->text(), "/uv/viewer");
    EXPECT_TRUE(dialog->txtGafProg->isEnabled());
    EXPECT_EQ(setting(kPrograms, kSpriteKey), "/gaf/editor");
    dialog->pictOption[0]->click();
    EXPECT_FALSE(programs().PictureExternal);
    EXPECT_EQ(setting(kOptions, kPictType), "0");
    dialog->close();
}

TEST_F(ProgramSettings, ToolbarLaunchesEachProgramInItsFolder) {
    settings().write(kApp, kPrograms, kTAKey, "/games/ta/totala.exe");
    settings().write(kApp, kPrograms, kUnitViewerKey, "/uv/viewer");
    settings().write(kApp, kPrograms, kModelKey, "/3do/editor");
    settings().write(kApp, kPrograms, kSpriteKey, "/gaf/editor");
    settings().write(kApp, kPrograms, kMapKey, "uv.exe");
    start();
    for (const char* key : {"TA", "UnitView", "3DO Builder", "GAF Builder", "MAP"}) {
        triggerToolbar(key);
    }
    const std::vector<Launch> expected = {{"/games/ta/totala.exe", "", "/games/ta"},
                                          {"/uv/viewer", "", "/uv"},
                                          {"/3do/editor", "", "/3do"},
                                          {"/gaf/editor", "", "/gaf"},
                                          {"uv.exe", "", "uv.exe"}};
    EXPECT_EQ(launches(), expected);
}

TEST_F(ProgramSettings, MenuAndButtonShowTheDialogModally) {
    frmMain& w = start();
    for (const char* name : {"SetPrgPath", "Répertoire"}) {
        QString shown;
        QTimer::singleShot(0, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                shown = modal->objectName();
                modal->close();
            }
        });
        w.findChild<QAction*>(QString::fromUtf8(name))->trigger();
        EXPECT_EQ(shown, "frmProgSearch") << name;
    }
    EXPECT_EQ(QString::fromStdString(programs().SpriteProgramPath), sibling("spriteglass"));
}

TEST_F(ProgramSettings, StartUpRegistersTheArchiveTypesOnce) {
    start();
    const fs::path package = path("data") / "mime/packages/crateward.xml";
    const fs::path entry = path("data") / "applications/crateward.desktop";
    ASSERT_TRUE(fs::exists(package));
    EXPECT_NE(readText(package).find("*.gp3"), std::string::npos);
    const fs::path exe = fs::read_symlink("/proc/self/exe");
    EXPECT_NE(readText(entry).find("\nExec=" + exe.string() + " %f\n"), std::string::npos);
    EXPECT_NE(readText(path("config") / "mimeapps.list")
                  .find("application/x-hpi-archive=crateward.desktop"),
              std::string::npos);
    EXPECT_FALSE(toolRuns_.empty());
    closeWindow();
    toolRuns_.clear();
    start();
    EXPECT_TRUE(toolRuns_.empty());
}

// Sets environment variables for one test and restores them after it.
class ScopedPath {
public:
    explicit ScopedPath(const fs::path& first)
        : old_(std::getenv("PATH") ? std::getenv("PATH") : "") {
        setenv("PATH", (first.string() + ":" + old_).c_str(), 1);
    }
    ~ScopedPath() { setenv("PATH", old_.c_str(), 1); }

private:
    std::string old_;
};

fs::path script(const fs::path& file, const std::string& body) {
    testsupport::writeFile(file, "#!/bin/sh\n" + body);
    fs::permissions(file, fs::perms::owner_all);
    return file;
}

// Waits until `file` holds a complete line set by a started process.
std::string waitForText(const fs::path& file) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10000) {
        if (fs::exists(file) && readText(file).ends_with("end\n")) {
            return readText(file);
        }
        QTest::qWait(20);
    }
    return {};
}

TEST_F(ProgramSettings, ProductionLauncherStartsARealProcess) {
    const fs::path tools = path("my tools");
    fs::create_directories(tools);
    const fs::path out = path("out.txt");
    const fs::path program =
        script(tools / "viewer", "{ echo \"$#|$1|$(pwd)\"; echo end; } > '" + out.string() + "'\n");
    EXPECT_EQ(DesktopLauncher::kindOf(QString::fromStdString(program.string())),
              DesktopLauncher::Kind::Native);
    DesktopLauncher launcher;
    const QString argument = QString::fromStdString((path("temp1") / "a b.gaf").string());
    LaunchProgram(QString::fromStdString(program.string()), QString()); // recorded only
    launcher.open(QString::fromStdString(program.string()), argument,
                  QString::fromStdString(tools.string()));
    EXPECT_EQ(waitForText(out), "1|" + argument.toStdString() + "|" + tools.string() + "\nend\n");
    // No arguments at all when the text is empty; a missing folder is not used.
    fs::remove(out);
    launcher.open(QString::fromStdString(program.string()), QString(), "/no/such/folder");
    EXPECT_EQ(waitForText(out).substr(0, 3), "0||");
}

TEST_F(ProgramSettings, WindowsProgramsGoThroughWineWithWindowsPaths) {
    const fs::path bin = path("bin");
    fs::create_directories(bin);
    const fs::path out = path("wine.txt");
    script(bin / "wine",
           "{ printf '%s\\n' \"$#|$1|$2|$(pwd)\"; echo end; } > '" + out.string() + "'\n");
    script(bin / "winepath", "[ \"$1\" = -w ] && printf 'Z:%s\\n' \"$2\" | tr / '\\\\'\n");
    ScopedPath scoped(bin);
    const fs::path game = path("ta") / "TotalA.exe";
    testsupport::writeFile(game, std::string("MZ\x90\x00", 4));
    const QString exe = QString::fromStdString(game.string());
    EXPECT_EQ(DesktopLauncher::kindOf(exe), DesktopLauncher::Kind::Windows);
    EXPECT_EQ(DesktopLauncher::kindOf("NOTEPAD.EXE"), DesktopLauncher::Kind::TextEditor);
    EXPECT_EQ(DesktopLauncher::kindOf(QString::fromStdString(path("none").string())),
              DesktopLauncher::Kind::Missing);
    EXPECT_EQ(DesktopLauncher::kindOf(QString::fromStdString(path("").string())),
              DesktopLauncher::Kind::Folder);
    DesktopLauncher().open(exe, "/tmp/x/map.tnt", QString::fromStdString(path("ta").string()));
    EXPECT_EQ(waitForText(out),
              "2|" + game.string() + "|Z:\\tmp\\x\\map.tnt|" + path("ta").string() + "\nend\n");
}

} // namespace
} // namespace crateward::testing
