// The four controls PackProgress writes on a window: the current file name
// AffFileName, the files-packed count AffTotalHpiArchive and the progress
// bars ProgressBarFile and ProgressBarHPIArchive. A caption or a maximum is
// written only when its value changes, so a call per packed block does not
// repaint unchanged controls.
#pragma once

#include <QString>

#include "pack_engine.hpp"

class QLabel;
class QProgressBar;

namespace crateward::packing {

class PackProgressDisplay {
public:
    PackProgressDisplay(QLabel* fileName, QLabel* total, QProgressBar* file, QProgressBar* archive);

    void show(const ProgressValues& values);
    // Binds this display to PackProgress for its life.
    class Binding {
    public:
        explicit Binding(PackProgressDisplay& display);
        ~Binding();
        Binding(const Binding&) = delete;
        Binding& operator=(const Binding&) = delete;
    };

    // Captions and maxima written so far.
    int writes() const { return writes_; }

private:
    QLabel* fileName_;
    QLabel* total_;
    QProgressBar* file_;
    QProgressBar* archive_;
    int writes_ = 0;
};

// "3 file(s) packed of 10".
QString FilesPackedText(int done, int total);

} // namespace crateward::packing
