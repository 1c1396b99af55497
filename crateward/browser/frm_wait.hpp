// The progress window of the extraction commands ("In progress..."): the
// progress bar ProgressBar1 and the label Status naming the member being
// extracted. Modeless and owned by the main window, so it stays in front.
#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

namespace crateward {

class frmWait : public QWidget {
    Q_OBJECT
public:
    explicit frmWait(QWidget* owner);

    QProgressBar* ProgressBar1;
    QLabel* Status;
};

} // namespace crateward
