#include "game_folder_window.hpp"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/dialogs.hpp"
#include "file_view_model.hpp"
#include "frm_main.hpp"
#include "name_matcher.hpp"
#include "owned_window.hpp"

namespace crateward {

namespace {

constexpr int kNodeRole = Qt::UserRole;

QString text(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

} // namespace

GameFolderWindow::GameFolderWindow(frmMain* owner)
    : QWidget(owner, kOwnedWindowFlags), main_(owner) {
    setObjectName(QStringLiteral("GameFolderWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Game folder"));
    buildControls();
    restorePlacement();
}

void GameFolderWindow::buildControls() {
    auto* layout = new QVBoxLayout(this);
    Tabs = new QTabWidget(this);
    Tabs->setObjectName(QStringLiteral("Tabs"));
    layout->addWidget(Tabs);

    auto* files = new QWidget(Tabs);
    auto* filesLayout = new QVBoxLayout(files);
    auto* split = new QSplitter(Qt::Horizontal, files);
    Tree = new QTreeWidget(split);
    Tree->setObjectName(QStringLiteral("Tree"));
    Tree->setHeaderHidden(true);
    auto* right = new QWidget(split);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    Filter = new QLineEdit(right);
    Filter->setObjectName(QStringLiteral("Filter"));
    Filter->setPlaceholderText(QStringLiteral("Find by name or wildcard (*.fbi, armcom*)"));
    Filter->setClearButtonEnabled(true);
    List = new QTreeWidget(right);
    List->setObjectName(QStringLiteral("List"));
    List->setRootIsDecorated(false);
    List->setUniformRowHeights(true);
    List->setHeaderLabels({QStringLiteral("File Name"), QStringLiteral("Type"),
                           QStringLiteral("Size"), QStringLiteral("Archive")});
    List->setSortingEnabled(true);
    List->sortByColumn(ColName, Qt::AscendingOrder);
    List->header()->resizeSection(ColName, 230);
    List->header()->resizeSection(ColType, 90);
    List->header()->resizeSection(ColSize, 70);
    rightLayout->addWidget(Filter);
    rightLayout->addWidget(List);
    split->setStretchFactor(1, 3);
    filesLayout->addWidget(split);

    auto* buttons = new QHBoxLayout;
    lblStatus = new QLabel(files);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    cmdOpenInArchive = new QPushButton(QStringLiteral("Open in archive"), files);
    cmdOpenInArchive->setObjectName(QStringLiteral("cmdOpenInArchive"));
    cmdExtract = new QPushButton(QStringLiteral("Extract"), files);
    cmdExtract->setObjectName(QStringLiteral("cmdExtract"));
    buttons->addWidget(lblStatus, 1);
    buttons->addWidget(cmdOpenInArchive);
    buttons->addWidget(cmdExtract);
    filesLayout->addLayout(buttons);
    Tabs->addTab(files, QStringLiteral("Files"));

    auto* sources = new QWidget(Tabs);
    auto* sourcesLayout = new QVBoxLayout(sources);
    Sources = new QTreeWidget(sources);
    Sources->setObjectName(QStringLiteral("Sources"));
    Sources->setRootIsDecorated(false);
    Sources->setHeaderLabels({QStringLiteral("Order"), QStringLiteral("Archive"),
                              QStringLiteral("Kind"), QStringLiteral("Files"),
                              QStringLiteral("State")});
    Problems = new QTreeWidget(sources);
    Problems->setObjectName(QStringLiteral("Problems"));
    Problems->setRootIsDecorated(false);
    Problems->setHeaderLabels({QStringLiteral("Path"), QStringLiteral("Problem")});
    sourcesLayout->addWidget(Sources, 3);
    sourcesLayout->addWidget(new QLabel(QStringLiteral("Problems met while mounting:"), sources));
    sourcesLayout->addWidget(Problems, 1);
    Tabs->addTab(sources, QStringLiteral("Sources"));

    connect(Tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item && Filter->text().isEmpty()) {
            showFolder(item->data(0, kNodeRole).toInt());
        }
    });
    connect(Filter, &QLineEdit::textChanged, this, &GameFolderWindow::applyFilter);
    connect(List, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { List_DblClick(item); });
    connect(cmdOpenInArchive, &QPushButton::clicked, this,
            &GameFolderWindow::cmdOpenInArchive_Click);
    connect(cmdExtract, &QPushButton::clicked, this, &GameFolderWindow::cmdExtract_Click);
}

bool GameFolderWindow::openFolder(const QString& folder) {
    auto mounted = gamefolder::GameFolder::mount(folder.toStdString());
    if (!mounted) {
        common::Dialogs::current().message(
            this, text(mounted.error().message()), QStringLiteral("Game folder"),
            common::MessageIcon::Critical, common::MessageButtons::Ok);
        return false;
    }
    game_.emplace(std::move(mounted.value()));
    setWindowTitle(QStringLiteral("Game folder - ") + folder);
    fillTree();
    fillSources();
    showFolder(-1);
    return true;
}

