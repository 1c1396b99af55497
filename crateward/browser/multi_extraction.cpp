#include "multi_extraction.hpp"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QSet>

#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "busy_scope.hpp"
#include "common/dialogs.hpp"
#include "extraction_report.hpp"
#include "file_view_control.hpp"
#include "file_view_model.hpp"
#include "frm_main.hpp"
#include "frm_wait.hpp"
#include "member_paths.hpp"
#include "mod_hpiutil.hpp"

namespace crateward {

namespace {

namespace fs = std::filesystem;

struct Job {
    std::string member;
    fs::path target;
};

bool startsWithFolded(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; };
        if (fold(text[i]) != fold(prefix[i])) {
            return false;
        }
    }
    return true;
}

// Every member path of the archive with its kind, read once for the
// folders among the chosen entries.
std::vector<hpi::ListEntry> walk(std::int32_t handle) {
    std::vector<hpi::ListEntry> all;
    hpi::ListEntry entry;
    std::int32_t index = 0;
    while ((index = hpi::GetFiles(handle, index, entry)) != 0) {
        all.push_back(entry);
    }
    return all;
}

} // namespace

void MultiExtraction::run(const QList<int>& rows) {
    const auto chosen = common::Dialogs::current().chooseDirectory(
        &window_, QStringLiteral("Select a directory..."), QString::fromStdString(GameDirectory()));
    if (!chosen || chosen->isEmpty()) {
        return;
    }
    const fs::path root(QFile::encodeName(*chosen).toStdString());
    const FileViewModel* model = window_.FileView->model();
    ExtractionReport report;
    std::vector<Job> jobs;
    std::vector<fs::path> folders;
    std::vector<hpi::ListEntry> all;
    bool walked = false;
    QSet<QString> names;
    for (const int row : rows) {
        const FileViewEntry entry = model->entry(row);
        const QString member = window_.memberPath(row);
        const std::string name = entry.name.toStdString();
        const auto relative = SafeRelativePath(name);
        if (!relative || name.find('\\') != std::string::npos) {
            report.addFailure(member, QStringLiteral("the name cannot be written safely inside "
                                                     "the destination folder"));
            continue;
        }
        if (names.contains(entry.name)) {
            report.addFailure(member, QStringLiteral("another chosen entry has the same name"));
            continue;
        }
        names.insert(entry.name);
        if (entry.type != QLatin1String("Directory")) {
            jobs.push_back({member.toStdString(), root / *relative});
            continue;
        }
        folders.push_back(root / *relative);
        if (!walked) {
            all = walk(window_.archiveHandle());
            walked = true;
        }
        const std::string prefix = member.toStdString() + "\\";
        for (const hpi::ListEntry& inside : all) {
            if (!startsWithFolded(inside.name, prefix)) {
                continue;
            }
            const auto below =
                SafeRelativePath(std::string_view(inside.name).substr(prefix.size()));
            if (!below) {
                report.addFailure(QString::fromStdString(inside.name),
                                  QStringLiteral("the name cannot be written safely inside "
                                                 "the destination folder"));
            } else if (inside.type == hpi::kDirectory) {
                folders.push_back(root / *relative / *below);
            } else {
                jobs.push_back({inside.name, root / *relative / *below});
            }
        }
    }

    BusyScope busy(window_);
    // The progress window with its Cancel button, gone when this ends.
    std::unique_ptr<frmWait> wait(new frmWait(&window_));
    wait->setCancellable(true);
    wait->show();
    window_.statusPanel(1)->setText(QStringLiteral("Extracting files..."));
    report.setTotal(int(jobs.size()) + int(report.failures().size()));
    wait->ProgressBar1->setRange(0, int(jobs.size()));
    wait->ProgressBar1->setValue(0);
    QCoreApplication::processEvents();
    std::error_code ec;
    for (const fs::path& folder : folders) {
        fs::create_directories(folder, ec);
    }
    for (const Job& job : jobs) {
        if (wait->cancelRequested()) {
            report.setCancelled();
            break;
        }
        if (window_.closeRequested_) {
            break;
        }
        wait->Status->setText(QString::fromStdString(job.member));
        fs::create_directories(job.target.parent_path(), ec);
        if (hpi::ExtractFile(window_.archiveHandle(), job.member, job.target.string())) {
            report.addWritten(qint64(fs::file_size(job.target, ec)));
        } else {
            report.addFailure(QString::fromStdString(job.member),
                              QString::fromStdString(hpi::LastError()));
        }
        wait->ProgressBar1->setValue(wait->ProgressBar1->value() + 1);
        QCoreApplication::processEvents();
    }
    wait.reset();
    window_.statusPanel(1)->setText(QStringLiteral("Ready"));
    report.showIn(window_.Status);
    if (!window_.closeRequested_) {
        ShowExtractionDone(&window_, *chosen, report);
    }
}

} // namespace crateward
