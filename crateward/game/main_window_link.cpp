#include "main_window_link.hpp"

#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include "common/dialogs.hpp"
#include "file_view_control.hpp"
#include "file_view_model.hpp"
#include "frm_main.hpp"
#include "game_folder_window.hpp"
#include "hpiutil/game_directory.hpp"

namespace crateward {

bool SelectMemberInMainWindow(frmMain& main, const QString& archive, const QString& member) {
    // The archive already open stays open as it is (a modification under
    // way included).
    if (main.archivePath() != archive || main.archiveHandle() == 0) {
        main.OpenHPI(archive);
    }
    if (main.archivePath() != archive || main.archiveHandle() == 0) {
        return false;
    }
    const int cut = member.lastIndexOf(QLatin1Char('\\'));
    const QString folder = cut < 0 ? QString() : member.left(cut);
    const QString name = member.mid(cut + 1);
    // The tree's items carry their folder's key: its path, or "Root".
    QTreeWidgetItem* target = nullptr;
    for (QTreeWidgetItemIterator it(main.Tree); *it && !target; ++it) {
        const QString key = (*it)->data(0, Qt::UserRole).toString();
        if (folder.isEmpty() ? (*it)->parent() == nullptr
                             : key.compare(folder, Qt::CaseInsensitive) == 0) {
            target = *it;
        }
    }
    if (!target) {
        return false;
    }
    main.Tree->setCurrentItem(target);
    main.AffFileInRep();
    FileViewModel* model = main.FileView->model();
    int row = model->rowOf(name);
    for (int r = 0; row < 0 && r < model->count(); ++r) {
        if (model->entry(r).name.compare(name, Qt::CaseInsensitive) == 0) {
            row = r;
        }
    }
    if (row < 0) {
        return false;
    }
    main.FileView->selectRow(row);
    main.raise();
    main.activateWindow();
    return true;
}

void mnuOpenGameFolder_Click(frmMain& main) {
    const QString detected = QString::fromStdString(hpiutil::findGameDirectory().string());
    auto folder = common::Dialogs::current().chooseDirectory(
        &main, QStringLiteral("Open game folder"), detected);
    if (!folder || folder->isEmpty()) {
        return;
    }
    auto* window = new GameFolderWindow(&main);
    if (!window->openFolder(*folder)) {
        window->deleteLater();
        return;
    }
    window->show();
}

} // namespace crateward
