// The find box over the list: names matched anywhere in the archive, the
// commands on found entries, and the way back to the folder view.
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>

#include "file_view_control.hpp"
#include "file_view_model.hpp"
#include "gui_harness.hpp"
#include "name_matcher.hpp"

namespace crateward::testing {
namespace {

namespace fs = std::filesystem;

TEST(NameMatcher, PartsAndWildcardsIgnoreCase) {
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    };
    const Case cases[] = {
        {"com", "ARMCOM.FBI", true},
        {"ARMCOM", "armcom.3do", true},
        {"  com ", "armcom.3do", true},
        {"xyz", "armcom.3do", false},
        {"*.fbi", "ARMCOM.FBI", true},
        {"*.fbi", "armcom.fbi.bak", false},
        {"arm*.3do", "armcom.3do", true},
        {"arm*.3do", "corcom.3do", false},
        {"a?m*", "ARM", true},
        {"a*b*c", "axxbyybzzc", true},
        {"a*b*c", "axxbyybzz", false},
        {"*", "", true},
        {"\xc3\xa9t\xc3\xa9", "\xc3\x89T\xc3\x89.txt", true}, // é in both cases
        {"*\xc3\xa9*", "caf\xc3\x89.wav", true},
        {"[ab]*", "beta", true},
        {"[ab]*", "gamma", false},
        {"", "anything", false},
    };
    for (const Case& c : cases) {
        const NameMatcher matcher(QString::fromUtf8(c.pattern));
        EXPECT_EQ(matcher.matches(std::string_view(c.name)), c.match)
            << c.pattern << " / " << c.name;
        EXPECT_EQ(matcher.matches(QString::fromUtf8(c.name)), c.match)
            << c.pattern << " / " << c.name << " (text)";
    }
}

const std::vector<Member> kMembers = {
    {"readme.txt", "hello"},
    {"units\\armcom.fbi", "[UNITINFO] arm"},
    {"units\\sounds\\deep\\armcom.wav", "RIFF deep"},
    {"units\\sounds\\boom.wav", "RIFF boom"},
    {"features\\armcom", "", true},
    {"features\\rock.fbi", "rock"},
};

class Find : public WindowTest {
protected:
    frmMain& openArchive() { return openFixture(kMembers); }
    QLineEdit* box() const { return window_->findChild<QLineEdit*>("FileFilter"); }
    void type(const QString& text) {
        box()->clear();
        QTest::keyClicks(box(), text);
    }
    // "folder/name" of every listed entry.
    QStringList found() const {
        QStringList out;
        const QStringList names = listColumn(0), folders = listColumn(3);
        for (int i = 0; i < names.size(); ++i) {
            out << folders.value(i) + "/" + names[i];
        }
        out.sort();
        return out;
    }
};

TEST_F(Find, TypingFindsMembersOfEveryFolderByPartOrWildcard) {
    frmMain& w = openArchive();
    clickNode("units");
    trigger("mnuFind");
    EXPECT_TRUE(box()->hasFocus() || !w.isActiveWindow());
    type("ARMcom");
    EXPECT_EQ(w.FileView->model()->columnCount(), 4);
    EXPECT_EQ(w.FileView->model()->headerData(3, Qt::Horizontal, Qt::DisplayRole), "Folder");
    EXPECT_EQ(found(), QStringList({"features/armcom", "units/armcom.fbi",
                                    "units\\sounds\\deep/armcom.wav"}));
    EXPECT_EQ(panel(4), "2 files found");
    type("*.WAV");
    EXPECT_EQ(found(), QStringList({"units\\sounds/boom.wav", "units\\sounds\\deep/armcom.wav"}));
    type("*.fbi");
    EXPECT_EQ(found(), QStringList({"features/rock.fbi", "units/armcom.fbi"}));
    // A click on "Folder" sorts by it; the icon modes' tooltip names the path.
    QTest::mouseClick(
        w.FileView->reportView()->header()->viewport(), Qt::LeftButton, {},
        QPoint(w.FileView->reportView()->header()->sectionViewportPosition(3) + 5, 5));
    EXPECT_EQ(listColumn(3), QStringList({"features", "units"}));
    QTest::mouseClick(
        w.FileView->reportView()->header()->viewport(), Qt::LeftButton, {},
        QPoint(w.FileView->reportView()->header()->sectionViewportPosition(3) + 5, 5));
    EXPECT_EQ(listColumn(3), QStringList({"units", "features"}));
    const FileViewModel* model = w.FileView->model();
    EXPECT_EQ(model->data(model->index(0, 0), Qt::ToolTipRole), "units\\armcom.fbi");
    type("nothing like it");
    EXPECT_EQ(w.FileView->model()->count(), 0);
    // Escape: back to the folder the tree shows, three columns again.
    type("arm");
    QTest::keyClick(box(), Qt::Key_Escape);
    EXPECT_TRUE(box()->text().isEmpty());
    EXPECT_EQ(w.FileView->model()->columnCount(), 3);
    EXPECT_EQ(listColumn(0), QStringList({"armcom.fbi", "sounds"}));
    EXPECT_EQ(panel(5), "units\\");
    EXPECT_EQ(model->sortColumn(), -1);
}

TEST_F(Find, CommandsOnAFoundEntryUseItsOwnMember) {
    frmMain& w = openArchive();
    type("armcom.wav");
    ASSERT_EQ(w.FileView->model()->count(), 1);
    // A double-click plays the deep member, not a "armcom.wav" of the root.
    doubleClickEntry("armcom.wav");
    auto& plays = sound_->recorder().plays;
    ASSERT_EQ(plays.size(), 1u);
    EXPECT_TRUE(plays[0].path.endsWith("units/sounds/deep/armcom.wav"))
        << plays[0].path.toStdString();
    const auto bytes = testsupport::readFile(plays[0].path.toStdString());
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "RIFF deep");
    // Extract writes the found member.
    type("*.fbi");
    clickEntry("armcom.fbi");
    const fs::path target = path("saved.fbi");
    (*dialogs_)->queueText(QString::fromStdString(target.string()));
    trigger("mnuExtract");
    const auto saved = testsupport::readFile(target);
    EXPECT_EQ(std::string(saved.begin(), saved.end()), "[UNITINFO] arm");
    // A double-click on a found folder shows that folder.
    type("armcom");
    doubleClickEntry("armcom");
    EXPECT_TRUE(box()->text().isEmpty());
    EXPECT_EQ(panel(5), "features\\armcom\\");
    EXPECT_EQ(w.FileView->model()->columnCount(), 3);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(Find, ATreeClickOrAnotherArchiveEndsTheFind) {
    frmMain& w = openArchive();
    type("*.fbi");
    clickNode("features");
    EXPECT_TRUE(box()->text().isEmpty());
    EXPECT_EQ(listColumn(0), QStringList({"armcom", "rock.fbi"}));
    // The names kept for finding belong to the archive that was open.
    type("arm");
    const auto other = path("b.hpi");
    writeArchive(other, {{"units\\corcom.fbi", "cor"}, {"units\\armfav.fbi", "fav"}});
    w.OpenHPI(QString::fromStdString(other.string()));
    EXPECT_TRUE(box()->text().isEmpty());
    type("arm");
    EXPECT_EQ(found(), QStringList({"units/armfav.fbi"}));
}

} // namespace
} // namespace crateward::testing
