// The unit check's commands in the main window's "Units" menu: "Check unit"
// (on the .fbi selected in the list) and the option "Gather everything the
// unit check finds" of the unit repack, kept in the settings.
#pragma once

#include <QString>
#include <QStringList>

class QMenu;

namespace crateward {

class frmMain;

// Adds both entries to `units`, below the entries already there.
void AddUnitCheckCommands(frmMain& main, QMenu* units);

// "Units > Check unit": checks the unit whose definition is selected in the
// list against the open archive, then the detected game folder, and shows
// the result in a new UnitCheckWindow.
void mnuCheckUnit_Click(frmMain& main);

// The unit repack's option is on.
bool GatherEverythingTheUnitCheckFinds(const frmMain& main);

// The member paths of everything the check of the unit defined by
// `definition` finds in the open archive. `error` gets the reason when no
// check could be made.
QStringList UnitCheckMembersInOpenArchive(const frmMain& main, const QString& definition,
                                          QString* error = nullptr);

// The game folder the check reads after the open archive (empty: none).
QString UnitCheckGameFolder();

} // namespace crateward
