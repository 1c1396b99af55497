// The batch dialog ("Uncompress several HPI into ..."): a list of source
// archives, extracted all into one directory ("A directory") or merged into
// one new archive with a chosen compression method ("A new HPI archive"),
// optionally deleting the sources and opening the new archive.
//
// A merge gathers the files in a temporary folder of its own, so a
// modification under way in the working directory is never touched. Sources
// are deleted only once their files are where they were going (the new
// archive written, or the directory filled), and an archive skipped after an
// open error is never deleted. The control array CheckSupFile carries the
// object names "CheckSupFile(0)" and "CheckSupFile(1)".
#pragma once

#include <QDialog>
#include <QString>

#include <array>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace crateward {
class frmMain;
}

namespace crateward::packing {

class frmRepackInPath : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kPathPlaceholder = "Hit browse to enter a directory...";
    static constexpr const char* kDestPlaceholder = "Hit browse to enter a filename...";

    explicit frmRepackInPath(frmMain* owner);

    void cmdAdd_Click();
    void cmdRmv_Click();
    void cmdRemoveAll_Click();
    void cmdBrowseHPI_Click();
    void cmdBrowsePath_Click();
    void SetDestinationMode(int mode);
    // False (after its message) when the destination file name is invalid.
    bool TxtDest_Validate();
    bool ValidateDestination();
    void ResetProgress();
    void cmdGO_Click();

    QListWidget* ListSourceFiles = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdRmv = nullptr;
    QPushButton* cmdRemoveAll = nullptr;
    QRadioButton* OptionPath = nullptr;
    QRadioButton* OptionHPI = nullptr;
    QGroupBox* FramePath = nullptr;
    QLineEdit* TxtPath = nullptr;
    QPushButton* cmdBrowsePath = nullptr;
    QGroupBox* frameHPI = nullptr;
    QLineEdit* TxtDest = nullptr;
    QPushButton* cmdBrowseHPI = nullptr;
    std::array<QCheckBox*, 2> CheckSupFile{};
    QCheckBox* CheckOpenNewHPI = nullptr;
    QLabel* lbTypComp = nullptr;
    QComboBox* ComboCompresType = nullptr;
    QLabel* LBStatus = nullptr;
    QProgressBar* HPIProgress = nullptr;
    QProgressBar* GeneProgress = nullptr;
    QPushButton* cmdGO = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // repack_in_path_launch.cpp
    void launch();
    bool ExtractAllSources(const QString& workPath, std::vector<bool>& skipped);
    void ExtractOneSource(int archive, const QString& source, const QString& workPath);
    bool PackWorkPath(const QString& workPath);
    void deleteSources(const std::vector<bool>& skipped);

    frmMain* owner_;
};

// The "Uncompress several HPI archive ..." command: shows the dialog modal.
void ShowRepackInPath(frmMain& owner);

} // namespace crateward::packing
