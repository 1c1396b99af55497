#include "up_down_control.hpp"

#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace crateward {

UpDownControl::UpDownControl(int minimum, int maximum, int step, QWidget* parent)
    : QWidget(parent), minimum_(minimum), maximum_(maximum), step_(step), value_(minimum) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (const bool up : {true, false}) {
        auto* button = new QToolButton(this);
        button->setObjectName(up ? QStringLiteral("up") : QStringLiteral("down"));
        button->setArrowType(up ? Qt::UpArrow : Qt::DownArrow);
        button->setAutoRepeat(true);
        button->setFixedSize(16, 10);
        layout->addWidget(button);
        connect(button, &QToolButton::clicked, this,
                up ? &UpDownControl::stepUp : &UpDownControl::stepDown);
    }
    setFixedSize(16, 20);
}

void UpDownControl::setValue(int value) {
    value = std::clamp(value, minimum_, maximum_);
    const bool changed = value != value_;
    value_ = value;
    const QString text = QString::number(value_);
    if (auto* label = qobject_cast<QLabel*>(buddy_)) {
        label->setText(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(buddy_)) {
        edit->setText(text);
    }
    if (changed) {
        emit valueChanged(value_);
    }
}

} // namespace crateward
