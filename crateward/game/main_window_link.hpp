// What the game window asks of the main window: open an archive and select
// one of its members, and the File menu's "Open game folder..." command.
#pragma once

#include <QString>

namespace crateward {

class frmMain;

// Opens `archive` in the main window (unless it is open already), shows the
// folder of `member` ('\'-separated, matched without regard to case) and
// selects it in the list. False when the archive did not open or holds no
// such member.
bool SelectMemberInMainWindow(frmMain& main, const QString& archive, const QString& member);

// "File > Open game folder...": asks for the folder (starting at the
// detected game folder) and opens a game window on it.
void mnuOpenGameFolder_Click(frmMain& main);

} // namespace crateward
