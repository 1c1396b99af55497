// The four export commands of the main window: one frame or subframe through
// the save dialog, and the bulk exports of the animation or the whole file
// into a directory chosen with FrmDirectory.
#pragma once

namespace spriteglass {

class frmGafViewer;

class ExportCommands {
public:
    explicit ExportCommands(frmGafViewer& viewer) : viewer_(viewer) {}

    // "Export &Frame" (subframe false) and "Export &Subframe".
    void ExportFrame(bool subframe);
    // "Export All images...".
    void ExportAll();
    // "Export sequence".
    void ExportSequence();

private:
    frmGafViewer& viewer_;
};

} // namespace spriteglass
