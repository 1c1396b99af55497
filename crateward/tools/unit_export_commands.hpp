// The unit-viewer commands of the Units menu: "Export to Unit &Viewer"
// (mnuExport), "&View 3DO model" (mnuUnitVew3DO) and "&Custom export to
// UnitVewer..." (mnuUnitCustomExport), on the entry selected in the list.
#pragma once

#include <QObject>
#include <QString>

namespace crateward {

class frmMain;

class UnitExportCommands : public QObject {
    Q_OBJECT
public:
    explicit UnitExportCommands(frmMain& window);

    void mnuExport_Click();
    void mnuUnitVew3DO_Click();
    void mnuUnitCustomExport_Click();
    // Asks for the unit viewer when its path is empty or gone, then writes
    // both sides' archives beside it and starts it.
    void ExportToUnitViewer();

private:
    QString selectedName() const;

    frmMain& window_;
};

} // namespace crateward
