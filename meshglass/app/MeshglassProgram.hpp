// The start-up of Meshglass: the presentation window alone without a
// command line (its "OK" ends the program), else the main window with the
// model the whole command line names.
#pragma once

#include "Frm3do.hpp"
#include "frmPres.hpp"

#include <QString>

#include <memory>

namespace meshglass {

class MeshglassProgram {
public:
    explicit MeshglassProgram(ViewRenderer& renderer);
    ~MeshglassProgram();

    void Start(const QString& commandLine);

    std::unique_ptr<frmPres> presentation;
    std::unique_ptr<Frm3do> main; // made only when a command line is given
    // Set when the program has ended (OK of the start-up form, or exit).
    bool ended = false;

private:
    ViewRenderer& renderer_;
};

} // namespace meshglass
