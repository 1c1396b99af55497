#include "save_location.hpp"

#include "common/save_location.hpp"
#include "frm_main.hpp"
#include "settings_keys.hpp"

namespace crateward {

QString SaveDialogStart(const frmMain& window, const QString& name) {
    return common::SaveDialogStart(
        QString::fromStdString(window.settings().read(kApp, kOptions, kLastSaveFolder, "")),
        window.archivePath(), name);
}

void RememberSaveFolder(const frmMain& window, const QString& chosen) {
    const QString folder = common::SaveFolderOf(chosen);
    if (!folder.isEmpty()) {
        window.settings().write(kApp, kOptions, kLastSaveFolder, folder.toStdString());
    }
}

} // namespace crateward
