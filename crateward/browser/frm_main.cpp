#include "frm_main.hpp"
#include "unit_export_commands.hpp"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>

#include "archive_preload.hpp"
#include "archive_test.hpp"
#include "archive_writing.hpp"
#include "common/dialogs.hpp"
#include "file_view_control.hpp"
#include "file_view_model.hpp"
#include "frm_wait.hpp"
#include "list_drag_drop.hpp"
#include "list_filter.hpp"
#include "list_keyboard.hpp"
#include "preview_dispatch.hpp"
#include "program_commands.hpp"
#include "settings_keys.hpp"
#include "tree_splitter.hpp"
#include "working_directory.hpp"

#include "twips.hpp"

#include <algorithm>

namespace crateward {

namespace {

constexpr int kTreeWidthTwips = 3000;
constexpr int kPaneHeightTwips = 2400;
// The narrowest tree and list the splitter leaves.
constexpr int kNarrowestTwips = 900;

// The widest text each status panel shows in everyday use, so a first start
// makes room for it ("" leaves the panel to share what is left).
const char* const kPanelTexts[] = {"Extracting archive...",    "", "32767 files in HPI",
                                   "99999 files in this path", "", ""};

} // namespace

frmMain::frmMain(QWidget* parent)
    : QMainWindow(parent), settings_(common::SettingsStore::forCurrentUser()),
      treeWidth_(kTreeWidthTwips) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QLatin1String(kTitle));
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    setCentralWidget(client_);
    client_->installEventFilter(this);

    buildMenus();
    buildBars();
    listFilter_ = new ListFilter(*this);

    Tree = new QTreeWidget(client_);
    Tree->setObjectName(QStringLiteral("Tree"));
    Tree->setHeaderHidden(true);
    Tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Tree->setSelectionMode(QAbstractItemView::SingleSelection);
    Tree->viewport()->installEventFilter(this);
    connect(Tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* node) { Tree_CurrentChanged(node); });

    FileView = new FileViewControl(client_);
    FileView->iconView()->viewport()->installEventFilter(this);
    FileView->reportView()->viewport()->installEventFilter(this);
    connect(FileView, &FileViewControl::columnClicked, this, &frmMain::FileView_ColumnClick);
    new ListKeyboard(*this);
    new ListDragDrop(*this);

    splitter_ = new TreeSplitter(client_);
    connect(splitter_, &TreeSplitter::pressed, this, [this] { treeWidthAtPress_ = Tree->width(); });
    connect(splitter_, &TreeSplitter::dragged, this, &frmMain::TreeSplitter_Dragged);
    connect(splitter_, &TreeSplitter::released, this,
            [this] { settings_.writeNumber(kApp, kOptions, kTreeWidth, treeWidth_); });

    visualisateur = new QFrame(client_);
    visualisateur->setObjectName(QStringLiteral("visualisateur"));
    WavVisu = new QFrame(client_);
    WavVisu->setObjectName(QStringLiteral("WavVisu"));
    for (QFrame* pane : {visualisateur, WavVisu}) {
        pane->setFrameShape(QFrame::StyledPanel);
        pane->resize(px(kTreeWidthTwips), px(kPaneHeightTwips));
        pane->hide();
    }

    // The status bar is laid out by Form_Resize inside the client area, as
    // the layout rules reserve its height there.
    Status = new QStatusBar(client_);
    Status->setObjectName(QStringLiteral("Status"));
    Status->setSizeGripEnabled(false);
    Status->setContentsMargins(0, 0, 0, 0);
    const char* tips[] = {"Status",
                          "HPI File name",
                          "Total number in the HPI archive",
                          "Total number of file in the selected path",
                          "Selected path",
                          "Selected file name"};
    const int stretch[] = {1, 3, 2, 2, 1, 1};
    for (int i = 0; i < 6; ++i) {
        auto* label = new QLabel(Status);
        label->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        label->setToolTip(QLatin1String(tips[i]));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setMinimumWidth(std::max(
            20, label->fontMetrics().horizontalAdvance(QLatin1String(kPanelTexts[i])) + 12));
        label->setContentsMargins(2, 0, 2, 0);
        label->setMargin(0);
        Status->addWidget(label, stretch[i]);
        panels_[std::size_t(i)] = label;
    }

    resize(px(kDefaultMainSize), px(kDefaultMainSize));

    programCommands_ = new ProgramCommands(*this);
    previewDispatch_ = new PreviewDispatch(*this, *programCommands_);
    packing::ArchiveWriting::Install(*this);
    ArchiveTest::Install(*this);
    new UnitExportCommands(*this);
}

