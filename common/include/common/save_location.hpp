// Where the programs' save dialogs open: the folder the user last saved
// into, else the folder of the file the program has open, else the user's
// home folder. Each program keeps the last folder where it likes (Crateward
// in its settings, Spriteglass for the run).
#pragma once

#include <QString>

namespace common {

// The proposed file `name` inside the folder a save dialog opens in:
// `lastFolder` when it is an existing folder, else the folder of `openFile`
// when that exists, else the home folder. An empty `name` gives the folder.
QString SaveDialogStart(const QString& lastFolder, const QString& openFile, const QString& name);
// The folder to keep after the user chose `chosen` in a save dialog: the
// absolute folder holding it (empty for an empty choice).
QString SaveFolderOf(const QString& chosen);

} // namespace common
