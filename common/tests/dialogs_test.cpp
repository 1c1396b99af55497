#include "common/bar_arrow_style.hpp"
#include "common/dialogs.hpp"
#include "common/qt_dialogs.hpp"
#include "common/save_location.hpp"
#include "common/scripted_dialogs.hpp"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QStyle>
#include <QTimer>

#include <cstdlib>
#include <functional>

#include "testsupport/testsupport.hpp"

using namespace common;

TEST(QtFilterFromPipes, TranslatesPairsWithPlainPatterns) {
    EXPECT_EQ(QtFilterFromPipes("BMP files (*.bmp)|*.bmp"), "BMP files (*.bmp)");
    EXPECT_EQ(QtFilterFromPipes("HPI archive|*.hpi;*.ccx|All|*.*"),
              "HPI archive (*.hpi *.ccx);;All (*.*)");
    EXPECT_EQ(FilterExtension("UFO file (*.ufo *.hpi)"), "ufo");
    EXPECT_EQ(FilterExtension("HPI archive (*.gp?)"), "");
    EXPECT_EQ(FilterExtension("All (*)"), "");
    EXPECT_EQ(FilterExtension("All (*.*)"), "");
}

TEST(ScriptedDialogs, RecordsEveryCallAndAnswersFromTheQueue) {
    ScopedScriptedDialogs scripted;
    scripted->queueAnswer(MessageAnswer::No);
    scripted->queueText(QStringLiteral("/tmp/x.bmp"));
    scripted->queueAnswer(MessageAnswer::Action);

    Dialogs& dialogs = Dialogs::current();
    EXPECT_EQ(
        dialogs.message(nullptr, "Sure?", "Title", MessageIcon::Question, MessageButtons::YesNo),
        MessageAnswer::No);
    EXPECT_EQ(dialogs.saveFile(nullptr, "", "BMP files (*.bmp)|*.bmp", "bmp", ""),
              std::optional<QString>("/tmp/x.bmp"));
    EXPECT_EQ(dialogs.detailedMessage(nullptr, "Done", "T", MessageIcon::Information,
                                      MessageButtons::Ok, {"why", "Open"}),
              MessageAnswer::Action);
    // An empty queue: the first button, and cancelled dialogs.
    EXPECT_EQ(dialogs.message(nullptr, "Done", "T", MessageIcon::Information,
                              MessageButtons::YesNoCancel),
              MessageAnswer::Yes);
    EXPECT_EQ(dialogs.inputBox(nullptr, "Name", "New", ""), std::nullopt);

    ASSERT_EQ(scripted->calls.size(), 5u);
    EXPECT_EQ(scripted->calls[1].kind, "saveFile");
    EXPECT_EQ(scripted->calls[1].extension, "bmp");
    EXPECT_EQ(scripted->calls[2].extras.details, "why");
    EXPECT_EQ(scripted->calls[2].extras.actionText, "Open");
    EXPECT_EQ(scripted->calls[4].text, "Name");
    EXPECT_EQ(scripted->messages(), (std::vector<QString>{"Title|Sure?", "T|Done", "T|Done"}));
}

// Qt's own file dialogs, driven as a user would: what a filter lists, and
// the extension a typed name gets.
namespace {

void ensureApplication() {
    static int argc = 1;
    static char name[] = "common_dialogs_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        new QApplication(argc, argv);
    }
}

QStringList listed(QFileDialog& dialog) {
    auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
    QStringList names;
    if (!view || !view->model()) {
        return names;
    }
    for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
        names << view->model()->index(row, 0, view->rootIndex()).data().toString();
    }
    names.sort();
    return names;
}

// Runs `step` on the file dialog once it is open and its folder lists
// `rows` names (or 5 s have passed).
void whenDialogOpens(int rows, std::function<void(QFileDialog&)> step) {
    QTimer::singleShot(0, [rows, step] {
        QElapsedTimer clock;
        clock.start();
        QFileDialog* dialog = nullptr;
        while (clock.elapsed() < 5000) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
            dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (dialog && listed(*dialog).size() >= rows) {
                break;
            }
        }
        if (dialog) {
            step(*dialog);
        }
    });
}

void touch(const std::filesystem::path& file, bool executable = false) {
    QFile out(QString::fromStdString(file.string()));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    if (executable) {
        out.setPermissions(out.permissions() | QFile::ExeOwner);
    }
}

void chooseFilter(QFileDialog& dialog, int index) {
    auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(combo, nullptr);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
    emit combo->textActivated(combo->currentText());
}

} // namespace

TEST(QtDialogsTest, FiltersMatchWithoutRegardToCase) {
    ensureApplication();
    testsupport::TempDir dir;
    for (const char* name : {"A.HPI", "b.hpi", "D.Hpi", "e.ufo", "c.txt"}) {
        touch(dir.path() / name);
    }
    QStringList shown;
    whenDialogOpens(4, [&](QFileDialog& dialog) {
        shown = listed(dialog);
        EXPECT_EQ(dialog.nameFilters().first(), "HPI archive (*.hpi *.ufo)");
        dialog.reject();
    });
    QtDialogs dialogs;
    EXPECT_EQ(dialogs.openFile(nullptr, "Open", "HPI archive|*.hpi;*.ufo",
                               QString::fromStdString(dir.path().string())),
              std::nullopt);
    EXPECT_EQ(shown, QStringList({"A.HPI", "D.Hpi", "b.hpi", "e.ufo"}));
}

