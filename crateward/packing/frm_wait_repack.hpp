// The repack window ("Repack an HPI archive..."): the four step labels
// LbInf(0) to LbInf(3), red while their step runs, with the check marks
// check(0) to check(3) shown once done; the extraction bar UnpackProgress;
// the pack progress AffFileName, AffTotalHpiArchive, ProgressBarFile and
// ProgressBarHPIArchive; and Close, enabled when the repack is over.
// Control arrays carry the object names "LbInf(0)", "check(2)" and so on.
#pragma once

#include <QWidget>

#include <array>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;

namespace crateward::packing {

class PackProgressDisplay;

class frmWaitRePack : public QWidget {
    Q_OBJECT
public:
    explicit frmWaitRePack(QWidget* owner);
    ~frmWaitRePack() override;

    void startStep(int step);
    void endStep(int step);

    std::array<QLabel*, 4> LbInf{};
    std::array<QLabel*, 4> check{};
    QProgressBar* UnpackProgress = nullptr;
    QLabel* AffFileName = nullptr;
    QLabel* AffTotalHpiArchive = nullptr;
    QProgressBar* ProgressBarFile = nullptr;
    QProgressBar* ProgressBarHPIArchive = nullptr;
    QPushButton* Close = nullptr;

    PackProgressDisplay& progress() { return *progress_; }

private:
    std::unique_ptr<PackProgressDisplay> progress_;
};

} // namespace crateward::packing
