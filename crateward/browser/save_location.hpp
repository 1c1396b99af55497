// Where save dialogs open (the shared rule of common/save_location.hpp): the
// folder the user last saved into (kept in the settings, so it holds from one
// run to the next), else the open archive's folder, else the home folder.
#pragma once

#include <QString>

namespace crateward {

class frmMain;

// The proposed file `name` inside the folder a save dialog opens in.
QString SaveDialogStart(const frmMain& window, const QString& name);
// Keeps the folder of `chosen`, the file the user just chose to save.
void RememberSaveFolder(const frmMain& window, const QString& chosen);

} // namespace crateward