frmMain::~frmMain() {
    shutDown();
}

void frmMain::adoptPreload(std::unique_ptr<ArchivePreload> preload) {
    preload_ = std::move(preload);
}

bool frmMain::startUp(const QString& commandLine) {
    // 1.
    statusPanel(1)->setText(QStringLiteral("Ready"));
    // 2. The program locations. The file association is registered once the
    //    window is drawn (a timer set at the end, so it comes after the
    //    drawing start-up asked for).
    programCommands_->startUp();
    // 3.
    restoreWindowState();
    // 4. The whole command line is one path.
    if (!commandLine.isEmpty() && QFileInfo(commandLine).isFile()) {
        // An archive listed while the window was built opens at once: the
        // window's drawing waits for it, so the window is drawn once, with
        // the archive, rather than empty first.
        const bool listed = preload_ && preload_->listed();
        setUpdatesEnabled(!listed);
        show();
        QCoreApplication::processEvents();
        OpenHPI(commandLine);
        setUpdatesEnabled(true);
    }
    // A termination signal while a message of step 4 was open has run the
    // shut-down already: the program ends here and claims nothing.
    if (shutDownDone_) {
        return false;
    }
    // 5. Folders of instances that are gone are removed on the way.
    auto claimed = ClaimWorkingDirectory(UserDataDirectory());
    if (!claimed) {
        common::Dialogs::current().message(
            this,
            QStringLiteral("You can't run more than 10 Crateward at the same time...sorry. "
                           "Close one and retry."),
            QString(), common::MessageIcon::Information, common::MessageButtons::Ok);
        // The program ends without the shut-down steps: there is no working
        // directory of its own to remove, and the window state is not saved.
        shutDownDone_ = true;
        closeArchiveHandle();
        return false;
    }
    workingDirectory_ = QString::fromStdString(claimed->folder().string()) + QLatin1Char('/');
    slot_ = std::move(claimed);
    QTimer::singleShot(0, programCommands_, &ProgramCommands::registerArchiveTypes);
    // A window shown by step 4 draws the archive now: left to the event
    // loop, the drawing would wait for the platform's update timer.
    if (isVisible()) {
        repaint();
    }
    return true;
}

void frmMain::terminate() {
    terminating_ = true;
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->close();
    }
    close();
}

bool frmMain::mayDiscardModification() {
    if (!unsavedModification_) {
        return true;
    }
    const auto answer = common::Dialogs::current().message(
        this,
        QStringLiteral("The working folder holds changes to the archive that were not saved "
                       "with \"Save modified HPI\". Discard them?"),
        QString(), common::MessageIcon::Question, common::MessageButtons::YesNo);
    if (answer != common::MessageAnswer::Yes) {
        return false;
    }
    unsavedModification_ = false;
    return true;
}

QSize frmMain::firstStartSize() const {
    int panels = 0;
    for (const QLabel* panel : panels_) {
        panels += panel->minimumWidth() + 8;
    }
    // The report columns and the tree beside them, with room for a scroll bar.
    int columns = 0;
    const QHeaderView* header = FileView->reportView()->header();
    for (int i = 0; i < header->count(); ++i) {
        columns += header->isSectionHidden(i) ? 0 : header->sectionSize(i);
    }
    const int list = px(kTreeWidthTwips + 50 + 50) + columns + 40;
    return {std::max({960, panels + 200, list}), 640};
}

void frmMain::restoreWindowState() {
    Load_LastHPI();
    // A size never stored: a first start opens large enough for the status
    // panels and the report columns.
    const QSize first = firstStartSize();
    const long width = settings_.readNumber(kApp, kOptions, kMainWidth, twips(first.width()));
    const long height = settings_.readNumber(kApp, kOptions, kMainHeight, twips(first.height()));
    treeWidth_ = int(std::clamp(settings_.readNumber(kApp, kOptions, kTreeWidth, kTreeWidthTwips),
                                long(kNarrowestTwips), 100000L));
    resize(px(int(width)), px(int(height)));
    const long left = settings_.readNumber(kApp, kOptions, kMainLeft, kDefaultMainPosition);
    const long top = settings_.readNumber(kApp, kOptions, kMainTop, kDefaultMainPosition);
    if (left < 0 && top < 0) {
        setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        move(px(int(left)), px(int(top)));
    }
    restoredPlacement_ = {int(left), int(top), int(width), int(height)};
    // The bar is written as "Show/Hide ToolBar" and read as "Show/Hide
    // Toolbar"; the store matches keys without regard to case.
    const bool bar = settings_.readFlag(kApp, kOptions, kToolbarRead, true);
    CoolBar->setVisible(bar);
    action("mnuViewToolBar")->setChecked(bar);
    const bool status = settings_.readFlag(kApp, kOptions, kStatusBar, true);
    Status->setVisible(status);
    action("mnuViewStausBar")->setChecked(status);
    long mode = settings_.readNumber(kApp, kOptions, kViewType, kDefaultViewType);
    if (mode < 0 || mode > 3) {
        mode = kDefaultViewType;
    }
    applyViewType(int(mode));
    ActiveCommand(false);
    Form_Resize();
}

