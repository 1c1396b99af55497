// "HPI Archive > Test archive" (mnuTestArchive): runs the archive library's
// verify over the open archive, the check `hpi verify` makes, while the
// progress window shows, and then shows the result in an
// ArchiveTestResult window: clean, or the list of problems.
#pragma once

#include <QObject>
#include <QPointer>

#include "archive_test_result.hpp"

class QAction;

namespace crateward {

class frmMain;

class ArchiveTest : public QObject {
    Q_OBJECT
public:
    // Adds the menu entry to the window's "HPI Archive" menu.
    static ArchiveTest* Install(frmMain& window);

    void mnuTestArchive_Click();
    // The result window now shown (none before the first test).
    ArchiveTestResult* result() const { return result_; }

private:
    explicit ArchiveTest(frmMain& window);

    frmMain& window_;
    QPointer<ArchiveTestResult> result_;
};

} // namespace crateward
