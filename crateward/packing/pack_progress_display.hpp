// The four controls PackProgress writes on a window: the current file name
// AffFileName, the files-packed count AffTotalHpiArchive and the progress
// bars ProgressBarFile and ProgressBarHPIArchive. A caption or a maximum is
// written only when its value changes, so a call per packed block does not
// repaint unchanged controls.
#pragma once

#include <QElapsedTimer>
#include <QString>

#include "pack_engine.hpp"

class QLabel;
class QProgressBar;

namespace crateward::packing {

class PackProgressDisplay {
public:
    PackProgressDisplay(QLabel* fileName, QLabel* total, QProgressBar* file, QProgressBar* archive);

    void show(const ProgressValues& values);
    // Writes the last values reported, if not yet shown.
    void flush();
    // 40 ms unless set; 0 shows every report.
    void setMinimumInterval(int milliseconds) { interval_ = milliseconds; }
    // Binds this display to PackProgress for its life.
    class Binding {
    public:
        explicit Binding(PackProgressDisplay& display);
        ~Binding();
        Binding(const Binding&) = delete;
        Binding& operator=(const Binding&) = delete;

    private:
        PackProgressDisplay& display_;
    };

    // Captions and maxima written so far.
    int writes() const { return writes_; }

private:
    void apply(const ProgressValues& values);

    QLabel* fileName_;
    QLabel* total_;
    QProgressBar* file_;
    QProgressBar* archive_;
    int writes_ = 0;
    int interval_ = 40;
    QElapsedTimer shown_;
    ProgressValues pending_;
    bool hasPending_ = false;
};

// "3 file(s) packed of 10".
QString FilesPackedText(int done, int total);

} // namespace crateward::packing
