// The archive writing commands of the main window: repack with another
// compression method (RePack and its window frmWaitRePack), modify and save
// a modification, pack a directory, batch repack and unit repack. Install
// shows their menu entries, wires them and keeps their states.
//
// Menu states while an archive is open: browsing (repack, extract and
// modify enabled, "Save modified HPI" and the toolbar "Save" disabled) and
// modifying (the reverse). frmMain::Fermer returns to browsing.
#pragma once

#include <QObject>

namespace crateward {
class frmMain;
}

namespace crateward::packing {

class ArchiveWriting : public QObject {
    Q_OBJECT
public:
    // Creates the commands' owner as a child of `window` and wires them.
    static ArchiveWriting* Install(frmMain& window);

    void mnuModifierHPI_Click();
    // Saves the modification with compression method `method`.
    void saveModification(int method);
    // The repack menu entries: status texts around RePack.
    void repackMenu(int method);
    // True when the archive was rewritten.
    bool RePack(int method);
    bool modifying() const;

private:
    explicit ArchiveWriting(frmMain& window);
    void setModifying(bool modifying);

    frmMain& window_;
};

} // namespace crateward::packing