void frmMain::applyViewType(int mode) {
    FileView->setViewMode(mode);
    viewGroup_->actions().at(mode)->setChecked(true);
    ToolbarView->actions().at(mode)->setChecked(true);
}

void frmMain::setViewType(int mode) {
    applyViewType(mode);
    settings_.writeNumber(kApp, kOptions, kViewType, mode);
}

void frmMain::mnuViewToolBar_Click() {
    const bool visible = !CoolBar->isVisibleTo(this);
    CoolBar->setVisible(visible);
    action("mnuViewToolBar")->setChecked(visible);
    settings_.writeFlag(kApp, kOptions, kToolbarWritten, visible);
    Form_Resize();
}

void frmMain::mnuViewStausBar_Click() {
    const bool visible = !Status->isVisibleTo(this);
    Status->setVisible(visible);
    action("mnuViewStausBar")->setChecked(visible);
    settings_.writeFlag(kApp, kOptions, kStatusBar, visible);
    Form_Resize();
}

void frmMain::ActiveCommand(bool enable) {
    for (const char* name : {"mnuUnits", "mnuHPIArchive"}) {
        findChild<QMenu*>(QLatin1String(name))->menuAction()->setEnabled(enable);
    }
    for (const char* name : {"Fermer", "mnuExpand", "mnuCollapse"}) {
        action(name)->setEnabled(enable);
    }
}

void frmMain::Form_Resize() {
    if (isMinimized()) {
        return;
    }
    const int clientWidth = twips(client_->width());
    const int clientHeight = twips(client_->height());
    const bool barVisible = CoolBar->isVisibleTo(this);
    const bool statusVisible = Status->isVisibleTo(this);
    const int statusReserve = statusVisible ? 255 : 0;
    const int barHeight = barVisible ? twips(CoolBar->sizeHint().height()) : 0;
    CoolBar->setGeometry(0, 0, client_->width(), px(barHeight));

    const int top = barVisible ? barHeight + 50 : 50;
    // The splitter's width, leaving the list its narrowest.
    const int treeWidth =
        std::max(kNarrowestTwips, std::min(treeWidth_, clientWidth - 100 - kNarrowestTwips));
    const int listLeft = treeWidth + 50;
    // The find box sits above the list, the list below it.
    QWidget* find = listFilter_->box();
    const int findHeight = twips(find->sizeHint().height());
    find->setGeometry(px(listLeft), px(top), px(std::max(0, clientWidth - listLeft - 50)),
                      px(findHeight));
    const int listTop = top + findHeight + 30;
    FileView->setGeometry(px(listLeft), px(listTop), px(std::max(0, clientWidth - listLeft - 50)),
                          px(std::max(0, clientHeight - listTop - 50 - statusReserve)));

    QFrame* pane = visualisateur->isVisibleTo(this) ? visualisateur
                   : WavVisu->isVisibleTo(this)     ? WavVisu
                                                    : nullptr;
    int treeHeight = clientHeight - top - 50 - statusReserve;
    if (pane) {
        const int paneHeight = twips(pane->height());
        treeHeight = clientHeight - paneHeight - 150 - barHeight - statusReserve;
        pane->setGeometry(0, px(top + treeHeight + 50), px(treeWidth), pane->height());
        // The picture control inside is centred horizontally.
        for (QWidget* inner : pane->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            inner->move(pane->width() / 2 - inner->width() / 2, inner->y());
        }
    }
    Tree->setGeometry(0, px(top), px(treeWidth), px(std::max(0, treeHeight)));
    // The splitter fills the margin between the tree and the list.
    splitter_->setGeometry(px(treeWidth), px(top), std::max(4, px(listLeft) - px(treeWidth)),
                           px(std::max(0, clientHeight - top - 50 - statusReserve)));
    splitter_->raise();
    if (statusVisible) {
        Status->setGeometry(0, client_->height() - px(statusReserve), client_->width(),
                            px(statusReserve));
    }
}

void frmMain::TreeSplitter_Dragged(int dx) {
    treeWidth_ = std::max(kNarrowestTwips, twips(treeWidthAtPress_ + dx));
    Form_Resize();
}

