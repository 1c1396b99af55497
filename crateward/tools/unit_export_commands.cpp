#include "unit_export_commands.hpp"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "busy_scope.hpp"
#include "class_export_param.hpp"
#include "common/dialogs.hpp"
#include "file_view_control.hpp"
#include "file_view_model.hpp"
#include "frm_export_to_viewer.hpp"
#include "frm_main.hpp"
#include "launcher.hpp"
#include "mod_hpiutil.hpp"
#include "preview_dispatch.hpp"
#include "program_commands.hpp"
#include "program_keys.hpp"
#include "settings_keys.hpp"
#include "unit_viewer_export.hpp"
#include "working_copy.hpp"
#include "working_directory.hpp"

namespace crateward {

namespace {

void information(QWidget* parent, const QString& text, const QString& title) {
    common::Dialogs::current().message(parent, text, title, common::MessageIcon::Information,
                                       common::MessageButtons::Ok);
}

} // namespace

UnitExportCommands::UnitExportCommands(frmMain& window) : QObject(&window), window_(window) {
    setObjectName(QStringLiteral("UnitExportCommands"));
    const std::pair<const char*, void (UnitExportCommands::*)()> commands[] = {
        {"mnuExport", &UnitExportCommands::mnuExport_Click},
        {"mnuUnitVew3DO", &UnitExportCommands::mnuUnitVew3DO_Click},
        {"mnuUnitCustomExport", &UnitExportCommands::mnuUnitCustomExport_Click},
    };
    for (const auto& [name, slot] : commands) {
        if (QAction* a = window_.findChild<QAction*>(QLatin1String(name))) {
            a->setProperty("built", true);
            a->setVisible(true);
            connect(a, &QAction::triggered, this, slot);
        }
    }
}

QString UnitExportCommands::selectedName() const {
    const int row = window_.FileView->selectedRow();
    return row >= 0 ? window_.FileView->model()->entry(row).name : QString();
}

void UnitExportCommands::mnuExport_Click() {
    const QString name = selectedName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString ext = dot < 0 ? QString() : name.mid(dot + 1).toLower();
    if (ext != QLatin1String("fbi")) {
        information(&window_,
                    QString(40, QLatin1Char(' ')) + QStringLiteral("You must select an unit !!\r") +
                        QStringLiteral("You can only export to Unit Viwer by selecting .fbi file, "
                                       "often in \"units\" subdirectory"),
                    QStringLiteral("No no..."));
        return;
    }
    classExportParam& param = ExportParam();
    param.UnitName = name.left(name.indexOf(QLatin1Char('.'))).toStdString();
    param.UnitViewPath = window_.programCommands()->programs().UnitViewerPath;
    ExportToUnitViewer();
}

void UnitExportCommands::ExportToUnitViewer() {
    classExportParam& param = ExportParam();
    if (param.UnitViewPath.empty() ||
        !QFileInfo(QString::fromStdString(param.UnitViewPath)).isFile()) {
        information(&window_, QStringLiteral("Select your TA unit viewer..."), QString());
        // Native programs and Windows ones (started through wine).
        const auto chosen = common::Dialogs::current().openProgram(&window_, QString(), QString());
        if (!chosen || chosen->isEmpty()) {
            return;
        }
        param.UnitViewPath = chosen->toStdString();
        window_.programCommands()->programs().UnitViewerPath = param.UnitViewPath;
        window_.settings().write(kApp, kPrograms, kUnitViewerKey, param.UnitViewPath);
    }
    BusyScope busy(window_);
    const std::filesystem::path folder = FolderOf(param.UnitViewPath);
    const ViewerExportPlaces places{window_.programCommands()->programDirectory(),
                                    UserDataDirectory()};
    for (const char* side : {"arm", "cor"}) {
        QCoreApplication::processEvents();
        if (!BuildViewerArchive(param, folder / ViewerArchiveName(side), side, places)) {
            return;
        }
    }
    // The viewer starts in its own folder, where it finds the archives.
    LaunchProgram(QString::fromStdString(param.UnitViewPath), QString());
}

void UnitExportCommands::mnuUnitVew3DO_Click() {
    QString name = selectedName().toLower();
    if (!name.endsWith(QLatin1String("3do")) && !name.endsWith(QLatin1String("fbi"))) {
        information(
            &window_,
            QStringLiteral("You must select a .3DO file or a Unit configuration file (.FBI)."),
            QStringLiteral("Warning !"));
        return;
    }
    if (name.endsWith(QLatin1String("fbi"))) {
        name = name.left(name.size() - 3) + QStringLiteral("3do");
    }
    // The model always comes from objects3d\, whatever folder is shown.
    const QString member = QStringLiteral("objects3d\\") + name;
    const bool modifying = window_.previewDispatch() && window_.previewDispatch()->modifying();
    const auto copy =
        ExtractedCopy(window_.archiveHandle(), window_.workingDirectory(), member, modifying);
    if (!copy) {
        return;
    }
    // The archive's own textures go beside the model's copy.
    CopyTextureMembers(window_.archiveHandle(), window_.workingDirectory(),
                       modifying ? CopyMode::Unpacked : CopyMode::Replace);
    BusyScope busy(window_);
    const auto& directory = window_.programCommands()->programDirectory();
    Launcher::current().open(QString::fromStdString(SiblingProgramPath(directory, "meshglass")),
                             *copy, QString::fromStdString(directory.string()));
}

void UnitExportCommands::mnuUnitCustomExport_Click() {
    const QString name = selectedName().toLower();
    if (!name.endsWith(QLatin1String("fbi"))) {
        information(&window_, QStringLiteral("You must select a Unit configuration file (.FBI)."),
                    QStringLiteral("Warning !"));
        return;
    }
    const QString prefix = QLatin1String(frmExportToViewer::kMemberPrefix);
    const QString stem = name.left(name.size() - 3);
    auto* form = new frmExportToViewer(window_);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->AsignDefaut(prefix + QStringLiteral("units\\") + name,
                      prefix + QStringLiteral("objects3d\\") + stem + QStringLiteral("3do"),
                      prefix + QStringLiteral("scripts\\") + stem + QStringLiteral("cob"));
    form->exec();
}

} // namespace crateward
