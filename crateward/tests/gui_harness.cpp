#include "gui_harness.hpp"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include <cstdlib>

#include "file_association.hpp"
#include "file_view_control.hpp"
#include "file_view_model.hpp"
#include "hpiutil/writer.hpp"
#include "program_commands.hpp"

namespace crateward::testing {

void ensureApplication() {
    static int argc = 1;
    static char name[] = "crateward_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) {
        // A test that drives real windows of other programs asks for xcb itself.
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        // Never destroyed: the process ends with the application alive, so
        // no Qt object outlives it during exit.
        new QApplication(argc, argv);
        common::Dialogs::setProgramTitle(QStringLiteral("Crateward"));
    }
}

void writeArchive(const std::filesystem::path& target, const std::vector<Member>& members) {
    hpiutil::ArchiveWriter writer;
    for (const Member& m : members) {
        if (m.directory) {
            ASSERT_TRUE(writer.addDirectory(m.path)) << m.path;
        } else {
            ASSERT_TRUE(
                writer.addBuffer(m.path, std::vector<std::uint8_t>(m.text.begin(), m.text.end())))
                << m.path;
        }
    }
    const auto written = writer.write(target, hpiutil::Method::None);
    ASSERT_TRUE(written) << written.error().message();
}

void WindowTest::SetUp() {
    ensureApplication();
    const std::filesystem::path runtime = dir_ / "runtime";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    std::filesystem::create_directories(dir_ / "ta");
    setenv("CRATEWARD_HOME", (dir_ / "home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (dir_ / "data").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    setenv("TA_DIR", (dir_ / "ta").c_str(), 1);
    dialogs_ = std::make_unique<common::ScopedScriptedDialogs>();
    launcher_ = std::make_unique<ScopedRecordingLauncher>();
    sound_ = std::make_unique<ScopedRecordingSoundPlayer>();
    ProgramCommands::associationToolRunner() = [this](const std::string& tool,
                                                      const std::vector<std::string>&) {
        toolRuns_.push_back(tool);
        return true;
    };
}

void WindowTest::TearDown() {
    window_.reset();
    launcher_.reset();
    sound_.reset();
    dialogs_.reset();
    ProgramCommands::associationToolRunner() = RunInstalledTool;
}

frmMain& WindowTest::start(const QString& commandLine, std::unique_ptr<ArchivePreload> preload) {
    window_ = std::make_unique<frmMain>();
    window_->adoptPreload(std::move(preload));
    const bool started = window_->startUp(commandLine);
    EXPECT_TRUE(started);
    window_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    return *window_;
}

void WindowTest::closeWindow() {
    window_->close();
    window_.reset();
}

frmMain& WindowTest::openFixture(const std::vector<Member>& members) {
    const auto archive = path("a.hpi");
    writeArchive(archive, members);
    frmMain& w = start();
    w.OpenHPI(QString::fromStdString(archive.string()));
    EXPECT_NE(w.archiveHandle(), 0);
    return w;
}

QAbstractItemView* WindowTest::listView() const {
    return window_->FileView->currentView();
}

void WindowTest::pressKey(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    target->setFocus();
    QTest::keyClick(target, key, modifiers);
}

QTreeWidgetItem* WindowTest::node(const QString& key) const {
    QTreeWidgetItemIterator it(window_->Tree);
    for (; *it; ++it) {
        if ((*it)->data(0, Qt::UserRole).toString() == key) {
            return *it;
        }
    }
    return nullptr;
}

void WindowTest::clickNode(const QString& key, Qt::MouseButton button) {
    QTreeWidgetItem* item = node(key);
    ASSERT_NE(item, nullptr) << key.toStdString();
    window_->Tree->scrollToItem(item);
    const QPoint at = window_->Tree->visualItemRect(item).center();
    QTest::mouseClick(window_->Tree->viewport(), button, {}, at);
}

QPoint WindowTest::entryCenter(const QString& name) const {
    const int row = window_->FileView->model()->rowOf(name);
    EXPECT_GE(row, 0) << name.toStdString();
    QAbstractItemView* view = window_->FileView->currentView();
    const QModelIndex index = window_->FileView->model()->index(row, 0);
    view->scrollTo(index);
    return view->visualRect(index).center();
}

void WindowTest::clickEntry(const QString& name, Qt::MouseButton button) {
    const QPoint at = entryCenter(name);
    QTest::mouseClick(window_->FileView->currentView()->viewport(), button, {}, at);
}

void WindowTest::doubleClickEntry(const QString& name) {
    const QPoint at = entryCenter(name);
    QWidget* viewport = window_->FileView->currentView()->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
}

QStringList WindowTest::listColumn(int column) const {
    QStringList out;
    const FileViewModel* model = window_->FileView->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        out << model->data(model->index(row, column), Qt::DisplayRole).toString();
    }
    return out;
}

QString WindowTest::panel(int i) const {
    return window_->statusPanel(i)->text();
}

void WindowTest::trigger(const char* actionName) {
    QAction* a = window_->findChild<QAction*>(QLatin1String(actionName));
    ASSERT_NE(a, nullptr) << actionName;
    a->trigger();
}

QStringList WindowTest::messages() const {
    QStringList out;
    for (const QString& m : (*dialogs_)->messages()) {
        out << m;
    }
    return out;
}

} // namespace crateward::testing
