// frmProgSearch, "Viewing file settings...": the locations of the game, the
// unit viewer, the 3DO and GAF programs and the map editor, and how 3DO
// files, pictures and GAF files are opened. Every choice is saved at once;
// unloading the dialog reloads the program locations.
//
// The option buttons Doption, pictOption and GafOption are pairs (index 0
// and 1) whose buttons are named "Doption(0)", "Doption(1)" and so on.
#pragma once

#include <QDialog>
#include <QString>

#include <array>
#include <filesystem>

#include "common/settings_store.hpp"
#include "program_locations.hpp"

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace crateward {

class frmProgSearch : public QDialog {
    Q_OBJECT
public:
    // `programDirectory` holds Crateward's own viewers; `gameDirectory` is
    // the game's folder with a trailing '/', or empty when it was not found.
    frmProgSearch(const common::SettingsStore& settings, ProgramLocations& programs,
                  std::filesystem::path programDirectory, QString gameDirectory,
                  QWidget* parent = nullptr);

    QLineEdit* TxtTA = nullptr;
    QPushButton* cmdBrowseTA = nullptr;
    QLineEdit* TxtUnitViewer = nullptr;
    QPushButton* cmdBrowseUV = nullptr;
    std::array<QRadioButton*, 2> Doption{};
    QLineEdit* txt3DOprog = nullptr;
    QPushButton* lbBrowse3DOprog = nullptr;
    QLineEdit* txtTNTprog = nullptr;
    QPushButton* lbBrowseTNT = nullptr;
    std::array<QRadioButton*, 2> pictOption{};
    std::array<QRadioButton*, 2> GafOption{};
    QLineEdit* txtGafProg = nullptr;
    QPushButton* lbBrowseGAF = nullptr;
    QPushButton* ok = nullptr;

    void done(int result) override;

private:
    void buildControls();
    void ShowProgramSettings(const QString& gameDirectory);
    void GafOption_Click(int index);
    void Doption_Click(int index);
    void pictOption_Click(int index);
    void browse(std::string ProgramLocations::*variable, QLineEdit* box, const char* key);
    long option(const char* key) const;

    const common::SettingsStore& settings_;
    ProgramLocations& programs_;
    std::filesystem::path programDirectory_;
};

} // namespace crateward
