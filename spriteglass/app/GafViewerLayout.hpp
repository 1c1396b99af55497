// The main window's resize rules, in twips: the list left of the splitter,
// the right-hand pane beside it, and inside that pane the display area, the
// command pane, the sliders and the display box.
#pragma once

namespace spriteglass {

class frmGafViewer;

class GafViewerLayout {
public:
    explicit GafViewerLayout(frmGafViewer& viewer) : viewer_(viewer) {}
    void Resize();

    // Width of the command pane.
    static constexpr int CommandPaneWidth = 2700;

private:
    frmGafViewer& viewer_;
};

} // namespace spriteglass
