#include "frm_wait_repack.hpp"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>

#include "owned_window.hpp"
#include "pack_progress_display.hpp"

namespace crateward::packing {

frmWaitRePack::frmWaitRePack(QWidget* owner) : QWidget(owner, kOwnedWindowFlags) {
    setObjectName(QStringLiteral("frmWaitRePack"));
    setWindowTitle(QStringLiteral("Repack an HPI archive..."));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* grid = new QGridLayout(this);
    const char* steps[] = {"Search for files...", "Unpacking HPI archive into temporary path...",
                           "Add files into New HPI archive...",
                           "Repack archive with new Method..."};
    const QPixmap mark = style()->standardIcon(QStyle::SP_DialogApplyButton).pixmap(16, 16);
    for (int i = 0; i < 4; ++i) {
        auto* box = new QLabel(this);
        box->setObjectName(QStringLiteral("check(%1)").arg(i));
        box->setPixmap(mark);
        box->setFixedWidth(20);
        box->setVisible(false);
        check[std::size_t(i)] = box;
        auto* label = new QLabel(QString::fromUtf8(steps[i]), this);
        label->setObjectName(QStringLiteral("LbInf(%1)").arg(i));
        LbInf[std::size_t(i)] = label;
        grid->addWidget(box, i, 0);
        grid->addWidget(label, i, 1);
    }
    UnpackProgress = new QProgressBar(this);
    UnpackProgress->setObjectName(QStringLiteral("UnpackProgress"));
    UnpackProgress->setValue(0);
    grid->addWidget(UnpackProgress, 4, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("File in progress..."), this), 5, 0, 1, 2);
    AffFileName = new QLabel(this);
    AffFileName->setObjectName(QStringLiteral("AffFileName"));
    grid->addWidget(AffFileName, 6, 0, 1, 2);
    ProgressBarFile = new QProgressBar(this);
    ProgressBarFile->setObjectName(QStringLiteral("ProgressBarFile"));
    grid->addWidget(ProgressBarFile, 7, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("HPI archive in progress..."), this), 8, 0, 1, 2);
    AffTotalHpiArchive = new QLabel(this);
    AffTotalHpiArchive->setObjectName(QStringLiteral("AffTotalHpiArchive"));
    grid->addWidget(AffTotalHpiArchive, 9, 0, 1, 2);
    ProgressBarHPIArchive = new QProgressBar(this);
    ProgressBarHPIArchive->setObjectName(QStringLiteral("ProgressBarHPIArchive"));
    grid->addWidget(ProgressBarHPIArchive, 10, 0, 1, 2);
    for (QProgressBar* bar : {ProgressBarFile, ProgressBarHPIArchive}) {
        bar->setValue(0);
    }
    Close = new QPushButton(QStringLiteral("Close"), this);
    Close->setObjectName(QStringLiteral("Close"));
    Close->setEnabled(false);
    grid->addWidget(Close, 11, 1, Qt::AlignRight);
    connect(Close, &QPushButton::clicked, this, &QWidget::close);
    progress_ = std::make_unique<PackProgressDisplay>(AffFileName, AffTotalHpiArchive,
                                                      ProgressBarFile, ProgressBarHPIArchive);
    resize(460, 330);
}

frmWaitRePack::~frmWaitRePack() = default;

void frmWaitRePack::startStep(int step) {
    LbInf[std::size_t(step)]->setStyleSheet(QStringLiteral("color: #ff0000;"));
    // Painted now: the step's work holds the event loop.
    LbInf[std::size_t(step)]->repaint();
}

void frmWaitRePack::endStep(int step) {
    check[std::size_t(step)]->setVisible(true);
    LbInf[std::size_t(step)]->setStyleSheet(QString());
    LbInf[std::size_t(step)]->repaint();
    check[std::size_t(step)]->repaint();
}

} // namespace crateward::packing
