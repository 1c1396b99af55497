#include "frm_pack_path.hpp"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "busy_scope.hpp"
#include "common/dialogs.hpp"
#include "failure_message.hpp"
#include "frm_main.hpp"
#include "hpiutil/hpiutil.h"
#include "pack_engine.hpp"
#include "pack_progress_display.hpp"
#include "packing_events.hpp"
#include "save_location.hpp"

namespace crateward::packing {

namespace {

template <typename W> W* named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

} // namespace

frmPackPath::frmPackPath(frmMain* owner) : QDialog(owner), owner_(owner) {
    setObjectName(QStringLiteral("frmPackPath"));
    setWindowTitle(QStringLiteral("Create an archive from a directory..."));
    auto* grid = new QGridLayout(this);
    const char* captions[] = {
        "Directory to pack :", "Destination HPI file :",    "Compression method :", "", "",
        "File in progress...", "HPI archive in progress..."};
    for (int i = 0; i < 7; ++i) {
        Label1[std::size_t(i)] = named(new QLabel(QString::fromUtf8(captions[i]), this),
                                       QStringLiteral("Label1(%1)").arg(i));
    }
    for (int i = 0; i < 2; ++i) {
        DataInput[std::size_t(i)] =
            named(new QLineEdit(this), QStringLiteral("DataInput(%1)").arg(i));
        BoutonsParcourir[std::size_t(i)] = named(new QPushButton(QStringLiteral("Browse..."), this),
                                                 QStringLiteral("BoutonsParcourir(%1)").arg(i));
        grid->addWidget(Label1[std::size_t(i)], i, 0);
        grid->addWidget(DataInput[std::size_t(i)], i, 1);
        grid->addWidget(BoutonsParcourir[std::size_t(i)], i, 2);
        connect(BoutonsParcourir[std::size_t(i)], &QPushButton::clicked, this,
                [this, i] { BoutonsParcourir_Click(i); });
    }
    Method = named(new QComboBox(this), QStringLiteral("Method"));
    const char* methods[] = {"None", "LZ77 (HPI 1)", "ZLIB (HPI 2)"};
    for (int code = 0; code < 3; ++code) {
        Method->addItem(QString::fromUtf8(methods[code]), code);
    }
    Method->setCurrentIndex(2);
    grid->addWidget(Label1[2], 2, 0);
    grid->addWidget(Method, 2, 1);
    Label2 = named(new QPushButton(QStringLiteral("PACK"), this), QStringLiteral("Label2"));
    Label2->setFlat(true);
    QFont bold = Label2->font();
    bold.setBold(true);
    Label2->setFont(bold);
    // The hover highlight of the pack action.
    Label2->setStyleSheet(QStringLiteral("QPushButton#Label2:hover { color: #0000c0; }"));
    grid->addWidget(Label2, 2, 2);
    connect(Label2, &QPushButton::clicked, this, [this] { Label2_Click(); });

    AffTotalHpiArchive = named(new QLabel(this), QStringLiteral("AffTotalHpiArchive"));
    ProgressBarHPIArchive = named(new QProgressBar(this), QStringLiteral("ProgressBarHPIArchive"));
    AffFileName = named(new QLabel(this), QStringLiteral("AffFileName"));
    ProgressBarFile = named(new QProgressBar(this), QStringLiteral("ProgressBarFile"));
    for (QProgressBar* bar : {ProgressBarHPIArchive, ProgressBarFile}) {
        bar->setRange(0, 100);
        bar->setValue(0);
    }
    grid->addWidget(Label1[6], 3, 0);
    grid->addWidget(AffTotalHpiArchive, 3, 1, 1, 2);
    grid->addWidget(ProgressBarHPIArchive, 4, 0, 1, 3);
    grid->addWidget(Label1[5], 5, 0);
    grid->addWidget(AffFileName, 5, 1, 1, 2);
    grid->addWidget(ProgressBarFile, 6, 0, 1, 3);
    AffFinish = named(new QLabel(QStringLiteral("Operation succesfully completed"), this),
                      QStringLiteral("AffFinish"));
    BTexit = named(new QPushButton(QStringLiteral("Exit"), this), QStringLiteral("BTexit"));
    grid->addWidget(AffFinish, 7, 0, 1, 2);
    grid->addWidget(BTexit, 7, 2);
    LeftOut = named(new QLabel(this), QStringLiteral("LeftOut"));
    LeftOut->setWordWrap(true);
    grid->addWidget(LeftOut, 8, 0, 1, 3);
    LeftOut->hide();
    AffFinish->hide();
    BTexit->hide();
    Label1[3]->hide();
    Label1[4]->hide();
    connect(BTexit, &QPushButton::clicked, this, &frmPackPath::BTexit_Click);
    // The progress stays where it was when the inputs are hidden.
    for (QWidget* w : std::initializer_list<QWidget*>{DataInput[0], DataInput[1], Label1[0],
                                                      Label1[1], Label1[2], BoutonsParcourir[0],
                                                      BoutonsParcourir[1], Method, Label2}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    progress_ = std::make_unique<PackProgressDisplay>(AffFileName, AffTotalHpiArchive,
                                                      ProgressBarFile, ProgressBarHPIArchive);
    resize(520, 260);
}

frmPackPath::~frmPackPath() = default;

void frmPackPath::BoutonsParcourir_Click(int index) {
    auto& dialogs = common::Dialogs::current();
    if (index == 0) {
        const auto chosen = dialogs.chooseDirectory(this, QStringLiteral("Select a directory..."),
                                                    QDir::homePath());
        if (chosen && !chosen->isEmpty()) {
            DataInput[0]->setText(*chosen);
        }
        return;
    }
    const auto chosen = dialogs.saveFile(
        this, QStringLiteral("Save new HPI archive as..."),
        QStringLiteral("UFO file (*.ufo)|*.ufo|HPI file (*.hpi)|*.hpi|CCX File (*.ccx)|*.ccx"),
        QString(), SaveDialogStart(*owner_, QStringLiteral("New Hpi File")));
    if (chosen) {
        RememberSaveFolder(*owner_, *chosen);
        DataInput[1]->setText(*chosen);
    }
}

void frmPackPath::setInputsEnabled(bool enabled) {
    for (QWidget* w : {static_cast<QWidget*>(DataInput[0]), static_cast<QWidget*>(DataInput[1]),
                       static_cast<QWidget*>(Label1[0]), static_cast<QWidget*>(Label1[1]),
                       static_cast<QWidget*>(Label1[2]), static_cast<QWidget*>(BoutonsParcourir[0]),
                       static_cast<QWidget*>(BoutonsParcourir[1]), static_cast<QWidget*>(Method),
                       static_cast<QWidget*>(Label2)}) {
        w->setEnabled(enabled);
    }
}

void frmPackPath::setInputsVisible(bool visible) {
    for (QWidget* w : {static_cast<QWidget*>(DataInput[0]), static_cast<QWidget*>(DataInput[1]),
                       static_cast<QWidget*>(Label1[0]), static_cast<QWidget*>(Label1[1]),
                       static_cast<QWidget*>(Label1[2]), static_cast<QWidget*>(BoutonsParcourir[0]),
                       static_cast<QWidget*>(BoutonsParcourir[1]), static_cast<QWidget*>(Method),
                       static_cast<QWidget*>(Label2)}) {
        w->setVisible(visible);
    }
}

bool frmPackPath::Label2_Click() {
    auto& dialogs = common::Dialogs::current();
    // 1.
    if (DataInput[0]->text().isEmpty() || DataInput[1]->text().isEmpty()) {
        dialogs.message(
            this,
            QStringLiteral(
                "You must choice a directory to pack and a destination HPI file name !!"),
            QString(), common::MessageIcon::Warning, common::MessageButtons::Ok);
        return false;
    }
    // A directory that is not there would give an empty archive over the
    // destination.
    if (!QFileInfo(DataInput[0]->text()).isDir()) {
        dialogs.message(this, QStringLiteral("The directory you've entered doesn't exist !"),
                        QString(), common::MessageIcon::Warning, common::MessageButtons::Ok);
        return false;
    }
    // 2.
    owner_->statusPanel(1)->setText(QStringLiteral("Packing path..."));
    // 3.
    PackHandle = HPICreate(QFile::encodeName(DataInput[1]->text()).constData(), &PackProgress);
    if (PackHandle == 0) {
        ShowLibraryFailure(this, QStringLiteral("Error creating the HPI archive !!"),
                           QStringLiteral("Error !"));
        owner_->statusPanel(1)->setText(QStringLiteral("Ready"));
        return false;
    }
    // The main window's commands wait until the pack is over.
    BusyScope busy(*owner_);
    PackEvents events(this);
    // 4.
    setInputsEnabled(false);
    // 5. and 6.
    QString root = DataInput[0]->text();
    if (!root.endsWith(QLatin1Char('/'))) {
        root += QLatin1Char('/');
    }
    PackRoot = QFile::encodeName(root).toStdString();
    WalkDirectory(PackRoot, "*.*", kAddMode,
                  keepHidden_ ? HiddenFiles::Include : HiddenFiles::LeaveOut);
    const std::size_t leftOut = LeftOutHiddenFiles();
    // 7. A failed pack left the target as it was; it is said, not hidden.
    bool written = false;
    {
        PackProgressDisplay::Binding bound(*progress_);
        written = PackArchive(Method->currentData().toInt());
    }
    // 8.
    setInputsVisible(false);
    if (!written) {
        AffFinish->setText(QStringLiteral("Operation failed !"));
        ShowLibraryFailure(this, QStringLiteral("Error packing the HPI archive !!"),
                           QStringLiteral("Error !"));
    }
    BTexit->show();
    AffFinish->show();
    if (leftOut > 0) {
        LeftOut->setText(QString::number(leftOut) +
                         QStringLiteral(" hidden file(s) (names starting with \".\") were left "
                                        "out: hidden files of your own folders are not "
                                        "packed."));
        LeftOut->show();
    }
    // 9.
    owner_->statusPanel(1)->setText(QStringLiteral("Ready"));
    return written;
}

void frmPackPath::BTexit_Click() {
    close();
}

void PackFromPath(frmMain& owner) {
    frmPackPath dialog(&owner);
    dialog.exec();
}

} // namespace crateward::packing
