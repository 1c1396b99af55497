#include "pack_progress_display.hpp"

#include <QCoreApplication>
#include <QLabel>

#include <QProgressBar>
#include <algorithm>

namespace crateward::packing {

QString FilesPackedText(int done, int total) {
    return QString::number(done) + QStringLiteral(" file(s) packed of ") + QString::number(total);
}

PackProgressDisplay::PackProgressDisplay(QLabel* fileName, QLabel* total, QProgressBar* file,
                                         QProgressBar* archive)
    : fileName_(fileName), total_(total), file_(file), archive_(archive) {}

void PackProgressDisplay::show(const ProgressValues& v) {
    const bool last = v.filesDone >= v.filesTotal && v.archiveDone >= v.archiveTotal;
    if (shown_.isValid() && !last && shown_.elapsed() < interval_) {
        pending_ = v;
        hasPending_ = true;
        return;
    }
    apply(v);
    shown_.start();
    // The new texts are painted now: the library is still packing.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void PackProgressDisplay::flush() {
    if (hasPending_) {
        apply(pending_);
    }
}

void PackProgressDisplay::apply(const ProgressValues& v) {
    hasPending_ = false;
    const QString name = QString::fromUtf8(v.fileName);
    if (fileName_->text() != name) {
        fileName_->setText(name);
        ++writes_;
    }
    // A bar keeps its value inside its range; a maximum below 0 is not one.
    const auto setBar = [this](QProgressBar* bar, int value, int maximum) {
        maximum = std::max(0, maximum);
        if (bar->maximum() != maximum) {
            bar->setRange(0, maximum);
            ++writes_;
        }
        bar->setValue(std::clamp(value, 0, maximum));
    };
    setBar(file_, v.fileDone, v.fileTotal);
    setBar(archive_, v.archiveDone, v.archiveTotal);
    const QString caption = FilesPackedText(v.filesDone, v.filesTotal);
    if (total_->text() != caption) {
        total_->setText(caption);
        ++writes_;
    }
}

PackProgressDisplay::Binding::Binding(PackProgressDisplay& display) : display_(display) {
    BindProgress([&display](const ProgressValues& v) { display.show(v); });
}

PackProgressDisplay::Binding::~Binding() {
    BindProgress({});
    display_.flush();
}

} // namespace crateward::packing
