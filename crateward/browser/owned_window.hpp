// The flags of a secondary window owned by the main window (text, hex dump,
// enlarged picture, repack progress). Qt on X11 tells the window manager
// who owns a window (WM_TRANSIENT_FOR), which keeps it in front of its
// owner, only for dialog-type windows; these are dialog-type windows with
// the title bar buttons of a normal one.
#pragma once

#include <Qt>

namespace crateward {

inline constexpr Qt::WindowFlags kOwnedWindowFlags =
    Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
    Qt::WindowCloseButtonHint;

} // namespace crateward
