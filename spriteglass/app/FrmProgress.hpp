// The loading progress window shown while a GAF file is read, owned by the
// viewer (common/owned_window.hpp) so it shows in front of it.
#pragma once

#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QWidget>

namespace spriteglass {

// A file that loads in a moment shows no progress window and no wait
// cursor: the window appears, with the wait cursor, only once loading has
// run for `delayMs` (the first Update after that shows it).
class FrmProgress : public QWidget {
public:
    static constexpr int kDefaultDelayMs = 250;

    explicit FrmProgress(QWidget* owner, int delayMs = kDefaultDelayMs);
    ~FrmProgress() override;
    // Sets the bar to value / max x 100, rounded to the nearest whole number
    // (halves to even). Once the window shows, lets pending window events
    // run. With max 0 the bar is left as it is.
    void Update(int value, int max);

    QLabel* Status;
    QProgressBar* Progress;

private:
    QElapsedTimer clock_;
    int delayMs_;
    bool waitCursor_ = false;
};

} // namespace spriteglass
