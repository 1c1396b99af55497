// The progress window of the extraction commands ("In progress..."): the
// progress bar ProgressBar1 and the label Status naming the member being
// extracted. Modeless and owned by the main window, so it stays in front.
// The user's extractions also get the button cmdCancel ("Cancel"): the
// extraction stops after the member under way. Closing the window is a
// cancel too.
#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace crateward {

class frmWait : public QWidget {
    Q_OBJECT
public:
    explicit frmWait(QWidget* owner);

    // Shows the Cancel button (hidden unless asked for).
    void setCancellable(bool cancellable);
    // True once the user asked to stop.
    bool cancelRequested() const { return cancelRequested_; }

    QProgressBar* ProgressBar1;
    QLabel* Status;
    QPushButton* cmdCancel;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void requestCancel();

    bool cancelRequested_ = false;
};

} // namespace crateward
