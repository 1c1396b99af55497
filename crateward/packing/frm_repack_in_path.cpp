#include "frm_repack_in_path.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "common/dialogs.hpp"
#include "frm_chemin.hpp"
#include "frm_main.hpp"
#include "member_paths.hpp"
#include "save_location.hpp"

namespace crateward::packing {

namespace {

template <typename W> W* named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

void inform(QWidget* parent, const QString& text) {
    common::Dialogs::current().message(parent, text, QString(), common::MessageIcon::Information,
                                       common::MessageButtons::Ok);
}

} // namespace

frmRepackInPath::frmRepackInPath(frmMain* owner) : QDialog(owner), owner_(owner) {
    setObjectName(QStringLiteral("frmRepackInPath"));
    setWindowTitle(QStringLiteral("Uncompress several HPI into ..."));
    auto* layout = new QVBoxLayout(this);

    auto* sources = new QGroupBox(QStringLiteral("Source HPI files..."), this);
    auto* sourceGrid = new QGridLayout(sources);
    ListSourceFiles = named(new QListWidget(sources), QStringLiteral("ListSourceFiles"));
    cmdAdd = named(new QPushButton(QStringLiteral("Add"), sources), QStringLiteral("cmdAdd"));
    cmdRmv = named(new QPushButton(QStringLiteral("Remove"), sources), QStringLiteral("cmdRmv"));
    cmdRemoveAll = named(new QPushButton(QStringLiteral("Remove All"), sources),
                         QStringLiteral("cmdRemoveAll"));
    sourceGrid->addWidget(ListSourceFiles, 0, 0, 4, 1);
    sourceGrid->addWidget(cmdAdd, 0, 1);
    sourceGrid->addWidget(cmdRmv, 1, 1);
    sourceGrid->addWidget(cmdRemoveAll, 2, 1);
    layout->addWidget(sources);

    auto* destination = new QGroupBox(QStringLiteral("Destination :"), this);
    auto* destGrid = new QGridLayout(destination);
    OptionPath = named(new QRadioButton(QStringLiteral("A directory"), destination),
                       QStringLiteral("OptionPath"));
    OptionHPI = named(new QRadioButton(QStringLiteral("A new HPI archive"), destination),
                      QStringLiteral("OptionHPI"));
    destGrid->addWidget(OptionPath, 0, 0);
    destGrid->addWidget(OptionHPI, 0, 1);
    FramePath = named(new QGroupBox(QStringLiteral("Destination directory :"), destination),
                      QStringLiteral("FramePath"));
    auto* pathGrid = new QGridLayout(FramePath);
    TxtPath =
        named(new QLineEdit(QLatin1String(kPathPlaceholder), FramePath), QStringLiteral("TxtPath"));
    cmdBrowsePath = named(new QPushButton(QStringLiteral("Browse"), FramePath),
                          QStringLiteral("cmdBrowsePath"));
    CheckSupFile[1] = named(new QCheckBox(QStringLiteral("Delete source file"), FramePath),
                            QStringLiteral("CheckSupFile(1)"));
    pathGrid->addWidget(TxtPath, 0, 0);
    pathGrid->addWidget(cmdBrowsePath, 0, 1);
    pathGrid->addWidget(CheckSupFile[1], 1, 0);
    destGrid->addWidget(FramePath, 1, 0, 1, 2);
    frameHPI = named(new QGroupBox(QStringLiteral("Destination HPI file :"), destination),
                     QStringLiteral("frameHPI"));
    auto* hpiGrid = new QGridLayout(frameHPI);
    TxtDest =
        named(new QLineEdit(QLatin1String(kDestPlaceholder), frameHPI), QStringLiteral("TxtDest"));
    cmdBrowseHPI =
        named(new QPushButton(QStringLiteral("Browse"), frameHPI), QStringLiteral("cmdBrowseHPI"));
    CheckSupFile[0] = named(new QCheckBox(QStringLiteral("Delete source file"), frameHPI),
                            QStringLiteral("CheckSupFile(0)"));
    CheckOpenNewHPI =
        named(new QCheckBox(QStringLiteral("Open new HPI file once finish"), frameHPI),
              QStringLiteral("CheckOpenNewHPI"));
    lbTypComp = named(new QLabel(QStringLiteral("Compression method :"), frameHPI),
                      QStringLiteral("lbTypComp"));
    ComboCompresType = named(new QComboBox(frameHPI), QStringLiteral("ComboCompresType"));
    const char* methods[] = {"None", "LZ77 (HPI 1)", "ZLIB (HPI 2)"};
    for (int code = 0; code < 3; ++code) {
        ComboCompresType->addItem(QString::fromUtf8(methods[code]), code);
    }
    hpiGrid->addWidget(TxtDest, 0, 0);
    hpiGrid->addWidget(cmdBrowseHPI, 0, 1);
    hpiGrid->addWidget(CheckSupFile[0], 1, 0);
    hpiGrid->addWidget(CheckOpenNewHPI, 2, 0);
    hpiGrid->addWidget(lbTypComp, 3, 0);
    hpiGrid->addWidget(ComboCompresType, 3, 1);
    destGrid->addWidget(frameHPI, 2, 0, 1, 2);
    layout->addWidget(destination);

    auto* status = new QGroupBox(QStringLiteral("Operation status :"), this);
    auto* statusLayout = new QVBoxLayout(status);
    LBStatus = named(new QLabel(status), QStringLiteral("LBStatus"));
    HPIProgress = named(new QProgressBar(status), QStringLiteral("HPIProgress"));
    GeneProgress = named(new QProgressBar(status), QStringLiteral("GeneProgress"));
    statusLayout->addWidget(LBStatus);
    statusLayout->addWidget(new QLabel(QStringLiteral("Current HPI progress..."), status));
    statusLayout->addWidget(HPIProgress);
    statusLayout->addWidget(new QLabel(QStringLiteral("General progress"), status));
    statusLayout->addWidget(GeneProgress);
    layout->addWidget(status);

    auto* buttons = new QHBoxLayout;
    cmdGO = named(new QPushButton(QStringLiteral("Launch packing"), this), QStringLiteral("cmdGO"));
    cmdCancel = named(new QPushButton(QStringLiteral("Close"), this), QStringLiteral("cmdCancel"));
    buttons->addStretch(1);
    buttons->addWidget(cmdGO);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);

