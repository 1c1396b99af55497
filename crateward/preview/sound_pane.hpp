// The sound pane WavVisu of the main window: play the selected sound once,
// or again every N milliseconds until stopped (the timer TmrSound, whose tag
// holds the copy to play). Sounds go through the SoundPlayer seam.
//
// Hiding the pane (closing the archive, selecting another kind of file)
// stops a repetition, so the STOP button is never out of reach while the
// sound repeats.
#pragma once

#include <QObject>
#include <QString>

#include <optional>

class QLabel;
class QPushButton;
class QTimer;

namespace crateward {

class frmMain;
class PreviewDispatch;
class UpDownControl;

class SoundPane : public QObject {
    Q_OBJECT
public:
    static constexpr int kInitialInterval = 1000; // milliseconds

    SoundPane(frmMain& window, PreviewDispatch& dispatch);

    // Shows the pane (and hides the picture pane).
    void showPane();
    // A sound opened by a double-click: the timer's tag and the name label.
    void setSound(const QString& copy, const QString& name);

    void cmdPlyItOnce_Click();
    void cmdPlyItRepeat_Click();
    void TmrSound_Timer();
    bool repeating() const;
    const QString& tag() const { return tag_; }

    QLabel* LbSndInf = nullptr;
    QLabel* LbSndName = nullptr;
    QPushButton* cmdPlyItOnce = nullptr;
    QPushButton* cmdPlyItRepeat = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* LbNumbSecond = nullptr;
    QLabel* Label3 = nullptr;
    UpDownControl* UpDown1 = nullptr;
    QTimer* TmrSound = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The copy of the selected list entry; nothing when none is selected.
    std::optional<QString> selectedCopy() const;
    void stopRepeating();

    frmMain& window_;
    PreviewDispatch& dispatch_;
    QString tag_;
};

} // namespace crateward
