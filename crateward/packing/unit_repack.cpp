#include "unit_repack.hpp"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "busy_scope.hpp"
#include "common/dialogs.hpp"
#include "file_view_control.hpp"
#include "file_view_model.hpp"
#include "frm_main.hpp"
#include "member_paths.hpp"
#include "save_location.hpp"
#include "unit_check_commands.hpp"
#include "unit_pieces.hpp"
#include "working_directory.hpp"

namespace crateward::packing {

void RepackUnit_Click(frmMain& window) {
    if (window.archiveHandle() == 0) {
        return;
    }
    auto& dialogs = common::Dialogs::current();
    // 1. No selection counts as an empty name.
    const int row = window.FileView->selectedRow();
    const QString name = row >= 0 ? window.FileView->model()->entry(row).name : QString();
    const std::string selected = name.toStdString();
    if (QString::fromStdString(ExtensionOf(selected)).toLower() != QLatin1String("fbi")) {
        dialogs.message(&window, QStringLiteral("You must select an unit(*.FBI files) !!"),
                        QStringLiteral("No no..."), common::MessageIcon::Information,
                        common::MessageButtons::Ok);
        return;
    }
    BusyScope busy(window);
    // 2. A folder of this run's own, so nothing an earlier extraction left
    //    is taken for a piece, and the working directory stays as it is.
    const QString base = QString::fromStdString(UserDataDirectory().string());
    QDir().mkpath(base);
    QTemporaryDir folder(base + QStringLiteral("/unit-XXXXXX"));
    if (!folder.isValid()) {
        dialogs.message(&window, QStringLiteral("Error creating the new HPI"), QString(),
                        common::MessageIcon::Critical, common::MessageButtons::Ok);
        return;
    }
    const std::string gather = QFile::encodeName(folder.path()).toStdString() + "/";
    const auto pieces = UnitPieces(selected);
    const UnitGathering gathering = GatherUnit(window.archiveHandle(), pieces, gather);
    if (!gathering.stopMessage.empty()) {
        dialogs.message(&window, QString::fromStdString(gathering.stopMessage), QString(),
                        common::MessageIcon::Critical, common::MessageButtons::Ok);
        return;
    }
    // With the option on, everything else the unit check finds in the open
    // archive goes in too, under its own path.
    std::vector<FurtherPiece> further;
    QString checkNote;
    if (GatherEverythingTheUnitCheckFinds(window)) {
        QString error;
        const QStringList found =
            UnitCheckMembersInOpenArchive(window, QStringLiteral("units\\") + name, &error);
        std::vector<std::string> members;
        for (const QString& member : found) {
            members.push_back(member.toStdString());
        }
        further = GatherFurther(window.archiveHandle(), pieces, gathering, members, gather);
        checkNote =
            error.isEmpty()
                ? QStringLiteral("\r%1 more files found by the unit check.").arg(further.size())
                : QStringLiteral("\rThe unit check could not run: ") + error;
    }
    // 3.
    const QString plain = name.left(name.size() - 4);
    const auto target =
        dialogs.saveFile(&window, QStringLiteral("Save new HPI archive as..."),
                         QStringLiteral("UFO file|*.ufo|HPI file|*.hpi|CCX file|*.ccx"), QString(),
                         SaveDialogStart(window, plain));
    if (!target) {
        return;
    }
    RememberSaveFolder(window, *target);
    // 4. to 6.
    switch (
        PackUnit(QFile::encodeName(*target).toStdString(), pieces, gathering, gather, further)) {
    case UnitPackResult::CannotCreate:
        dialogs.message(&window, QStringLiteral("Error creating the new HPI"), QString(),
                        common::MessageIcon::Critical, common::MessageButtons::Ok);
        break;
    case UnitPackResult::Written:
        dialogs.message(&window,
                        QStringLiteral("Unit succesfully exported.\r") +
                            QString::fromStdString(gathering.notes) + checkNote,
                        QString(), common::MessageIcon::None, common::MessageButtons::Ok);
        break;
    case UnitPackResult::Refused:
    case UnitPackResult::PackFailed:
        break;
    }
}

} // namespace crateward::packing
