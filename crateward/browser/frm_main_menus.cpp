// The menus, pop-up menus and bars of frmMain. Every entry carries its
// design name as objectName. Entries whose commands other parts of the
// program provide are created hidden, so nothing shows that does nothing.
#include "frm_main.hpp"

#include <QAction>
#include <QActionGroup>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>

#include "file_view_control.hpp"
#include "image_list.hpp"
#include "main_window_link.hpp"
#include "unit_check_commands.hpp"

namespace crateward {

namespace {

QMenu* makeMenu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    return menu;
}

QAction* makeAction(QWidget* owner, QMenu* menu, const char* name, const QString& caption,
                    const QKeySequence& shortcut = {}, bool visible = true) {
    auto* a = new QAction(caption, owner);
    a->setObjectName(QLatin1String(name));
    a->setShortcut(shortcut);
    a->setVisible(visible);
    if (menu) {
        menu->addAction(a);
    }
    return a;
}

QMenu* makeSubmenu(QMenu* parent, const char* name, const QString& caption, bool visible) {
    QMenu* sub = parent->addMenu(caption);
    sub->setObjectName(QLatin1String(name));
    sub->menuAction()->setObjectName(QLatin1String(name));
    sub->menuAction()->setVisible(visible);
    return sub;
}

} // namespace

QAction* frmMain::action(const char* name) const {
    return findChild<QAction*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
}

