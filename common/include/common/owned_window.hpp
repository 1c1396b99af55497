// The flags of a secondary window owned by a program's main window (text,
// hex dump, enlarged picture, animation preview, progress). Qt on X11 tells
// the window manager who owns a window (WM_TRANSIENT_FOR), which keeps it in
// front of its owner, only for dialog-type windows; these are dialog-type
// windows with the title bar buttons of a normal one. Created as a child of
// the main window with these flags, a window stays in front of it and closes
// with it.
#pragma once

#include <Qt>

namespace common {

inline constexpr Qt::WindowFlags kOwnedWindowFlags =
    Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
    Qt::WindowCloseButtonHint;

} // namespace common
