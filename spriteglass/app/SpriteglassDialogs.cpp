#include "SpriteglassDialogs.hpp"

#include "FrmDirectory.hpp"

#include <QFile>

namespace spriteglass {

std::optional<QString> SpriteglassDialogs::chooseDirectory(QWidget* parent, const QString&,
                                                           const QString& start) {
    const QString chosen = FrmDirectory::Choose(parent, start);
    return chosen.isEmpty() ? std::nullopt : std::optional<QString>(chosen);
}

void ShowWarning(QWidget* parent, const QString& text) {
    common::Dialogs::current().message(parent, text, QString(), common::MessageIcon::Warning,
                                       common::MessageButtons::Ok);
}

std::filesystem::path DiskPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

} // namespace spriteglass
