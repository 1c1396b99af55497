// The commands that work on the loaded file beyond viewing it: the shown
// frame written as a PNG (index 9 transparent), a picture loaded into the
// shown frame, and the file saved through the GAF writer.
#pragma once

#include <QString>

namespace spriteglass {

class classGAFFrame;
class frmGafViewer;

class EditCommands {
public:
    explicit EditCommands(frmGafViewer& viewer) : viewer_(viewer) {}

    // "Export as PNG...": the frame or subframe shown.
    void ExportPng();
    // "Replace frame...": a BMP or PNG picture into the frame or subframe
    // shown; a picture of another size gives the frame that size, its
    // hotspot kept. RGB pictures are mapped to the palette when the user agrees.
    // On a frame made of subframes the window shows one subframe (the
    // subframe slider's): that one is replaced, the frame's own size and
    // hotspot and its other subframes stay.
    void ReplaceFrame();
    // "Save as GAF...".
    void SaveAsGaf();

private:
    classGAFFrame* shownFrame();
    frmGafViewer& viewer_;
};

} // namespace spriteglass
