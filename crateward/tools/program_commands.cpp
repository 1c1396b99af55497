#include "program_commands.hpp"

#include <QAction>
#include <QToolBar>

#include <system_error>

#include "common/program_paths.hpp"
#include "file_association.hpp"
#include "frm_main.hpp"
#include "frm_prog_search.hpp"
#include "launcher.hpp"
#include "member_paths.hpp"
#include "mod_hpiutil.hpp"

namespace crateward {

namespace {

std::string runningExecutable() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string("crateward") : exe.string();
}

} // namespace

ProgramCommands::ToolRunner& ProgramCommands::associationToolRunner() {
    static ToolRunner runner = RunInstalledTool;
    return runner;
}

ProgramCommands::ProgramCommands(frmMain& window)
    : QObject(&window), window_(window), programDirectory_(common::ProgramDirectory()) {
    setObjectName(QStringLiteral("ProgramCommands"));
    struct Button {
        const char* key;
        const std::string ProgramLocations::*path;
    };
    const Button buttons[] = {
        {"TA", &ProgramLocations::TAPath},
        {"UnitView", &ProgramLocations::UnitViewerPath},
        {"3DO Builder", &ProgramLocations::ModelProgramPath},
        {"GAF Builder", &ProgramLocations::SpriteProgramPath},
        {"MAP", &ProgramLocations::MapProgramPath},
    };
    for (const Button& b : buttons) {
        QAction* a = window_.Toolbar->findChild<QAction*>(QString::fromUtf8(b.key));
        if (!a) {
            continue;
        }
        a->setVisible(true);
        const auto path = b.path;
        connect(a, &QAction::triggered, this, [this, path] { launchFromToolbar(path); });
    }
    QAction* settingsButton = window_.Toolbar->findChild<QAction*>(QStringLiteral("Répertoire"));
    QAction* settingsEntry = window_.findChild<QAction*>(QStringLiteral("SetPrgPath"));
    for (QAction* a : {settingsButton, settingsEntry}) {
        if (a) {
            a->setVisible(true);
            connect(a, &QAction::triggered, this, &ProgramCommands::showProgramSettings);
        }
    }
}

void ProgramCommands::startUp() {
    DefaultToOwnViewers(window_.settings(), programDirectory_);
    LoadProgramPaths(window_.settings(), programs_);
}

void ProgramCommands::registerArchiveTypes() {
    AssociationTarget target = AssociationTarget::forCurrentUser();
    target.runTool = associationToolRunner();
    const std::filesystem::path icon = common::ProgramDataFile("crateward.png", programDirectory_);
    std::error_code ec;
    if (std::filesystem::is_regular_file(icon, ec)) {
        target.programIcon = icon.string();
    }
    RegisterArchiveTypes(target, runningExecutable());
}

void ProgramCommands::launchFromToolbar(const std::string ProgramLocations::*path) {
    const std::string& program = programs_.*path;
    if (!program.empty()) {
        LaunchProgram(QString::fromStdString(program), QString());
    }
}

frmProgSearch* ProgramCommands::loadProgramSettings() {
    // The game's folder as the library reports it; the home folder stands
    // for "not found".
    const QString game =
        hpi::TADirectory().empty() ? QString() : QString::fromStdString(GameDirectory());
    auto* dialog =
        new frmProgSearch(window_.settings(), programs_, programDirectory_, game, &window_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    return dialog;
}

void ProgramCommands::showProgramSettings() {
    frmProgSearch* dialog = loadProgramSettings();
    dialog->exec();
}

} // namespace crateward
