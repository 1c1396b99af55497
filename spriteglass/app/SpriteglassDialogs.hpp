// The program's dialogs: Qt's, with FrmDirectory as the directory chooser.
#pragma once

#include "common/qt_dialogs.hpp"

namespace spriteglass {

class SpriteglassDialogs : public common::QtDialogs {
public:
    std::optional<QString> chooseDirectory(QWidget* parent, const QString& title,
                                           const QString& start) override;
};

} // namespace spriteglass
