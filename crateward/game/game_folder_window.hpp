// GameFolderWindow: a game folder as the game sees it, read-only. The tab
// "Files" shows the merged tree Tree and the list List (the main list's
// columns plus "Archive", the source that provides each entry; entries that
// shadow copies in later sources are marked and their tooltip names them),
// with the box Filter above the list finding members anywhere by name or
// wildcard as one types. "Open in archive" (or a double-click) opens the
// providing archive in the main window with the entry selected; "Extract"
// writes the providing copy. The tab "Sources" lists the sources in mount
// order and the problems the mount met. Owned by the main window; its
// placement is kept in section "Game folder".
#pragma once

#include <QRect>
#include <QWidget>

#include <optional>

#include "gamefolder/game_folder.hpp"

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace crateward {

class frmMain;

class GameFolderWindow : public QWidget {
    Q_OBJECT
public:
    explicit GameFolderWindow(frmMain* owner);

    // Mounts `folder` and shows it. False, with the reason shown, when the
    // folder cannot be listed.
    bool openFolder(const QString& folder);
    const gamefolder::GameFolder* game() const { return game_ ? &*game_ : nullptr; }

    // The node of the list's selected row (empty when none).
    std::optional<std::int32_t> selectedNode() const;
    // Shows a folder of the merged tree in the list (-1 = the root).
    void showFolder(std::int32_t node);
    // The list shows what matches `pattern` across the whole tree (a
    // wildcard when it holds * or ?, else a part of the name), without
    // regard to case; an empty pattern shows the tree's current folder.
    void applyFilter(const QString& pattern);

    QTabWidget* Tabs = nullptr;
    QTreeWidget* Tree = nullptr;
    QLineEdit* Filter = nullptr;
    QTreeWidget* List = nullptr;
    QPushButton* cmdOpenInArchive = nullptr;
    QPushButton* cmdExtract = nullptr;
    QLabel* lblStatus = nullptr;
    QTreeWidget* Sources = nullptr;
    QTreeWidget* Problems = nullptr;

    // Columns of List.
    enum Column { ColName, ColType, ColSize, ColArchive };
    static constexpr int kMaxFilterRows = 20000;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // game_folder_window.cpp
    void buildControls();
    void fillTree();
    void addRow(std::int32_t node, bool fullPath);
    void List_DblClick(QTreeWidgetItem* item);
    // game_folder_commands.cpp
    void cmdOpenInArchive_Click();
    void cmdExtract_Click();
    void fillSources();
    void restorePlacement();
    void savePlacement();

    frmMain* main_;
    std::optional<gamefolder::GameFolder> game_;
    std::int32_t shownFolder_ = -1;
    QRect loaded_; // twips as read
    bool saved_ = false;
};

} // namespace crateward
