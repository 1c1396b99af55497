// The loading progress window shown while a GAF file is read.
#pragma once

#include <QLabel>
#include <QProgressBar>
#include <QWidget>

namespace spriteglass {

class FrmProgress : public QWidget {
public:
    explicit FrmProgress(QWidget* owner);
    // Sets the bar to value / max x 100, rounded to the nearest whole number
    // (halves to even), and lets pending window events run. With max 0 the
    // bar is left as it is.
    void Update(int value, int max);

    QLabel* Status;
    QProgressBar* Progress;
};

} // namespace spriteglass
