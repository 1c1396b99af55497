// The pictures of the tree and list image lists, by index: 1 folder (and
// names without "."), 2 any file, 3 TNT map, 4 WAV sound, 7 3DO model,
// 8 GAF sprite, 9 the archive at the root of the tree. Drawn once, so the
// program ships no picture files.
#pragma once

#include <QIcon>
#include <QString>

namespace crateward {

QIcon ImageListIcon(int index);

// The list icon index of an entry name: no "." 1, TNT 3, WAV 4, 3DO 7,
// GAF 8, any other extension 2 (compared upper-cased).
int ListIconIndex(const QString& name);

// The pictures of the ToolbarView buttons: large icons, small icons, list
// and details (modes 0 to 3).
QIcon ViewModeIcon(int mode);

// The picture of a Toolbar button by its key ("Open", "Save", "TA",
// "UnitView", "3DO Builder", "GAF Builder", "MAP", "Répertoire"); none for
// another key.
QIcon ToolbarIcon(const QString& key);

} // namespace crateward
