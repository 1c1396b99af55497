#include "FrmDirectory.hpp"

#include "common/dialogs.hpp"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

namespace spriteglass {

FrmDirectory::FrmDirectory(QWidget* owner, const QString& start) : QDialog(owner) {
    setObjectName(QStringLiteral("FrmDirectory"));
    setWindowTitle(QStringLiteral("Select a Location"));
    setModal(true);
    Drive = new QComboBox(this);
    Drive->setObjectName(QStringLiteral("Drive"));
    for (const QFileInfo& drive : QDir::drives()) {
        Drive->addItem(drive.absoluteFilePath());
    }
    Drive->addItem(QDir::homePath());
    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::NoDot);
    model_->setRootPath(QStringLiteral("/"));
    Dir = new QListView(this);
    Dir->setObjectName(QStringLiteral("Dir"));
    Dir->setModel(model_);
    LblPath = new QLabel(this);
    LblPath->setObjectName(QStringLiteral("LblPath"));
    CmdOk = new QPushButton(QStringLiteral("OK"), this);
    CmdOk->setObjectName(QStringLiteral("CmdOk"));
    CmdOk->setDefault(true);
    CmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    CmdCancel->setObjectName(QStringLiteral("CmdCancel"));
    CmdMakeDir = new QPushButton(QStringLiteral("&Create..."), this);
    CmdMakeDir->setObjectName(QStringLiteral("CmdMakeDir"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(CmdMakeDir);
    buttons->addStretch();
    buttons->addWidget(CmdOk);
    buttons->addWidget(CmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Drive);
    layout->addWidget(LblPath);
    layout->addWidget(Dir);
    layout->addLayout(buttons);

    connect(Drive, &QComboBox::currentTextChanged, this,
            [this](const QString& drive) { SetDirPath(drive); });
    connect(Dir, &QListView::doubleClicked, this, [this](const QModelIndex& index) {
        SetDirPath(QDir::cleanPath(model_->filePath(index)));
    });
    connect(CmdOk, &QPushButton::clicked, this, [this] { CmdOk_Click(); });
    connect(CmdCancel, &QPushButton::clicked, this, [this] { CmdCancel_Click(); });
    connect(CmdMakeDir, &QPushButton::clicked, this, [this] { CmdMakeDir_Click(); });

    ExportDirectory.clear();
    SetDirPath(start.isEmpty() ? QDir::currentPath() : start);
    resize(360, 380);
}

void FrmDirectory::SetDirPath(const QString& path) {
    dirPath_ = path;
    Dir->setRootIndex(model_->index(path));
    LblPath->setText(path);
}

void FrmDirectory::CmdOk_Click() {
    const QString path = LblPath->text();
    if (path.isEmpty()) {
        return;
    }
    ExportDirectory = path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
    accept();
}

void FrmDirectory::CmdCancel_Click() {
    ExportDirectory.clear();
    reject();
}

void FrmDirectory::CmdMakeDir_Click() {
    common::Dialogs& dialogs = common::Dialogs::current();
    const std::optional<QString> name =
        dialogs.inputBox(this, QStringLiteral("Enter the name of a new directory"),
                         QStringLiteral("New Dir"), QString());
    if (!name || name->isEmpty()) {
        return;
    }
    const QString parent =
        dirPath_.endsWith(QLatin1Char('/')) ? dirPath_ : dirPath_ + QLatin1Char('/');
    const QString target = parent + *name;
    if (QFileInfo(target).isDir()) {
        dialogs.message(this, QStringLiteral("Directory already exists."),
                        QStringLiteral("Dir Error"), common::MessageIcon::None,
                        common::MessageButtons::Ok);
        return;
    }
    if (QDir().mkdir(target)) { // a failure to create it is silent
        SetDirPath(QDir::cleanPath(target));
    }
}

QString FrmDirectory::Choose(QWidget* owner, const QString& start) {
    FrmDirectory dialog(owner, start);
    dialog.exec();
    return dialog.ExportDirectory;
}

} // namespace spriteglass
