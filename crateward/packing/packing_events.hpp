// For the life of a pack run from a window: the walker lets pending window
// events run, and each file the library refuses is reported with
// "Error adding file <path> !" over that window.
#pragma once

class QWidget;

namespace crateward::packing {

class PackEvents {
public:
    explicit PackEvents(QWidget* window);
    ~PackEvents();
    PackEvents(const PackEvents&) = delete;
    PackEvents& operator=(const PackEvents&) = delete;
};

// Lets pending window events run once.
void PumpWindowEvents();

} // namespace crateward::packing
