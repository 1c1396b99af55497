#include "FrmProgress.hpp"

#include "common/owned_window.hpp"

#include <QApplication>
#include <QVBoxLayout>

#include <cmath>

namespace spriteglass {

FrmProgress::FrmProgress(QWidget* owner, int delayMs)
    : QWidget(owner, common::kOwnedWindowFlags), delayMs_(delayMs) {
    setObjectName(QStringLiteral("FrmProgress"));
    setWindowTitle(QStringLiteral("Spriteglass"));
    Status = new QLabel(this);
    Status->setObjectName(QStringLiteral("Status"));
    Progress = new QProgressBar(this);
    Progress->setObjectName(QStringLiteral("Progress"));
    Progress->setRange(0, 100);
    Progress->setValue(0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Status);
    layout->addWidget(Progress);
    resize(300, 70);
    clock_.start();
}

FrmProgress::~FrmProgress() {
    if (waitCursor_) {
        QApplication::restoreOverrideCursor();
    }
}

void FrmProgress::Update(int value, int max) {
    if (max != 0) {
        Progress->setValue(int(std::nearbyint(double(value) / max * 100.0)));
    }
    if (isHidden() && clock_.elapsed() >= delayMs_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        waitCursor_ = true;
        show();
    }
    if (isVisible()) {
        QCoreApplication::processEvents();
    }
}

} // namespace spriteglass