    connect(cmdAdd, &QPushButton::clicked, this, &frmRepackInPath::cmdAdd_Click);
    connect(cmdRmv, &QPushButton::clicked, this, &frmRepackInPath::cmdRmv_Click);
    connect(cmdRemoveAll, &QPushButton::clicked, this, &frmRepackInPath::cmdRemoveAll_Click);
    connect(cmdBrowseHPI, &QPushButton::clicked, this, &frmRepackInPath::cmdBrowseHPI_Click);
    connect(cmdBrowsePath, &QPushButton::clicked, this, &frmRepackInPath::cmdBrowsePath_Click);
    connect(OptionHPI, &QRadioButton::clicked, this, [this] { SetDestinationMode(2); });
    connect(OptionPath, &QRadioButton::clicked, this, [this] { SetDestinationMode(1); });
    connect(cmdGO, &QPushButton::clicked, this, &frmRepackInPath::cmdGO_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QWidget::close);
    TxtDest->installEventFilter(this);

    // Form_Load.
    OptionHPI->setChecked(true);
    SetDestinationMode(2);
    ComboCompresType->setCurrentIndex(2);
    ResetProgress();
    resize(520, 560);
}

bool frmRepackInPath::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TxtDest && event->type() == QEvent::FocusOut && !TxtDest_Validate()) {
        TxtDest->setFocus();
    }
    return QDialog::eventFilter(watched, event);
}

