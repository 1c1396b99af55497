// The program's dialogs: Qt's, with FrmDirectory as the directory chooser.
#pragma once

#include "common/qt_dialogs.hpp"

#include <filesystem>

namespace spriteglass {

class SpriteglassDialogs : public common::QtDialogs {
public:
    std::optional<QString> chooseDirectory(QWidget* parent, const QString& title,
                                           const QString& start) override;
};

// A warning with an OK button, under the program's title.
void ShowWarning(QWidget* parent, const QString& text);

// The disk name of a path a dialog gave.
std::filesystem::path DiskPath(const QString& path);

} // namespace spriteglass
