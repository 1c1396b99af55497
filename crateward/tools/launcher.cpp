#include "launcher.hpp"

#include <QApplication>
#include <QStandardPaths>

#include "common/dialogs.hpp"
#include "desktop_launcher.hpp"
#include "program_locations.hpp"

namespace crateward {

namespace {

std::unique_ptr<Launcher>& installed() {
    static std::unique_ptr<Launcher> launcher;
    return launcher;
}

} // namespace

Launcher& Launcher::current() {
    if (!installed()) {
        installed() = std::make_unique<DesktopLauncher>();
    }
    return *installed();
}

std::unique_ptr<Launcher> Launcher::install(std::unique_ptr<Launcher> launcher) {
    std::swap(installed(), launcher);
    return launcher;
}

ScopedRecordingLauncher::ScopedRecordingLauncher() {
    auto recorder = std::make_unique<RecordingLauncher>();
    recorder_ = recorder.get();
    previous_ = Launcher::install(std::move(recorder));
}

ScopedRecordingLauncher::~ScopedRecordingLauncher() {
    Launcher::install(std::move(previous_));
}

void LaunchProgram(const QString& program, const QString& arguments) {
    Launcher& launcher = Launcher::current();
    if (!launcher.wineNoticeShown &&
        DesktopLauncher::kindOf(program) == DesktopLauncher::Kind::Windows &&
        QStandardPaths::findExecutable(QStringLiteral("wine")).isEmpty()) {
        launcher.wineNoticeShown = true;
        common::Dialogs::current().message(
            QApplication::activeWindow(),
            QStringLiteral("%1 is a Windows program: wine is needed to start it, and wine is not "
                           "installed. Install wine (the Debian package \"wine\") and try again.")
                .arg(program),
            QString(), common::MessageIcon::Information, common::MessageButtons::Ok);
    }
    launcher.open(program, arguments, QString::fromStdString(FolderOf(program.toStdString())));
}

} // namespace crateward
