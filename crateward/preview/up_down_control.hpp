// An up-down control: two small arrow buttons that step a number between a
// minimum and a maximum and show it in a buddy (a label or a text box).
#pragma once

#include <QWidget>

#include <algorithm>

class QToolButton;

namespace crateward {

class UpDownControl : public QWidget {
    Q_OBJECT
public:
    UpDownControl(int minimum, int maximum, int step, QWidget* parent = nullptr);

    int value() const { return value_; }
    void setValue(int value);
    // Takes the number the buddy already shows, without a signal.
    void setValueQuietly(int value) { value_ = std::clamp(value, minimum_, maximum_); }
    // The control whose text holds the number (QLabel or QLineEdit).
    void setBuddy(QWidget* buddy) { buddy_ = buddy; }
    void stepUp() { setValue(value_ + step_); }
    void stepDown() { setValue(value_ - step_); }

signals:
    void valueChanged(int value);

private:
    int minimum_;
    int maximum_;
    int step_;
    int value_;
    QWidget* buddy_ = nullptr;
};

} // namespace crateward