bool frmMain::treeAndListHaveEntries() const {
    return Tree->topLevelItemCount() > 0 && FileView->model()->count() > 0;
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (longCommand_) {
        // A long command is under way: it stops at its next step and the
        // window closes then.
        closeRequested_ = true;
        event->ignore();
        return;
    }
    if (!terminating_ && !mayDiscardModification()) {
        event->ignore();
        return;
    }
    shutDown();
    event->accept();
}

void frmMain::shutDown() {
    if (!shutDownDone_) {
        shutDownDone_ = true;
        saveWindowState();
        unloadWait();
        previewDispatch_->unloadWindows();
        closeArchiveHandle();
    }
    // Whatever happened before, a claimed slot is never left behind.
    if (slot_) {
        slot_->Remove();
        slot_.reset();
    }
}

void frmMain::saveWindowState() {
    // A maximised window is stored with the negative position that
    // restores it maximised.
    const bool maximised = isMaximized();
    const QSize size = maximised ? normalGeometry().size() : this->size();
    // A value whose pixels did not change is written back as it was read, so
    // the conversion does not drift from one run to the next.
    const QRect& was = restoredPlacement_;
    settings_.writeNumber(kApp, kOptions, kMainWidth, keptTwips(was.width(), size.width()));
    settings_.writeNumber(kApp, kOptions, kMainHeight, keptTwips(was.height(), size.height()));
    settings_.writeNumber(kApp, kOptions, kMainLeft,
                          maximised ? -60 : keptTwips(was.x(), pos().x()));
    settings_.writeNumber(kApp, kOptions, kMainTop,
                          maximised ? -60 : keptTwips(was.y(), pos().y()));
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize) {
        Form_Resize();
        return false;
    }
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick) {
        return QMainWindow::eventFilter(watched, event);
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const int button = mouse->button() == Qt::LeftButton    ? 1
                       : mouse->button() == Qt::RightButton ? 2
                                                            : 4;
    if (watched == Tree->viewport()) {
        QTreeWidgetItem* node = Tree->itemAt(mouse->position().toPoint());
        if (node && mouse->position().x() < Tree->visualItemRect(node).left()) {
            node = nullptr; // the expand mark beside the node is not a click on it
        }
        if (type == QEvent::MouseButtonPress) {
            lastButton_ = button;
            pressedNode_ = node;
            if (node && button != 1) {
                Tree->setCurrentItem(node);
            }
        } else if (type == QEvent::MouseButtonRelease && node && node == pressedNode_) {
            pressedNode_ = nullptr;
            Tree->setCurrentItem(node);
            Tree_NodeClick(node);
        } else if (type == QEvent::MouseButtonRelease) {
            // Released away from the pressed node: no click, but a node the
            // press or the drag made current is the one the commands use.
            pressedNode_ = nullptr;
            QMetaObject::invokeMethod(this, &frmMain::showCurrentFolder, Qt::QueuedConnection);
        }
        return false;
    }
    const bool listView = watched == FileView->iconView()->viewport() ||
                          watched == FileView->reportView()->viewport();
    if (!listView) {
        return QMainWindow::eventFilter(watched, event);
    }
    auto* view = static_cast<QAbstractItemView*>(watched->parent());
    const QModelIndex index = view->indexAt(mouse->position().toPoint());
    if (type == QEvent::MouseButtonPress) {
        if (treeAndListHaveEntries()) {
            lastButton_ = button;
        }
        // A right click on one of several selected entries keeps them all
        // for the pop-up's commands.
        if (index.isValid() && button != 1 &&
            !view->selectionModel()->isSelected(index.siblingAtColumn(0))) {
            FileView->selectRow(index.row());
        }
    } else if (type == QEvent::MouseButtonRelease) {
        if (index.isValid()) {
            FileView_ItemClick(index.row());
        }
    } else if (index.isValid() && button == 1) {
        FileView_DblClick(index.row());
        return true;
    }
    return false;
}

void frmMain::setLongCommandRunning(bool running) {
    longCommand_ = running;
    // A submenu's entry takes its menu's enabled state when the bar changes;
    // "Save modified HPI" keeps its own.
    QAction* save = findChild<QMenu*>(QStringLiteral("mnuSaveModif"))->menuAction();
    const bool saveEnabled = save->isEnabled();
    menuBar()->setEnabled(!running);
    save->setEnabled(saveEnabled);
    CoolBar->setEnabled(!running);
    Tree->setEnabled(!running);
    FileView->setEnabled(!running);
    if (!running && closeRequested_) {
        closeRequested_ = false;
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

} // namespace crateward
