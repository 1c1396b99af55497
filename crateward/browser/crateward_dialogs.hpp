// The program's Dialogs: Qt's message boxes and file dialogs, and frmChemin
// as the directory chooser.
#pragma once

#include "common/qt_dialogs.hpp"

namespace crateward {

class CratewardDialogs : public common::QtDialogs {
public:
    std::optional<QString> chooseDirectory(QWidget* parent, const QString& title,
                                           const QString& start) override;
};

} // namespace crateward
