#include "FrmProgress.hpp"

#include <QCoreApplication>
#include <QVBoxLayout>

#include <cmath>

namespace spriteglass {

FrmProgress::FrmProgress(QWidget* owner) : QWidget(owner, Qt::Window) {
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
}

void FrmProgress::Update(int value, int max) {
    if (max != 0) {
        Progress->setValue(int(std::nearbyint(double(value) / max * 100.0)));
    }
    QCoreApplication::processEvents();
}

} // namespace spriteglass
