#include "extraction_report.hpp"

#include <QDir>
#include <QLocale>
#include <QStatusBar>

#include "common/dialogs.hpp"
#include "launcher.hpp"

namespace crateward {

namespace {

constexpr int kStatusMessageMs = 15000;

QString files(int count) {
    return count == 1 ? QStringLiteral("1 file") : QStringLiteral("%1 files").arg(count);
}

} // namespace

void ExtractionReport::addFailure(const QString& member, const QString& reason) {
    failures_ << (reason.isEmpty() ? member : member + QStringLiteral(": ") + reason);
}

QString ExtractionReport::statusText() const {
    const double seconds = double(clock_.elapsed()) / 1000.0;
    QString text = QStringLiteral("%1 extracted (%2) in %3 s")
                       .arg(files(written_), QLocale::system().formattedDataSize(bytes_))
                       .arg(seconds, 0, 'f', 1);
    if (cancelled_) {
        text += QStringLiteral(", cancelled");
    }
    if (!failures_.isEmpty()) {
        text += QStringLiteral(", %1 not written").arg(failures_.size());
    }
    return text;
}

void ExtractionReport::showIn(QStatusBar* status) const {
    status->showMessage(statusText(), kStatusMessageMs);
}

void ShowExtractionDone(QWidget* owner, const QString& folder, const ExtractionReport& report) {
    const QString shown = QDir::toNativeSeparators(folder);
    QString text;
    if (report.cancelled()) {
        text = QStringLiteral("Extraction cancelled: %1 of %2 written into %3. The files written "
                              "are whole; the others were not extracted.")
                   .arg(report.written())
                   .arg(files(report.total()), shown);
    } else {
        text = QStringLiteral("%1 extracted into %2.").arg(files(report.written()), shown);
    }
    if (!report.failures().isEmpty()) {
        text += QStringLiteral(" %1 could not be written (see the details).")
                    .arg(files(int(report.failures().size())));
    }
    const auto answer = common::Dialogs::current().detailedMessage(
        owner, text, QString(),
        report.failures().isEmpty() ? common::MessageIcon::Information
                                    : common::MessageIcon::Warning,
        common::MessageButtons::Ok,
        {report.failures().join(QLatin1Char('\n')), QLatin1String(kOpenFolderButton)});
    if (answer == common::MessageAnswer::Action) {
        Launcher::current().open(folder, QString(), QString());
    }
}

} // namespace crateward
