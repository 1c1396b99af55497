// UnitCheckWindow: what one unit needs and where each piece is. The tree
// Tree shows a line per dependency (kind, name, path, state with its colour
// and icon, providing source), the textures below their model, the pieces
// below their script, a corpse's feature chain below the corpse. The box
// chkProblemsOnly hides the lines that are found and hold no problem below
// them. A double-click (or "Open") opens the member in the main window
// through its usual preview; "Copy report" puts the check's text report on
// the clipboard. Owned by the main window; its placement is kept in the
// section "Unit check".
#pragma once

#include <QRect>
#include <QWidget>

#include "unit_check_view.hpp"

class QCheckBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace crateward {

class frmMain;

class UnitCheckWindow : public QWidget {
    Q_OBJECT
public:
    explicit UnitCheckWindow(frmMain* owner);

    // Shows the result of one check.
    void showCheck(UnitCheckView view);
    const UnitCheckView& check() const { return view_; }

    // The line an item of Tree shows (-1 when none).
    static int lineOf(const QTreeWidgetItem* item);
    // Opens the member of the line in the main window, as a double-click on
    // it in the main list would.
    void openLine(int line);
    void cmdCopyReport_Click();

    QLabel* lblSummary = nullptr;
    QTreeWidget* Tree = nullptr;
    QCheckBox* chkProblemsOnly = nullptr;
    QLabel* lblStatus = nullptr;
    QPushButton* cmdOpen = nullptr;
    QPushButton* cmdCopyReport = nullptr;
    QPushButton* cmdClose = nullptr;

    enum Column { ColKind, ColName, ColPath, ColState, ColSource };

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void fillTree();
    void applyProblemsOnly(bool only);
    void restorePlacement();
    void savePlacement();

    frmMain* main_;
    UnitCheckView view_;
    QRect loaded_; // twips as read
    bool saved_ = false;
};

} // namespace crateward
