// What one extraction did, told when it ends: a short message in the status
// bar (members written, bytes, time) for every extraction, and for the
// folder extractions a completion message whose button opens the
// destination folder in the file manager.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

class QStatusBar;
class QWidget;

namespace crateward {

class ExtractionReport {
public:
    ExtractionReport() { clock_.start(); }

    void setTotal(int members) { total_ = members; }
    void addWritten(qint64 bytes) {
        ++written_;
        bytes_ += bytes;
    }
    // A member that was not written, and why.
    void addFailure(const QString& member, const QString& reason);
    void setCancelled() { cancelled_ = true; }

    int written() const { return written_; }
    int total() const { return total_; }
    qint64 bytes() const { return bytes_; }
    bool cancelled() const { return cancelled_; }
    const QStringList& failures() const { return failures_; }

    // "3 files extracted (1.2 KB) in 0.4 s", with ", cancelled" or the
    // number of failures when there are any.
    QString statusText() const;
    // Shows statusText() in the status bar for a while.
    void showIn(QStatusBar* status) const;

private:
    QElapsedTimer clock_;
    int written_ = 0;
    int total_ = 0;
    qint64 bytes_ = 0;
    bool cancelled_ = false;
    QStringList failures_;
};

// The button of the completion message that opens the destination folder.
inline constexpr const char* kOpenFolderButton = "Open folder";

// The completion message of an extraction into `folder`: how many members
// were written (of how many, when cancelled), the members that were not
// written as detailed text, and the button kOpenFolderButton, which opens
// the folder through the Launcher. For every command that extracts
// several members into a folder.
void ShowExtractionDone(QWidget* owner, const QString& folder, const ExtractionReport& report);

} // namespace crateward
