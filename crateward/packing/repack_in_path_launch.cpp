// The batch dialog's launch: extract every listed archive into the work
// path, then pack a merge or leave the files in the chosen directory, and
// delete the sources when asked.
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QRadioButton>
#include <QTemporaryDir>

#include <exception>
#include <filesystem>
#include <memory>
#include <system_error>

#include "busy_scope.hpp"
#include "case_folded_tree.hpp"
#include "common/dialogs.hpp"
#include "failure_message.hpp"
#include "frm_main.hpp"
#include "frm_repack_in_path.hpp"
#include "hpiutil/hpiutil.h"
#include "member_paths.hpp"
#include "mod_hpiutil.hpp"
#include "pack_engine.hpp"
#include "packing_events.hpp"
#include "working_directory.hpp"

namespace crateward::packing {

namespace {

std::string diskName(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

common::MessageAnswer ask(QWidget* parent, const QString& text, common::MessageIcon icon,
                          common::MessageButtons buttons = common::MessageButtons::Ok) {
    return common::Dialogs::current().message(parent, text, QString(), icon, buttons);
}

} // namespace

void frmRepackInPath::cmdGO_Click() {
    try {
        launch();
    } catch (const std::system_error& e) {
        ask(this, QString::fromUtf8(e.what()) + QString::number(e.code().value()),
            common::MessageIcon::None);
    } catch (const std::exception& e) {
        ask(this, QString::fromUtf8(e.what()) + QStringLiteral("0"), common::MessageIcon::None);
    }
}

void frmRepackInPath::launch() {
    using common::MessageAnswer;
    using common::MessageButtons;
    using common::MessageIcon;
    // 1. and 2.
    if (ListSourceFiles->count() == 0) {
        ask(this, QStringLiteral("You must add HPI file to launch the function :-)"),
            MessageIcon::Information);
        return;
    }
    if (!ValidateDestination()) {
        return;
    }
    // 3.
    if (owner_->archiveHandle() != 0) {
        if (ask(this,
                QStringLiteral("This action will close your current opened HPI, do you want to "
                               "continue anyway ?"),
                MessageIcon::Question, MessageButtons::YesNo) != MessageAnswer::Yes) {
            return;
        }
        owner_->Fermer();
    }
    // 4. A merge gathers its files in a folder of its own.
    const bool merge = OptionHPI->isChecked();
    std::unique_ptr<QTemporaryDir> mergeFolder;
    QString workPath;
    bool deleteFlag = false;
    if (merge) {
        const QString base = QString::fromStdString(UserDataDirectory().string());
        QDir().mkpath(base);
        mergeFolder = std::make_unique<QTemporaryDir>(base + QStringLiteral("/merge-XXXXXX"));
        if (!mergeFolder->isValid()) {
            ask(this, QStringLiteral("Error creating the HPI archive !!"), MessageIcon::Critical);
            return;
        }
        workPath = mergeFolder->path();
        deleteFlag = CheckSupFile[0]->isChecked();
    } else {
        workPath = TxtPath->text();
        if (!QFileInfo(workPath).isDir()) {
            ask(this, QStringLiteral("The directory you've entered doesn't exist !"),
                MessageIcon::Warning);
            return;
        }
        deleteFlag = CheckSupFile[1]->isChecked();
    }
    if (!workPath.endsWith(QLatin1Char('/'))) {
        workPath += QLatin1Char('/');
    }
    BusyScope busy(*owner_);
    PackEvents events(this);
    // 5. and 6.
    ResetProgress();
    std::vector<bool> skipped;
    if (!ExtractAllSources(workPath, skipped)) {
        LBStatus->setText(QStringLiteral("Operation fail !"));
        return;
    }
    // 7. and 8.
    LBStatus->setText(QStringLiteral("Operation successfully completed !"));
    if (!merge) {
        if (deleteFlag) {
            deleteSources(skipped);
        }
        return;
    }
    // 9. The sources go only once the new archive is written.
    if (!PackWorkPath(workPath)) {
        LBStatus->setText(QStringLiteral("Packing new HPI fail !"));
        return;
    }
    LBStatus->setText(QStringLiteral("Packing new HPI successfully completed !"));
    if (deleteFlag) {
        deleteSources(skipped);
    }
    // 10.
    if (CheckOpenNewHPI->isChecked()) {
        owner_->Fermer();
        owner_->OpenHPI(TxtDest->text());
        owner_->AddRecentArchive(TxtDest->text());
        owner_->Load_LastHPI();
    }
}

bool frmRepackInPath::ExtractAllSources(const QString& workPath, std::vector<bool>& skipped) {
    // 1. The work path of a merge starts empty; a chosen directory keeps
    //    what it holds.
    const int lines = ListSourceFiles->count();
    skipped.assign(std::size_t(lines), false);
    // 2.
    GeneProgress->setRange(0, std::max(lines, 1));
    for (int i = 0; i < lines; ++i) {
        // 3.
        ListSourceFiles->setCurrentRow(i);
        const QString source = ListSourceFiles->item(i)->text();
        const std::int32_t archive = hpi::Open(diskName(source));
        if (archive == 0) {
            const auto answer = ask(this,
                                    QStringLiteral("Error during extracting ") + source +
                                        QStringLiteral(" , do you want to continue ?"),
                                    common::MessageIcon::Question, common::MessageButtons::YesNo);
            if (answer != common::MessageAnswer::Yes) {
                for (QProgressBar* bar : {HPIProgress, GeneProgress}) {
                    bar->setValue(0);
                }
                return false;
            }
            skipped[std::size_t(i)] = true;
        } else {
            // 4.
            ExtractOneSource(archive, source, workPath);
        }
        GeneProgress->setValue(std::min(GeneProgress->maximum(), GeneProgress->value() + 1));
    }
    return true;
}

void frmRepackInPath::ExtractOneSource(int archive, const QString& source,
                                       const QString& workPath) {
    // 1. and 2.
    LBStatus->setText(QStringLiteral("Extracting ") + source);
    hpi::ListEntry entry;
    std::int32_t index = 0;
    int files = 0;
    while ((index = hpi::GetFiles(archive, index, entry)) != 0) {
        files += entry.type == hpi::kFile ? 1 : 0;
    }
    HPIProgress->setRange(0, std::max(files, 1));
    HPIProgress->setValue(0);
    // 3. A member whose name could leave the work path is not written.
    //    Names are placed without regard to case, on the spelling an
    //    earlier source left: the later source's file replaces the earlier.
    CaseFoldedTree tree{std::filesystem::path(diskName(workPath))};
    index = 0;
    while ((index = hpi::GetFiles(archive, index, entry)) != 0) {
        const auto relative = SafeRelativePath(entry.name);
        if (entry.type == hpi::kDirectory) {
            if (relative) {
                tree.place(*relative, true);
            }
            continue;
        }
        if (relative) {
            hpi::ExtractFile(archive, entry.name, tree.place(*relative, false).string());
        }
        HPIProgress->setValue(std::min(HPIProgress->maximum(), HPIProgress->value() + 1));
        LBStatus->setText(QStringLiteral("Extracting ") + source + QStringLiteral("... ") +
                          QString::fromStdString(entry.name));
        QCoreApplication::processEvents();
    }
    // 4.
    hpi::Close(archive);
}

bool frmRepackInPath::PackWorkPath(const QString& workPath) {
    // 1. BatchPackProgress writes every value on every call.
    PackHandle = HPICreate(diskName(TxtDest->text()).c_str(), &PackProgress);
    if (PackHandle == 0) {
        ShowLibraryFailure(this, QStringLiteral("Error creating the HPI archive !!"),
                           QStringLiteral("Error !"));
        return false;
    }
    // 2.
    PackRoot = diskName(workPath);
    WalkDirectory(PackRoot, "*.*", kAddMode); // every member unpacked, hidden names too
    // 3. Whether the archive was written decides what follows.
    BindProgress([this](const ProgressValues& v) {
        LBStatus->setText(QStringLiteral("Packing new HPI.... ") + QString::fromUtf8(v.fileName));
        HPIProgress->setRange(0, std::max(0, v.fileTotal));
        HPIProgress->setValue(std::clamp(v.fileDone, 0, std::max(0, v.fileTotal)));
        GeneProgress->setRange(0, std::max(0, v.archiveTotal));
        GeneProgress->setValue(std::clamp(v.archiveDone, 0, std::max(0, v.archiveTotal)));
    });
    const bool written = PackArchive(ComboCompresType->currentData().toInt());
    BindProgress({});
    return written;
}

void frmRepackInPath::deleteSources(const std::vector<bool>& skipped) {
    for (int i = 0; i < ListSourceFiles->count(); ++i) {
        if (std::size_t(i) < skipped.size() && skipped[std::size_t(i)]) {
            continue; // an archive that was not extracted is kept
        }
        ListSourceFiles->setCurrentRow(i);
        const QString path = ListSourceFiles->item(i)->text();
        // A source that is also the new archive is the result: it stays.
        if (OptionHPI->isChecked() && QFileInfo(path) == QFileInfo(TxtDest->text())) {
            continue;
        }
        QFile::remove(path);
        LBStatus->setText(QStringLiteral("Deleting sources files...") + path);
    }
    LBStatus->setText(QStringLiteral("Deleting successfully completed !"));
    ListSourceFiles->clear();
}

} // namespace crateward::packing
