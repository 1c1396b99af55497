#include "archive_test.hpp"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QStatusBar>
#include <QThread>

#include <future>

#include "archive_test_result.hpp"
#include "busy_scope.hpp"
#include "failure_message.hpp"
#include "frm_main.hpp"
#include "frm_wait.hpp"
#include "hpiutil/archive.hpp"

namespace crateward {

ArchiveTest* ArchiveTest::Install(frmMain& window) {
    return new ArchiveTest(window);
}

ArchiveTest::ArchiveTest(frmMain& window) : QObject(&window), window_(window) {
    auto* menu = window.findChild<QMenu*>(QStringLiteral("mnuHPIArchive"));
    menu->addSeparator();
    auto* action = new QAction(QStringLiteral("&Test archive"), &window);
    action->setObjectName(QStringLiteral("mnuTestArchive"));
    menu->addAction(action);
    connect(action, &QAction::triggered, this, &ArchiveTest::mnuTestArchive_Click);
}

void ArchiveTest::mnuTestArchive_Click() {
    if (window_.archiveHandle() == 0) {
        return;
    }
    const QString path = window_.archivePath();
    auto opened = hpiutil::Archive::open(QFile::encodeName(path).toStdString());
    if (!opened) {
        ShowFailure(&window_, QStringLiteral("The archive cannot be tested."), QString(),
                    QString::fromStdString(opened.error().message()));
        return;
    }
    BusyScope busy(window_);
    QPointer<frmWait> wait = new frmWait(&window_);
    wait->setAttribute(Qt::WA_DeleteOnClose);
    wait->Status->setText(QStringLiteral("Testing %1...").arg(path));
    wait->show();
    window_.statusPanel(1)->setText(QStringLiteral("Testing archive..."));
    // Every chunk is read and checked on the library's threads; the window
    // keeps answering meanwhile.
    const hpiutil::Archive& archive = *opened;
    auto running = std::async(std::launch::async, [&archive] { return archive.verify(); });
    while (running.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    const hpiutil::VerifyReport report = running.get();
    delete wait.data();
    window_.statusPanel(1)->setText(QStringLiteral("Ready"));
    window_.Status->showMessage(
        report.clean() ? QStringLiteral("Archive tested: clean")
                       : QStringLiteral("Archive tested: %1 problems").arg(report.problems.size()),
        15000);
    if (result_) {
        result_->close();
    }
    result_ = new ArchiveTestResult(&window_, path, report);
    result_->show();
    result_->raise();
}

} // namespace crateward
