#include "hex_dump.hpp"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QListWidget>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "common/dialogs.hpp"
#include "file_view_control.hpp"
#include "file_view_model.hpp"
#include "frm_main.hpp"
#include "hex_dump_lines.hpp"
#include "preview_dispatch.hpp"

namespace crateward {

namespace {

struct CloseFile {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// The hourglass pointer for the life of the object.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

HexDump::HexDump(frmMain& window, PreviewDispatch& dispatch)
    : QObject(&dispatch), window_(window), dispatch_(dispatch) {
    for (const char* name : {"mnuHexDump", "popupHexDump"}) {
        if (QAction* a = window_.findChild<QAction*>(QLatin1String(name))) {
            a->setVisible(true);
            connect(a, &QAction::triggered, this, &HexDump::mnuHexDump_Click);
        }
    }
}

void HexDump::mnuHexDump_Click() {
    const int row = window_.FileView->selectedRow();
    if (window_.archiveHandle() == 0 || row < 0 ||
        window_.FileView->model()->entry(row).type == QLatin1String("Directory")) {
        return;
    }
    // 1. and 2.
    window_.statusPanel(1)->setText(QStringLiteral("Calculating hex dump..."));
    const QString member = window_.memberPath(row);
    const auto copy = dispatch_.copyOf(member, CopyMode::OnDemand);
    dumpFile(copy.value_or(QString()));
}

void HexDump::failure(const char* what, int number) {
    const QString text = QLatin1String(what) + QLatin1Char('\r') + QString::number(number) +
                         QStringLiteral(" - ") + QString::fromLocal8Bit(std::strerror(number));
    common::Dialogs::current().message(&window_, text, QLatin1String(frmMain::kTitle),
                                       common::MessageIcon::None, common::MessageButtons::Ok);
}

void HexDump::dumpFile(const QString& copy) {
    // 3.
    if (!dump_) {
        dump_ = new frmFicDump(window_.settings(), &window_);
    }
    dump_->setWindowTitle(copy);
    // 4.
    errno = 0;
    std::unique_ptr<std::FILE, CloseFile> file(
        copy.isEmpty() ? nullptr : std::fopen(QFile::encodeName(copy).constData(), "rb"));
    if (!file) {
        failure("Can't open file !", errno ? errno : ENOENT);
        window_.statusPanel(1)->setText(QStringLiteral("Ready"));
        return;
    }
    if (!window_.windowTitle().endsWith(kTitleSuffix)) {
        window_.setWindowTitle(window_.windowTitle() + kTitleSuffix);
    }
    // 5. and 6.
    dump_->Liste->clear();
    {
        WaitCursor hourglass;
        std::vector<std::uint8_t> bytes(kHexDumpLimit);
        const std::size_t length = std::fread(bytes.data(), 1, bytes.size(), file.get());
        const bool failed = std::ferror(file.get()) != 0;
        const int number = errno;
        bytes.resize(length);
        dump_->Liste->addItems(HexDumpLines(bytes));
        if (failed) {
            failure("File read error !", number ? number : EIO);
        }
    }
    // 7.
    file.reset();
    dump_->show();
    dump_->raise();
    window_.statusPanel(1)->setText(QStringLiteral("Ready"));
}

void HexDump::unload() {
    if (dump_) {
        dump_->close();
    }
}

} // namespace crateward