TEST(QtDialogsTest, ATypedNameGetsTheChosenFiltersExtension) {
    ensureApplication();
    testsupport::TempDir dir;
    const QString folder = QString::fromStdString(dir.path().string());
    QtDialogs dialogs;
    const QString filter = QStringLiteral("UFO file|*.ufo|HPI file|*.hpi|CCX file|*.ccx");
    // The dialog opens in the folder of the proposed name; the first filter's
    // extension is added to a name without one.
    whenDialogOpens(0, [&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.directory().absolutePath(), folder);
        EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text(),
                  "New Hpi File");
        static_cast<QDialog&>(dialog).accept(); // runs the file dialog's own accept
    });
    EXPECT_EQ(dialogs.saveFile(nullptr, "Save", filter, QString(), folder + "/New Hpi File"),
              folder + "/New Hpi File.ufo");
    // Another filter chosen: its extension.
    whenDialogOpens(0, [&](QFileDialog& dialog) {
        chooseFilter(dialog, 1);
        dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText("ARMBANI");
        static_cast<QDialog&>(dialog).accept(); // runs the file dialog's own accept
    });
    EXPECT_EQ(dialogs.saveFile(nullptr, "Save", filter, QString(), folder + "/x"),
              folder + "/ARMBANI.hpi");
    // A typed extension stays.
    whenDialogOpens(0, [&](QFileDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText("mod.gp3");
        static_cast<QDialog&>(dialog).accept(); // runs the file dialog's own accept
    });
    EXPECT_EQ(dialogs.saveFile(nullptr, "Save", filter, QString(), folder + "/x"),
              folder + "/mod.gp3");
}

TEST(QtDialogsTest, TheProgramPromptShowsNativeAndWindowsPrograms) {
    ensureApplication();
    testsupport::TempDir dir;
    touch(dir.path() / "viewer", true);
    touch(dir.path() / "UnitView.EXE");
    touch(dir.path() / "readme.txt");
    QStringList programs;
    QStringList windowsOnly;
    whenDialogOpens(2, [&](QFileDialog& dialog) {
        programs = listed(dialog);
        chooseFilter(dialog, 1);
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 2000 && listed(dialog).size() != 1) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        windowsOnly = listed(dialog);
        dialog.reject();
    });
    QtDialogs dialogs;
    EXPECT_EQ(dialogs.openProgram(nullptr, "Program", QString::fromStdString(dir.path().string())),
              std::nullopt);
    EXPECT_EQ(programs, QStringList({"UnitView.EXE", "viewer"}));
    EXPECT_EQ(windowsOnly, QStringList({"UnitView.EXE"}));
}

// The save dialogs' folder: the last one saved into while it exists, else the
// open file's, else home; the folder kept is the chosen file's.
TEST(SaveDialogStart, LastFolderThenTheOpenFilesFolderThenHome) {
    testsupport::TempDir dir;
    std::filesystem::create_directories(dir / "last");
    std::filesystem::create_directories(dir / "open");
    const QString last = QString::fromStdString((dir / "last").string());
    const QString open = QString::fromStdString((dir / "open" / "a.gaf").string());
    const QString gone = QString::fromStdString((dir / "gone").string());
    EXPECT_EQ(common::SaveDialogStart(last, open, "x.bmp"), last + "/x.bmp");
    EXPECT_EQ(common::SaveDialogStart(gone, open, "x.bmp"),
              QString::fromStdString((dir / "open" / "x.bmp").string()));
    EXPECT_EQ(common::SaveDialogStart(QString(), open, QString()),
              QString::fromStdString((dir / "open").string()));
    EXPECT_EQ(common::SaveDialogStart(gone, gone + "/b.gaf", "x"), QDir::home().filePath("x"));
    EXPECT_EQ(common::SaveDialogStart(QString(), QString(), "x"), QDir::home().filePath("x"));
    EXPECT_EQ(common::SaveFolderOf(last + "/y.png"), last);
    EXPECT_EQ(common::SaveFolderOf(QString()), QString());
}

TEST(BarArrowStyle, DrawsTheBarsArrowsAndLeavesEveryOtherIconToTheStyleBelow) {
    ensureApplication();
    BarArrowStyle style;
    const auto image = [&](QStyle::StandardPixmap which, int size,
                           const QWidget* widget = nullptr) {
        return style.standardIcon(which, nullptr, widget).pixmap(size, size).toImage();
    };
    for (const int size : {16, 32}) {
        const QImage across = image(QStyle::SP_ToolBarHorizontalExtensionButton, size);
        const QImage down = image(QStyle::SP_ToolBarVerticalExtensionButton, size);
        ASSERT_EQ(across.size(), QSize(size, size));
        ASSERT_EQ(down.size(), QSize(size, size));
        // Something is drawn, and the two directions differ.
        EXPECT_NE(across, QImage(across.size(), across.format()));
        EXPECT_NE(across, down);
        // A right-to-left bar flows the other way: the arrows are mirrored.
        QWidget leftward;
        leftward.setLayoutDirection(Qt::RightToLeft);
        EXPECT_EQ(image(QStyle::SP_ToolBarHorizontalExtensionButton, size, &leftward),
                  across.mirrored(true, false));
    }
    const QIcon ok = style.standardIcon(QStyle::SP_DialogOkButton);
    EXPECT_EQ(ok.isNull(), style.baseStyle()->standardIcon(QStyle::SP_DialogOkButton).isNull());
}