void frmMain::buildMenus() {
    QMenuBar* bar = menuBar();
    constexpr bool later = false; // the command belongs to a part not built yet

    fileMenu_ = makeMenu(bar, "mnuFichiers", QStringLiteral("&File"));
    makeAction(this, fileMenu_, "SetPrgPath", QStringLiteral("Set programs locations.."), {},
               later);
    connect(makeAction(this, fileMenu_, "mnuOuvrir", QStringLiteral("&Open an HPI file"),
                       QKeySequence(Qt::CTRL | Qt::Key_O)),
            &QAction::triggered, this, &frmMain::mnuOuvrir_Click);
    connect(makeAction(this, fileMenu_, "Fermer", QStringLiteral("&Close HPI file"),
                       QKeySequence(Qt::CTRL | Qt::Key_C)),
            &QAction::triggered, this, &frmMain::Fermer);
    connect(makeAction(this, fileMenu_, "mnuOpenGameFolder", QStringLiteral("Open &game folder..."),
                       QKeySequence(Qt::CTRL | Qt::Key_G)),
            &QAction::triggered, this, [this] { mnuOpenGameFolder_Click(*this); });
    fileMenu_->addSeparator();
    connect(makeAction(this, fileMenu_, "Quitter", QStringLiteral("&Exit")), &QAction::triggered,
            this, &QWidget::close);
    recentSeparator_ = fileMenu_->addSeparator();
    // The design-time entry below which the recent archives are loaded.
    QAction* first = makeAction(this, fileMenu_, "mnuLastOpened", QString(), {}, false);
    first->setData(0);

    QMenu* view = makeMenu(bar, "mnuView", QStringLiteral("&View"));
    connect(makeAction(this, view, "mnuExpand", QStringLiteral("&Expand All")), &QAction::triggered,
            this, &frmMain::mnuExpand_Click);
    connect(makeAction(this, view, "mnuCollapse", QStringLiteral("&Collapse All")),
            &QAction::triggered, this, &frmMain::mnuCollapse_Click);
    view->addSeparator();
    QAction* tb = makeAction(this, view, "mnuViewToolBar", QStringLiteral("Show/Hide &Tool Bar"));
    tb->setCheckable(true);
    connect(tb, &QAction::triggered, this, &frmMain::mnuViewToolBar_Click);
    QAction* sb =
        makeAction(this, view, "mnuViewStausBar", QStringLiteral("Show/Hide &Status Bar"));
    sb->setCheckable(true);
    connect(sb, &QAction::triggered, this, &frmMain::mnuViewStausBar_Click);
    view->addSeparator();
    viewGroup_ = new QActionGroup(this);
    const char* modes[] = {"mnuViewLargeIcons", "mnuViewSmallIcons", "mnuViewList",
                           "mnuViewDetails"};
    const QString captions[] = {QStringLiteral("View &large icons"),
                                QStringLiteral("View &small icons"), QStringLiteral("View li&st"),
                                QStringLiteral("View &details")};
    for (int mode = 0; mode < 4; ++mode) {
        QAction* a = makeAction(this, view, modes[mode], captions[mode]);
        a->setCheckable(true);
        viewGroup_->addAction(a);
        connect(a, &QAction::triggered, this, [this, mode] { setViewType(mode); });
    }

    QMenu* hpi = makeMenu(bar, "mnuHPIArchive", QStringLiteral("HPI Archive"));
    makeAction(this, hpi, "mnuModifierHPI", QStringLiteral("&Modify HPI archive"),
               QKeySequence(Qt::CTRL | Qt::Key_M), later);
    QMenu* save = makeSubmenu(hpi, "mnuSaveModif", QStringLiteral("Save modified HPI"), later);
    save->menuAction()->setEnabled(false);
    makeAction(this, save, "mnuSaveModifNOcompress", QStringLiteral("In no compression method"));
    makeAction(this, save, "mnuSaveModifLZcompress", QStringLiteral("In LZ77 compression method"));
    makeAction(this, save, "mnuSaveModifZLIBcompress",
               QStringLiteral("In ZLIB compression method"));
    QMenu* repack = makeSubmenu(hpi, "mnuHPIChangeCompMet",
                                QStringLiteral("Change &compression method..."), later);
    makeAction(this, repack, "RepackNO", QStringLiteral("Repack in no compression method"));
    makeAction(this, repack, "RepackLZ77", QStringLiteral("Repack in LZ77 compression method"));
    makeAction(this, repack, "RepackZLIB", QStringLiteral("Repack in ZLIB compression method"));
    makeAction(this, hpi, "mnuViewText", QStringLiteral("View selected file as text"),
               QKeySequence(Qt::Key_F4), later);
    makeAction(this, hpi, "mnuHexDump", QStringLiteral("Hex dump of selected file"), {}, later);
    connect(makeAction(this, hpi, "mnuExtract", QStringLiteral("Extract selected file"),
                       QKeySequence(Qt::Key_F5)),
            &QAction::triggered, this, &frmMain::mnuExtract_Click);
    connect(makeAction(this, hpi, "mnuExtractPath",
                       QStringLiteral("Extract all files in this path"), QKeySequence(Qt::Key_F6)),
            &QAction::triggered, this, &frmMain::mnuExtractPath_Click);
    connect(makeAction(this, hpi, "mnuExtractAll", QStringLiteral("Extract entire HPI archive"),
                       QKeySequence(Qt::Key_F7)),
            &QAction::triggered, this, &frmMain::mnuExtractAll_Click);

    QMenu* units = makeMenu(bar, "mnuUnits", QStringLiteral("Units"));
    units->menuAction()->setVisible(later);
    makeAction(this, units, "RepackUnit", QStringLiteral("Repack unit into one HPI archive"));
    makeAction(this, units, "mnuUnitVew3DO", QStringLiteral("&View 3DO model"),
               QKeySequence(Qt::CTRL | Qt::Key_V));
    makeAction(this, units, "mnuUnitCustomExport",
               QStringLiteral("&Custom export to UnitVewer..."));
    makeAction(this, units, "mnuExport", QStringLiteral("Export to Unit &Viewer"),
               QKeySequence(Qt::Key_F3));
    AddUnitCheckCommands(*this, units);

    QMenu* packing = makeMenu(bar, "Packing", QStringLiteral("&Packing"));
    packing->menuAction()->setVisible(later);
    makeAction(this, packing, "CreateHPI", QStringLiteral("Create a new HPI archive"))
        ->setEnabled(false);
    makeAction(this, packing, "mnuRepackSevHPI",
               QStringLiteral("Uncompress several HPI archive ..."));
    makeAction(this, packing, "PackFromPath", QStringLiteral("&From a path..."));

    QMenu* help = makeMenu(bar, "aide", QStringLiteral("&Help"));
    help->menuAction()->setVisible(later);
    makeAction(this, help, "MnuHelpHelp", QStringLiteral("&Help"));
    makeAction(this, help, "mnuHelpBug", QStringLiteral("Report a bug..."));
    makeAction(this, help, "AproposCRWD", QStringLiteral("About Crateward..."),
               QKeySequence(Qt::CTRL | Qt::Key_A));

    // Pop-up menus: each entry runs the menu command of the same caption.
    FileViewPopupMenu = new QMenu(this);
    FileViewPopupMenu->setObjectName(QStringLiteral("FileViewPopupMenu"));
    makeAction(this, FileViewPopupMenu, "popupViewtext", QStringLiteral("View as &text"), {},
               later);
    makeAction(this, FileViewPopupMenu, "popupHexDump", QStringLiteral("Hex dump"), {}, later);
    connect(makeAction(this, FileViewPopupMenu, "popupExtract", QStringLiteral("&Extract")),
            &QAction::triggered, this, &frmMain::mnuExtract_Click);
    connect(makeAction(this, FileViewPopupMenu, "popupExtractPath",
                       QStringLiteral("Extract &all files in this path")),
            &QAction::triggered, this, &frmMain::mnuExtractPath_Click);
    connect(makeAction(this, FileViewPopupMenu, "popupExtractAll",
                       QStringLiteral("Extract &entire HPI archive")),
            &QAction::triggered, this, &frmMain::mnuExtractAll_Click);
    treePopupMenu = new QMenu(this);
    treePopupMenu->setObjectName(QStringLiteral("treePopupMenu"));
    connect(makeAction(this, treePopupMenu, "TreePopUpExtractPath",
                       QStringLiteral("Extract &all files in this path")),
            &QAction::triggered, this, &frmMain::mnuExtractPath_Click);
    connect(makeAction(this, treePopupMenu, "TreePopUpExtactAll",
                       QStringLiteral("Extract &entire HPI archive")),
            &QAction::triggered, this, &frmMain::mnuExtractAll_Click);
}

