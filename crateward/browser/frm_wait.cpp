#include "frm_wait.hpp"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace crateward {

frmWait::frmWait(QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::Dialog), ProgressBar1(new QProgressBar(this)),
      Status(new QLabel(this)), cmdCancel(new QPushButton(QStringLiteral("Cancel"), this)) {
    setObjectName(QStringLiteral("frmWait"));
    setWindowTitle(QStringLiteral("In progress..."));
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 0);
    ProgressBar1->setValue(0);
    Status->setObjectName(QStringLiteral("Status"));
    Status->setMinimumWidth(320);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->hide();
    connect(cmdCancel, &QPushButton::clicked, this, &frmWait::requestCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ProgressBar1);
    layout->addWidget(Status);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);
}

void frmWait::setCancellable(bool cancellable) {
    cmdCancel->setVisible(cancellable);
}

void frmWait::requestCancel() {
    cancelRequested_ = true;
    cmdCancel->setEnabled(false);
}

void frmWait::closeEvent(QCloseEvent* event) {
    // The work goes on until its next step, which ends it; an extraction
    // that cannot be cancelled keeps its window.
    if (!cmdCancel->isHidden()) {
        requestCancel();
    }
    event->ignore();
}

} // namespace crateward
