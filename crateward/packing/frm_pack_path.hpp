// The pack dialog ("Create an archive from a directory..."): builds a new
// archive from every plain file under a directory, with a chosen compression
// method, and shows its progress. Three states: input, packing (inputs
// disabled) and done (inputs hidden, AffFinish and BTexit shown).
//
// Label2, the pack action drawn as a button, is a flat QPushButton. The
// control arrays Label1, DataInput and BoutonsParcourir carry the object
// names "Label1(0)", "DataInput(1)" and so on.
#pragma once

#include <QDialog>

#include <array>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace crateward {
class frmMain;
}

namespace crateward::packing {

class PackProgressDisplay;

class frmPackPath : public QDialog {
    Q_OBJECT
public:
    explicit frmPackPath(frmMain* owner);
    ~frmPackPath() override;

    void BoutonsParcourir_Click(int index);
    // The pack action. True when the archive was written.
    bool Label2_Click();
    void BTexit_Click();

    std::array<QLabel*, 7> Label1{};
    std::array<QLineEdit*, 2> DataInput{};
    std::array<QPushButton*, 2> BoutonsParcourir{};
    QComboBox* Method = nullptr;
    QPushButton* Label2 = nullptr;
    QLabel* AffTotalHpiArchive = nullptr;
    QProgressBar* ProgressBarHPIArchive = nullptr;
    QLabel* AffFileName = nullptr;
    QProgressBar* ProgressBarFile = nullptr;
    QLabel* AffFinish = nullptr;
    QPushButton* BTexit = nullptr;
    // After a pack that left hidden files out: how many, and why.
    QLabel* LeftOut = nullptr;

    // A folder of the user's own leaves its hidden files out (the default);
    // a working directory Crateward unpacked packs every file back.
    void setKeepHiddenFiles(bool keep) { keepHidden_ = keep; }

    PackProgressDisplay& progress() { return *progress_; }

private:
    void setInputsEnabled(bool enabled);
    void setInputsVisible(bool visible);

    frmMain* owner_;
    std::unique_ptr<PackProgressDisplay> progress_;
    bool keepHidden_ = false;
};

// The "&From a path..." command: shows the dialog modal.
void PackFromPath(frmMain& owner);

} // namespace crateward::packing