void frmRepackInPath::cmdAdd_Click() {
    const auto files =
        common::Dialogs::current().openFiles(this, QStringLiteral("Select an HPI archive..."),
                                             QStringLiteral("HPI archive|*.hpi;*.ccx;*.ufo;*.gp?"),
                                             QString::fromStdString(GameDirectory()));
    if (!files) {
        return;
    }
    const bool several = files->size() > 1;
    for (const QString& file : *files) {
        const QString bare = QFileInfo(file).fileName();
        bool twice = false;
        for (int i = 0; i < ListSourceFiles->count(); ++i) {
            const QString line = ListSourceFiles->item(i)->text();
            twice = twice || (several ? QFileInfo(line).fileName() == bare : line == file);
        }
        if (twice) {
            inform(this, QStringLiteral("You can't add ") + (several ? bare : file) +
                             QStringLiteral(" twice..."));
            continue;
        }
        ListSourceFiles->addItem(file);
    }
}

void frmRepackInPath::cmdRmv_Click() {
    const int row = ListSourceFiles->currentRow();
    if (row >= 0 && ListSourceFiles->currentItem()->isSelected()) {
        delete ListSourceFiles->takeItem(row);
    }
}

void frmRepackInPath::cmdRemoveAll_Click() {
    ListSourceFiles->clear();
}

void frmRepackInPath::cmdBrowseHPI_Click() {
    // The destination is usually a new file: a save dialog, with its prompt
    // before overwriting, lets its name be typed.
    const auto chosen = common::Dialogs::current().saveFile(
        this, QStringLiteral("Enter an HPI archive..."),
        QStringLiteral("UFO archive|*.ufo|HPI archive|*.hpi|CCX archive|*.ccx"), QString(),
        SaveDialogStart(*owner_, QString()));
    if (chosen) {
        RememberSaveFolder(*owner_, *chosen);
        TxtDest->setText(*chosen);
    }
}

void frmRepackInPath::cmdBrowsePath_Click() {
    const auto chosen = common::Dialogs::current().chooseDirectory(
        this, QStringLiteral("Select a directory..."), QString());
    TxtPath->setText(chosen.value_or(QString()));
}

void frmRepackInPath::SetDestinationMode(int mode) {
    const bool hpi = mode == 2;
    for (QWidget* w :
         std::initializer_list<QWidget*>{frameHPI, TxtDest, cmdBrowseHPI, CheckSupFile[0],
                                         CheckOpenNewHPI, ComboCompresType, lbTypComp}) {
        w->setEnabled(hpi);
    }
    for (QWidget* w :
         std::initializer_list<QWidget*>{cmdBrowsePath, CheckSupFile[1], TxtPath, FramePath}) {
        w->setEnabled(!hpi);
    }
}

bool frmRepackInPath::TxtDest_Validate() {
    const QString text = TxtDest->text();
    if (text.isEmpty() || text == QLatin1String(kDestPlaceholder)) {
        return true;
    }
    // A full file path here holds a folder separator and an extension.
    if (!text.contains(QLatin1Char('.')) || !text.contains(QLatin1Char('/'))) {
        inform(this, QStringLiteral("Not a valid file name..."));
        return false;
    }
    return true;
}

bool frmRepackInPath::ValidateDestination() {
    if (OptionHPI->isChecked() && TxtDest->text() == QLatin1String(kDestPlaceholder)) {
        inform(this, QStringLiteral("You must enter a destination filename..."));
        return false;
    }
    if (OptionPath->isChecked() && TxtPath->text() == QLatin1String(kPathPlaceholder)) {
        inform(this, QStringLiteral("You must enter a destination directory..."));
        return false;
    }
    return true;
}

void frmRepackInPath::ResetProgress() {
    for (QProgressBar* bar : {HPIProgress, GeneProgress}) {
        bar->setRange(0, 1);
        bar->setValue(0);
    }
    LBStatus->clear();
    ListSourceFiles->clearSelection();
    ListSourceFiles->setCurrentRow(-1);
}

void ShowRepackInPath(frmMain& owner) {
    frmRepackInPath dialog(&owner);
    dialog.exec();
}

} // namespace crateward::packing
