// The member behind a list entry: a found entry carries its own folder, an
// entry of the folder view lives in the tree's current folder.
#include "file_view_control.hpp"
#include "file_view_model.hpp"
#include "frm_main.hpp"

namespace crateward {

QString frmMain::entryFolderKey(int row) const {
    const FileViewModel* model = FileView->model();
    if (!model->showsFound()) {
        return GetTreeKey();
    }
    if (row < 0 || row >= model->count()) {
        return {};
    }
    const QString folder = model->entry(row).folder;
    return folder.isEmpty() ? folder : folder + QLatin1Char('\\');
}

QString frmMain::memberPath(int row) const {
    const FileViewModel* model = FileView->model();
    if (row < 0 || row >= model->count()) {
        return {};
    }
    return entryFolderKey(row) + model->entry(row).name;
}

} // namespace crateward
