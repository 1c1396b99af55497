#include "archive_writing.hpp"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QToolBar>

#include <filesystem>

#include "busy_scope.hpp"
#include "common/dialogs.hpp"
#include "failure_message.hpp"
#include "frm_main.hpp"
#include "frm_pack_path.hpp"
#include "frm_repack_in_path.hpp"
#include "frm_wait_repack.hpp"
#include "hpiutil/hpiutil.h"
#include "member_paths.hpp"
#include "mod_hpiutil.hpp"
#include "pack_engine.hpp"
#include "pack_progress_display.hpp"
#include "packing_events.hpp"
#include "unit_repack.hpp"

namespace crateward::packing {

namespace {

QAction* actionOf(frmMain& w, const char* name) {
    return w.findChild<QAction*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
}
QMenu* menuOf(frmMain& w, const char* name) {
    return w.findChild<QMenu*>(QLatin1String(name));
}
std::string diskName(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

ArchiveWriting::ArchiveWriting(frmMain& window) : QObject(&window), window_(window) {
    setObjectName(QStringLiteral("ArchiveWriting"));
}

ArchiveWriting* ArchiveWriting::Install(frmMain& w) {
    auto* self = new ArchiveWriting(w);
    QAction* modify = actionOf(w, "mnuModifierHPI");
    modify->setVisible(true);
    connect(modify, &QAction::triggered, self, &ArchiveWriting::mnuModifierHPI_Click);
    QMenu* save = menuOf(w, "mnuSaveModif");
    save->menuAction()->setVisible(true);
    const char* saves[] = {"mnuSaveModifNOcompress", "mnuSaveModifLZcompress",
                           "mnuSaveModifZLIBcompress"};
    const char* repacks[] = {"RepackNO", "RepackLZ77", "RepackZLIB"};
    for (int method = 0; method < 3; ++method) {
        connect(actionOf(w, saves[method]), &QAction::triggered, self,
                [self, method] { self->saveModification(method); });
        connect(actionOf(w, repacks[method]), &QAction::triggered, self,
                [self, method] { self->repackMenu(method); });
    }
    menuOf(w, "mnuHPIChangeCompMet")->menuAction()->setVisible(true);
    QAction* saveButton = w.Toolbar->findChild<QAction*>(QStringLiteral("Save"));
    saveButton->setVisible(true);
    connect(saveButton, &QAction::triggered, self, [save] { save->popup(QCursor::pos()); });

    QMenu* units = menuOf(w, "mnuUnits");
    units->menuAction()->setVisible(true);
    connect(actionOf(w, "RepackUnit"), &QAction::triggered, self, [&w] { RepackUnit_Click(w); });

    menuOf(w, "Packing")->menuAction()->setVisible(true);
    connect(actionOf(w, "PackFromPath"), &QAction::triggered, self, [&w] { PackFromPath(w); });
    connect(actionOf(w, "mnuRepackSevHPI"), &QAction::triggered, self,
            [&w] { ShowRepackInPath(w); });
    return self;
}

bool ArchiveWriting::modifying() const {
    return menuOf(window_, "mnuSaveModif")->menuAction()->isEnabled();
}

void ArchiveWriting::setModifying(bool modifying) {
    for (const char* name : {"RepackNO", "RepackLZ77", "RepackZLIB", "mnuExtract", "mnuExtractPath",
                             "mnuExtractAll", "mnuModifierHPI"}) {
        actionOf(window_, name)->setEnabled(!modifying);
    }
    menuOf(window_, "mnuSaveModif")->menuAction()->setEnabled(modifying);
    window_.Toolbar->findChild<QAction*>(QStringLiteral("Save"))->setEnabled(modifying);
}

void ArchiveWriting::mnuModifierHPI_Click() {
    if (window_.archiveHandle() == 0 || window_.workingDirectory().isEmpty()) {
        return;
    }
    // Another archive's unsaved modification may still lie there.
    if (!window_.mayDiscardModification()) {
        return;
    }
    BusyScope busy(window_);
    // 1. to 4.
    window_.statusPanel(1)->setText(QStringLiteral("Extracting archive..."));
    EmptyDirectory(diskName(window_.workingDirectory()), false);
    QCoreApplication::processEvents();
    window_.ExtractAll(window_.workingDirectory());
    // 5. and 6.
    setModifying(true);
    window_.setUnsavedModification(true);
    window_.statusPanel(1)->setText(QStringLiteral("Ready"));
}

void ArchiveWriting::saveModification(int method) {
    if (!modifying() || window_.archivePath().isEmpty()) {
        return;
    }
    const QString path = window_.archivePath();
    // 1.
    window_.Fermer();
    // 2. and 3. The dialog stays open with its completion label.
    auto* dialog = new frmPackPath(&window_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->DataInput[0]->setText(window_.workingDirectory());
    dialog->DataInput[1]->setText(path);
    dialog->Method->setCurrentIndex(method);
    dialog->setKeepHiddenFiles(true); // every member unpacked goes back
    dialog->show();
    const bool saved = dialog->Label2_Click();
    // 4. and 5. A failed save keeps the modification: the menus stay as
    //    during a modification, so the user can remove the cause and save
    //    again.
    //    The unpacked tree stays until the archive is next closed.
    window_.OpenHPI(path);
    setModifying(!saved);
    window_.setUnsavedModification(!saved);
}

void ArchiveWriting::repackMenu(int method) {
    if (window_.archiveHandle() == 0 || modifying()) {
        return;
    }
    window_.statusPanel(1)->setText(QStringLiteral("Repacking archive..."));
    RePack(method);
    window_.statusPanel(1)->setText(QStringLiteral("Ready"));
}

bool ArchiveWriting::RePack(int method) {
    const QString archive = window_.archivePath();
    const QString work = window_.workingDirectory();
    if (window_.archiveHandle() == 0 || work.isEmpty()) {
        return false;
    }
    // The repack unpacks into the working directory.
    if (!window_.mayDiscardModification()) {
        return false;
    }
    BusyScope busy(window_);
    PackEvents events(&window_);
    frmMain::WorkingDirectoryInUse inUse(window_);
    // 1.
    auto* wait = new frmWaitRePack(&window_);
    wait->show();
    QCoreApplication::processEvents();
    // Whatever an earlier modification or repack left is not packed again.
    const std::filesystem::path root(diskName(work));
    EmptyDirectory(root.string(), false);
    std::filesystem::create_directories(root);
    // 2.
    wait->startStep(0);
    hpi::ListEntry entry;
    std::int32_t index = 0;
    int files = 0;
    while ((index = hpi::GetFiles(window_.archiveHandle(), index, entry)) != 0) {
        files += entry.type == hpi::kFile ? 1 : 0;
    }
    wait->UnpackProgress->setRange(0, std::max(files, 1));
    wait->UnpackProgress->setValue(0);
    wait->endStep(0);
    // 3. A directory comes before its contents in the listing; a member
    //    whose name could leave the working directory is not written.
    wait->startStep(1);
    index = 0;
    while ((index = hpi::GetFiles(window_.archiveHandle(), index, entry)) != 0) {
        if (const auto relative = SafeRelativePath(entry.name)) {
            std::error_code ec;
            if (entry.type == hpi::kDirectory) {
                std::filesystem::create_directory(root / *relative, ec);
            } else {
                hpi::ExtractFile(window_.archiveHandle(), entry.name, (root / *relative).string());
            }
        }
        if (entry.type == hpi::kFile) {
            wait->UnpackProgress->setValue(wait->UnpackProgress->value() + 1);
        }
        QCoreApplication::processEvents();
    }
    wait->endStep(1);
    // 4.
    window_.Fermer();
    // 5.
    PackHandle = HPICreate(diskName(archive).c_str(), &PackProgress);
    if (PackHandle == 0) {
        ShowLibraryFailure(wait, QStringLiteral("Error creating the archive !"),
                           QStringLiteral("Error"));
        wait->Close->setEnabled(true);
        return false;
    }
    // 6.
    wait->startStep(2);
    PackRoot = root.string();
    if (PackRoot.ends_with('/')) {
        PackRoot.pop_back();
    }
    WalkDirectory(root.string(), "*.*", kAddMode);
    wait->endStep(2);
    // 7.
    wait->startStep(3);
    bool written = false;
    {
        PackProgressDisplay::Binding bound(wait->progress());
        written = PackArchive(method);
    }
    wait->endStep(3);
    wait->Close->setEnabled(true);
    // 8. A failed pack left the archive as it was: the extracted files stay.
    if (written) {
        EmptyDirectory(root.string(), false);
    } else {
        ShowLibraryFailure(wait, QStringLiteral("Error packing the HPI archive !!"),
                           QStringLiteral("Error"));
    }
    // 9.
    window_.OpenHPI(archive);
    return written;
}

} // namespace crateward::packing
