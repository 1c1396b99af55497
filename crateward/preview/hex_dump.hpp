// The hex dump command (mnuHexDump, and the pop-up entry popupHexDump that
// runs it): the first 30,000 bytes of the selected entry's working copy in
// frmFicDump. The main title gets " - Hex dump" once, however many dumps
// are made.
#pragma once

#include <QObject>
#include <QPointer>

#include "frm_fic_dump.hpp"

namespace crateward {

class frmMain;
class PreviewDispatch;

class HexDump : public QObject {
    Q_OBJECT
public:
    static inline const QString kTitleSuffix = QStringLiteral(" - Hex dump");

    HexDump(frmMain& window, PreviewDispatch& dispatch);

    void mnuHexDump_Click();
    // Dumps the file at `copy` into the window (steps 3 to 7).
    void dumpFile(const QString& copy);
    void unload();
    frmFicDump* window() const { return dump_; }

private:
    void failure(const char* what, int number);

    frmMain& window_;
    PreviewDispatch& dispatch_;
    QPointer<frmFicDump> dump_;
};

} // namespace crateward
