// The window that shows what "Test archive" found: a summary line
// (LbSummary) and, when the archive is not clean, the list of problems
// (ListProblems: severity, member, offset, what), the same content as
// `hpi verify` prints. Owned by the main window.
#pragma once

#include <QWidget>

#include "hpiutil/archive.hpp"

class QLabel;
class QTreeWidget;

namespace crateward {

class ArchiveTestResult : public QWidget {
    Q_OBJECT
public:
    ArchiveTestResult(QWidget* owner, const QString& archive, const hpiutil::VerifyReport& report);

    QLabel* LbSummary;
    QTreeWidget* ListProblems;
};

} // namespace crateward
