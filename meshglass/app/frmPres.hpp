// The presentation window: what Meshglass is for, and that a 3DO file can be
// named on the command line. It is the start-up form; "OK" closes it.
#pragma once

#include <QDialog>

class QPushButton;

namespace meshglass {

class frmPres : public QDialog {
public:
    explicit frmPres(QWidget* parent = nullptr);
    QPushButton* cmdOK;
};

} // namespace meshglass
