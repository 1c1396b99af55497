// MultiExtraction: "Extract" with several list entries selected. The folder
// is asked for once (the directory chooser) and every entry is written
// there under its own name, not its archive path: a file as that file, a
// folder as a folder holding everything below it. The progress window
// shows each member and can be cancelled; the end is told in the status bar
// and in the completion message. Nothing is written outside the chosen
// folder, and two chosen entries of one name (found in different folders)
// never overwrite each other: the second is not written and is reported.
#pragma once

#include <QList>

namespace crateward {

class frmMain;

class MultiExtraction {
public:
    explicit MultiExtraction(frmMain& window) : window_(window) {}

    // Extracts the list entries at `rows`.
    void run(const QList<int>& rows);

private:
    frmMain& window_;
};

} // namespace crateward