void frmMain::buildBars() {
    CoolBar = new QWidget(client_);
    CoolBar->setObjectName(QStringLiteral("CoolBar"));
    auto* row = new QHBoxLayout(CoolBar);
    row->setContentsMargins(2, 1, 2, 1);
    row->setSpacing(6);

    Toolbar = new QToolBar(CoolBar);
    Toolbar->setObjectName(QStringLiteral("Toolbar"));
    Toolbar->setIconSize(QSize(20, 20));
    struct Button {
        const char* key;
        const char* tip;
        bool built;
    };
    const Button buttons[] = {
        {"Open", "Open an HPI archive...", true},
        {"Save", "Save modified HPI archive", false},
        {"TA", "Launch TA", false},
        {"UnitView", "Launch Unit Viewer", false},
        {"3DO Builder", "Launch 3DO Editor", false},
        {"GAF Builder", "Launch GAF Editor", false},
        {"MAP", "Launch MAP Editor", false},
        {"Répertoire", "Set programs locations...", false},
    };
    for (const Button& b : buttons) {
        QAction* a =
            Toolbar->addAction(ToolbarIcon(QString::fromUtf8(b.key)), QString::fromUtf8(b.key));
        a->setObjectName(QString::fromUtf8(b.key));
        a->setToolTip(QString::fromUtf8(b.tip));
        a->setVisible(b.built);
        if (a->objectName() == QLatin1String("Open")) {
            connect(a, &QAction::triggered, this, &frmMain::mnuOuvrir_Click);
        }
        if (a->objectName() == QLatin1String("Save")) {
            a->setEnabled(false);
        }
    }
    row->addWidget(Toolbar);

    ToolbarView = new QToolBar(CoolBar);
    ToolbarView->setObjectName(QStringLiteral("ToolbarView"));
    ToolbarView->setIconSize(QSize(20, 20));
    auto* group = new QActionGroup(ToolbarView);
    const char* keys[] = {"ViewLargeIcons", "ViewSmall", "ViewList", "ViewReport"};
    const char* tips[] = {"View large icons", "View small icons", "View list", "View details"};
    for (int mode = 0; mode < 4; ++mode) {
        QAction* a = ToolbarView->addAction(ViewModeIcon(mode), QLatin1String(keys[mode]));
        a->setObjectName(QLatin1String(keys[mode]));
        a->setToolTip(QLatin1String(tips[mode]));
        a->setCheckable(true);
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, mode] { setViewType(mode); });
    }
    row->addWidget(ToolbarView);
    row->addStretch(1);
}

} // namespace crateward
