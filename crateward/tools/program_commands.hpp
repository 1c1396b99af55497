// The program commands of the main window: the association of the archive
// extensions and the loading of the program locations at start-up, the
// toolbar's launch buttons, and the program-locations dialog (the File menu
// entry SetPrgPath and the toolbar button "Répertoire").
#pragma once

#include <QObject>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "program_locations.hpp"

namespace crateward {

class frmMain;
class frmProgSearch;

class ProgramCommands : public QObject {
    Q_OBJECT
public:
    using ToolRunner =
        std::function<bool(const std::string& tool, const std::vector<std::string>& arguments)>;

    explicit ProgramCommands(frmMain& window);

    // Start-up step 2: LoadProgramPaths (the program locations are read).
    void startUp();
    // RegisterArchiveTypes for the running program. The window runs it once
    // it is up, as no part of the first drawing waits for it.
    void registerArchiveTypes();

    ProgramLocations& programs() { return programs_; }
    // The folder holding Crateward and its own viewers.
    const std::filesystem::path& programDirectory() const { return programDirectory_; }
    void setProgramDirectory(std::filesystem::path directory) {
        programDirectory_ = std::move(directory);
    }

    // A loaded frmProgSearch over this window's settings (not yet shown).
    frmProgSearch* loadProgramSettings();
    // Shows frmProgSearch modally.
    void showProgramSettings();

    // The runner of the desktop's database tools used by the association
    // (tests replace it; the default runs the installed tools).
    static ToolRunner& associationToolRunner();

private:
    void launchFromToolbar(const std::string ProgramLocations::*path);

    frmMain& window_;
    ProgramLocations programs_;
    std::filesystem::path programDirectory_;
};

} // namespace crateward