void GameFolderWindow::fillTree() {
    Tree->clear();
    auto* root = new QTreeWidgetItem(QStringList(text(game_->folder().string())));
    root->setData(0, kNodeRole, -1);
    root->setIcon(0, style()->standardIcon(QStyle::SP_DriveHDIcon));
    const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirIcon);
    std::vector<std::pair<std::int32_t, QTreeWidgetItem*>> pending{{-1, root}};
    while (!pending.empty()) {
        auto [node, item] = pending.back();
        pending.pop_back();
        for (std::uint32_t c : game_->children(node)) {
            const auto& child = game_->nodes()[c];
            if (!child.directory) {
                continue;
            }
            auto* sub = new QTreeWidgetItem(item, QStringList(text(child.name)));
            sub->setData(0, kNodeRole, int(c));
            sub->setIcon(0, folderIcon);
            pending.emplace_back(std::int32_t(c), sub);
        }
    }
    Tree->addTopLevelItem(root);
    Tree->sortItems(0, Qt::AscendingOrder);
    root->setExpanded(true);
    Tree->setCurrentItem(root);
}

void GameFolderWindow::addRow(std::int32_t node, bool fullPath) {
    const auto& n = game_->nodes()[std::size_t(node)];
    const auto copies = game_->copies(node);
    const FileViewEntry shown = FileViewModel::makeEntry(
        fullPath ? text(game_->path(node)) : text(n.name), n.directory, qint64(copies[0].size));
    auto* item = new QTreeWidgetItem;
    item->setData(0, kNodeRole, node);
    item->setText(ColName, shown.name);
    item->setText(ColType, shown.type);
    item->setText(ColSize, shown.size);
    QString archive = game_->sourceName(copies[0].source).c_str();
    item->setIcon(ColName,
                  style()->standardIcon(n.directory ? QStyle::SP_DirIcon : QStyle::SP_FileIcon));
    // Folders of several sources merge; a file held by several shadows them.
    const bool shadows = copies.size() > 1 && (!n.directory || n.clash);
    if (shadows) {
        QStringList lines{QStringLiteral("Provided by %1; shadows:").arg(archive)};
        for (std::size_t i = 1; i < copies.size(); ++i) {
            lines << QStringLiteral("  %1 (%2)")
                         .arg(text(game_->sourceName(copies[i].source)),
                              copies[i].directory ? QStringLiteral("folder")
                                                  : QStringLiteral("%1 bytes").arg(copies[i].size));
        }
        archive += QStringLiteral("  [shadows %1]").arg(copies.size() - 1);
        item->setIcon(ColArchive, style()->standardIcon(QStyle::SP_MessageBoxWarning));
        for (int col = ColName; col <= ColArchive; ++col) {
            item->setToolTip(col, lines.join(QLatin1Char('\n')));
        }
        QFont bold = List->font();
        bold.setBold(true);
        item->setFont(ColName, bold);
    }
    item->setText(ColArchive, archive);
    List->addTopLevelItem(item);
}

void GameFolderWindow::showFolder(std::int32_t node) {
    if (!game_) {
        return;
    }
    shownFolder_ = node;
    List->setSortingEnabled(false);
    List->clear();
    const auto children = game_->children(node);
    for (std::uint32_t c : children) {
        addRow(std::int32_t(c), false);
    }
    List->setSortingEnabled(true);
    lblStatus->setText(QStringLiteral("%1 entries").arg(children.size()));
}

void GameFolderWindow::applyFilter(const QString& pattern) {
    if (!game_) {
        return;
    }
    const NameMatcher matcher(pattern);
    if (matcher.empty()) {
        showFolder(shownFolder_);
        return;
    }
    List->setSortingEnabled(false);
    List->clear();
    int found = 0;
    const auto& nodes = game_->nodes();
    for (std::size_t i = 0; i < nodes.size() && found < kMaxFilterRows; ++i) {
        if (matcher.matches(std::string_view(nodes[i].name))) {
            addRow(std::int32_t(i), true);
            ++found;
        }
    }
    List->setSortingEnabled(true);
    lblStatus->setText(found >= kMaxFilterRows ? QStringLiteral("The first %1 matches").arg(found)
                                               : QStringLiteral("%1 matches").arg(found));
}

std::optional<std::int32_t> GameFolderWindow::selectedNode() const {
    QTreeWidgetItem* item = List->currentItem();
    if (!item || !game_) {
        return std::nullopt;
    }
    return item->data(0, kNodeRole).toInt();
}

void GameFolderWindow::List_DblClick(QTreeWidgetItem* item) {
    const std::int32_t node = item->data(0, kNodeRole).toInt();
    if (game_->nodes()[std::size_t(node)].directory) {
        // Into the folder, in the tree too.
        Filter->clear();
        for (QTreeWidgetItemIterator it(Tree); *it; ++it) {
            if ((*it)->data(0, kNodeRole).toInt() == node) {
                Tree->setCurrentItem(*it);
                break;
            }
        }
        return;
    }
    List->setCurrentItem(item);
    cmdOpenInArchive_Click();
}

} // namespace crateward
