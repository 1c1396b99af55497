#include "frm_wait.hpp"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace crateward {

frmWait::frmWait(QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::Dialog), ProgressBar1(new QProgressBar(this)),
      Status(new QLabel(this)) {
    setObjectName(QStringLiteral("frmWait"));
    setWindowTitle(QStringLiteral("In progress..."));
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 0);
    ProgressBar1->setValue(0);
    Status->setObjectName(QStringLiteral("Status"));
    Status->setMinimumWidth(320);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ProgressBar1);
    layout->addWidget(Status);
}

} // namespace crateward
