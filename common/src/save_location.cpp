#include "common/save_location.hpp"

#include <QDir>
#include <QFileInfo>

namespace common {

QString SaveDialogStart(const QString& lastFolder, const QString& openFile, const QString& name) {
    QString folder = lastFolder;
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = openFile.isEmpty() ? QString() : QFileInfo(openFile).absolutePath();
    }
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QDir::homePath();
    }
    return QDir(folder).filePath(name);
}

QString SaveFolderOf(const QString& chosen) {
    return chosen.isEmpty() ? QString() : QFileInfo(chosen).absolutePath();
}

} // namespace common
