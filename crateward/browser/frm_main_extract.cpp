// The extraction commands: one selected file, every file of the selected
// directory, and the whole archive with its directory tree. Nothing is ever
// written outside the chosen destination: a member whose name could leave
// it is not written and counts as a failed extraction.
#include "frm_main.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

#include <exception>
#include <optional>
#include <system_error>

#include "busy_scope.hpp"
#include "common/dialogs.hpp"
#include "extraction_report.hpp"
#include "failure_message.hpp"
#include "file_view_control.hpp"
#include "file_view_model.hpp"
#include "frm_wait.hpp"
#include "member_paths.hpp"
#include "mod_hpiutil.hpp"
#include "multi_extraction.hpp"
#include "save_location.hpp"

namespace crateward {

namespace {

std::string diskName(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString withSlash(QString path) {
    if (!path.endsWith(QLatin1Char('/'))) {
        path += QLatin1Char('/');
    }
    return path;
}

// A bare entry name that stays a single file inside its destination.
bool safeEntryName(const std::string& name) {
    return name.find('\\') == std::string::npos && SafeRelativePath(name).has_value();
}

void showUnexpected(QWidget* owner, int number, const char* what) {
    common::Dialogs::current().message(
        owner, QStringLiteral("Error %1\r%2").arg(number).arg(QString::fromUtf8(what)), QString(),
        common::MessageIcon::None, common::MessageButtons::Ok);
}

// The folder the user picks for an extraction; nothing when cancelled.
std::optional<QString> chooseExtractionFolder(QWidget* owner) {
    const auto chosen = common::Dialogs::current().chooseDirectory(
        owner, QStringLiteral("Select a directory..."), QString::fromStdString(GameDirectory()));
    if (!chosen || chosen->isEmpty()) {
        return std::nullopt;
    }
    return chosen;
}

// Runs a command; an unexpected failure shows its number and description.
template <class Command> void guarded(QWidget* owner, Command&& command) {
    try {
        command();
    } catch (const std::system_error& e) {
        showUnexpected(owner, e.code().value(), e.what());
    } catch (const std::exception& e) {
        showUnexpected(owner, 0, e.what());
    }
}

} // namespace

frmWait* frmMain::showWait(bool cancellable) {
    unloadWait();
    wait_ = new frmWait(this);
    wait_->setCancellable(cancellable);
    wait_->show();
    return wait_;
}

void frmMain::unloadWait() {
    delete wait_;
    wait_ = nullptr;
}

void frmMain::mnuExtract_Click() {
    if (handle_ == 0) {
        return;
    }
    // Several entries: one folder for them all.
    if (const QList<int> rows = FileView->selectedRows(); rows.size() > 1) {
        guarded(this, [this, &rows] { MultiExtraction(*this).run(rows); });
        return;
    }
    const int row = FileView->selectedRow();
    if (row < 0) {
        return;
    }
    const QString name = FileView->model()->entry(row).name;
    const QString ext = QString::fromStdString(ExtensionOf(name.toStdString()));
    // 1. The dialog opens where the user last saved, else in the archive's
    //    folder.
    const auto chosen = common::Dialogs::current().saveFile(this, QStringLiteral("Save file as..."),
                                                            ext + QStringLiteral(" File|*.") + ext,
                                                            ext, SaveDialogStart(*this, name));
    // 2.
    if (!chosen) {
        return;
    }
    RememberSaveFolder(*this, *chosen);
    // 3. to 6.
    statusPanel(1)->setText(QStringLiteral("Extracting file..."));
    ExtractionReport report;
    report.setTotal(1);
    const std::string member = memberPath(row).toStdString();
    if (hpi::ExtractFile(handle_, member, diskName(*chosen))) {
        report.addWritten(QFileInfo(*chosen).size());
    } else {
        ShowLibraryFailure(this, QStringLiteral("There is an error extracting the file !"),
                           QStringLiteral("Error !"));
    }
    statusPanel(1)->setText(QStringLiteral("Ready"));
    report.showIn(Status);
}

void frmMain::mnuExtractPath_Click() {
    if (handle_ == 0) {
        return;
    }
    guarded(this, [this] {
        const auto chosen = chooseExtractionFolder(this);
        if (!chosen) {
            return;
        }
        BusyScope busy(*this);
        showWait(true);
        statusPanel(1)->setText(QStringLiteral("Extracting path..."));
        QString directory = GetTreeKey();
        if (directory.endsWith(QLatin1Char('\\'))) {
            directory.chop(1);
        }
        ExtractionReport report;
        extractPath(directory, withSlash(*chosen), report);
        statusPanel(1)->setText(QStringLiteral("Ready"));
        report.showIn(Status);
        if (report.cancelled()) {
            ShowExtractionDone(this, *chosen, report);
        }
    });
}

void frmMain::extractPath(const QString& directory, const QString& destination,
                          ExtractionReport& report) {
    const std::string dir = directory.toStdString();
    hpi::ListEntry entry;
    std::int32_t index = 0;
    std::int32_t files = 0;
    while ((index = hpi::Dir(handle_, index, dir, entry)) != 0) {
        files += entry.type == hpi::kFile ? 1 : 0;
    }
    report.setTotal(files);
    wait_->ProgressBar1->setRange(0, files);
    wait_->ProgressBar1->setValue(0);
    index = 0;
    while ((index = hpi::Dir(handle_, index, dir, entry)) != 0) {
        if (entry.type != hpi::kFile) {
            continue;
        }
        const std::string member = dir.empty() ? entry.name : dir + "\\" + entry.name;
        const QString name = QString::fromStdString(entry.name);
        if (!safeEntryName(entry.name)) {
            ShowFailure(this, QStringLiteral("Error during unpacking... !"),
                        QStringLiteral("Error !"),
                        QStringLiteral("%1: the name cannot be written safely inside the "
                                       "destination folder")
                            .arg(QString::fromStdString(member)));
            break;
        }
        if (!hpi::ExtractFile(handle_, member, diskName(destination + name))) {
            ShowLibraryFailure(this, QStringLiteral("Error during unpacking... !"),
                               QStringLiteral("Error !"));
            break;
        }
        report.addWritten(entry.size);
        wait_->Status->setText(QString::fromStdString(member));
        wait_->ProgressBar1->setValue(wait_->ProgressBar1->value() + 1);
        QCoreApplication::processEvents();
        if (closeRequested_) {
            break;
        }
        // The member under way is whole; the ones after it are not written.
        if (wait_->cancelRequested() && report.written() < files) {
            report.setCancelled();
            break;
        }
    }
    unloadWait();
}

void frmMain::mnuExtractAll_Click() {
    if (handle_ == 0) {
        return;
    }
    guarded(this, [this] {
        const auto chosen = chooseExtractionFolder(this);
        if (!chosen) {
            return;
        }
        BusyScope busy(*this);
        showWait(true);
        QCoreApplication::processEvents();
        statusPanel(1)->setText(QStringLiteral("Extracting archive..."));
        ExtractionReport report;
        extractTree(withSlash(*chosen), report);
        statusPanel(1)->setText(QStringLiteral("Ready"));
        report.showIn(Status);
        if (!closeRequested_) {
            ShowExtractionDone(this, *chosen, report);
        }
    });
}

void frmMain::ExtractAll(const QString& destination) {
    ExtractionReport report;
    extractTree(destination, report);
}

void frmMain::extractTree(const QString& destination, ExtractionReport& report) {
    if (!wait_) {
        showWait(false);
    }
    const std::filesystem::path root(diskName(destination));
    hpi::ListEntry entry;
    std::int32_t index = 0;
    std::int32_t files = 0;
    while ((index = hpi::GetFiles(handle_, index, entry)) != 0) {
        files += entry.type == hpi::kFile ? 1 : 0;
    }
    report.setTotal(files);
    wait_->ProgressBar1->setRange(0, files);
    wait_->ProgressBar1->setValue(0);
    index = 0;
    while ((index = hpi::GetFiles(handle_, index, entry)) != 0) {
        // Failures do not stop the walk; a member that could leave the
        // destination is one of them.
        const auto relative = SafeRelativePath(entry.name);
        const QString member = QString::fromStdString(entry.name);
        if (entry.type == hpi::kDirectory) {
            if (relative) {
                std::error_code ec;
                std::filesystem::create_directory(root / *relative, ec);
            }
            continue;
        }
        if (!relative) {
            report.addFailure(member, QStringLiteral("the name cannot be written safely inside "
                                                     "the destination folder"));
        } else if (hpi::ExtractFile(handle_, entry.name, (root / *relative).string())) {
            report.addWritten(entry.size);
        } else {
            report.addFailure(member, QString::fromStdString(hpi::LastError()));
        }
        wait_->Status->setText(member);
        wait_->ProgressBar1->setValue(wait_->ProgressBar1->value() + 1);
        QCoreApplication::processEvents();
        if (closeRequested_) {
            break;
        }
        // The member under way is whole; the ones after it are not written.
        if (wait_->cancelRequested() && wait_->ProgressBar1->value() < files) {
            report.setCancelled();
            break;
        }
    }
    unloadWait();
}

} // namespace crateward
