// The presentation window: the program's title and version and a note.
#pragma once

#include <QDialog>

#include <functional>

class QPushButton;

namespace spriteglass {

class frmPres : public QDialog {
public:
    explicit frmPres(QWidget* owner);
    // Run by OK after the window has closed.
    std::function<void()> onOk;
    QPushButton* cmdOK;
};

} // namespace spriteglass
