// Marks a long command of frmMain: the window's commands are disabled while
// it lets pending events run, and a close asked for meanwhile happens
// when it ends.
#pragma once

#include "frm_main.hpp"

namespace crateward {

class BusyScope {
public:
    explicit BusyScope(frmMain& window) : window_(window) { window_.setLongCommandRunning(true); }
    ~BusyScope() { window_.setLongCommandRunning(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    frmMain& window_;
};

} // namespace crateward
