#include "archive_test_result.hpp"

#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "owned_window.hpp"

namespace crateward {

ArchiveTestResult::ArchiveTestResult(QWidget* owner, const QString& archive,
                                     const hpiutil::VerifyReport& report)
    : QWidget(owner, kOwnedWindowFlags), LbSummary(new QLabel(this)),
      ListProblems(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("ArchiveTestResult"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Test archive - ") + QDir::toNativeSeparators(archive));
    LbSummary->setObjectName(QStringLiteral("LbSummary"));
    LbSummary->setWordWrap(true);
    ListProblems->setObjectName(QStringLiteral("ListProblems"));
    ListProblems->setRootIsDecorated(false);
    ListProblems->setHeaderLabels({QStringLiteral("Severity"), QStringLiteral("Member"),
                                   QStringLiteral("Offset"), QStringLiteral("Problem")});

    const std::size_t errors = report.errorCount();
    const std::size_t warnings = report.problems.size() - errors;
    const QString checked =
        QStringLiteral("%1 files, %2 chunks, %3 checked")
            .arg(report.filesChecked)
            .arg(report.chunksChecked)
            .arg(QLocale::system().formattedDataSize(qint64(report.bytesChecked)));
    if (report.clean()) {
        LbSummary->setText(
            QStringLiteral("The archive is clean: %1; no problem found.").arg(checked));
    } else {
        LbSummary->setText(
            QStringLiteral("%1; %2 errors, %3 warnings.").arg(checked).arg(errors).arg(warnings));
    }
    for (const hpiutil::Problem& p : report.problems) {
        const bool error = p.severity == hpiutil::Problem::Severity::Error;
        auto* item = new QTreeWidgetItem(ListProblems);
        item->setText(0, error ? QStringLiteral("error") : QStringLiteral("warning"));
        item->setText(1, p.member.empty() ? QStringLiteral("(archive)")
                                          : QString::fromStdString(p.member));
        item->setText(2, p.offset < 0 ? QString() : QStringLiteral("0x%1").arg(p.offset, 0, 16));
        item->setText(3, QString::fromStdString(p.what));
        item->setToolTip(3, item->text(3));
    }
    ListProblems->setVisible(!report.problems.empty());
    ListProblems->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ListProblems->header()->setStretchLastSection(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LbSummary);
    layout->addWidget(ListProblems, 1);
    layout->addWidget(buttons);
    resize(report.problems.empty() ? QSize(460, 120) : QSize(720, 360));
}

} // namespace crateward
