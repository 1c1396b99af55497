#include "save_location.hpp"

#include <QDir>
#include <QFileInfo>

#include "frm_main.hpp"
#include "settings_keys.hpp"

namespace crateward {

QString SaveDialogStart(const frmMain& window, const QString& name) {
    QString folder =
        QString::fromStdString(window.settings().read(kApp, kOptions, kLastSaveFolder, ""));
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = window.archivePath().isEmpty() ? QString()
                                                : QFileInfo(window.archivePath()).absolutePath();
    }
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QDir::homePath();
    }
    return QDir(folder).filePath(name);
}

void RememberSaveFolder(const frmMain& window, const QString& chosen) {
    const QString folder = QFileInfo(chosen).absolutePath();
    if (!folder.isEmpty()) {
        window.settings().write(kApp, kOptions, kLastSaveFolder, folder.toStdString());
    }
}

} // namespace crateward
