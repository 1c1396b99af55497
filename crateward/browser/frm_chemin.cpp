#include "frm_chemin.hpp"

#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace crateward {

frmChemin::frmChemin(QWidget* owner, const QString& initial)
    : QDialog(owner), Dir1(new QTreeView(this)), CurRep(new QLabel(this)),
      ok(new QPushButton(QStringLiteral("OK"), this)),
      Annuler(new QPushButton(QStringLiteral("Cancel"), this)), model_(new QFileSystemModel(this)) {
    setObjectName(QStringLiteral("frmChemin"));
    setWindowTitle(QStringLiteral("Select a directory..."));
    Dir1->setObjectName(QStringLiteral("Dir1"));
    CurRep->setObjectName(QStringLiteral("CurRep"));
    ok->setObjectName(QStringLiteral("ok"));
    Annuler->setObjectName(QStringLiteral("Annuler"));

    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model_->setRootPath(QDir::rootPath());
    Dir1->setModel(model_);
    Dir1->setHeaderHidden(true);
    for (int column = 1; column < model_->columnCount(); ++column) {
        Dir1->hideColumn(column);
    }
    Dir1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(Dir1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { CurRep->setText(currentPath()); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(Annuler);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CurRep);
    layout->addWidget(Dir1, 1);
    layout->addLayout(buttons);
    resize(360, 420);

    connect(ok, &QPushButton::clicked, this, [this] {
        result_ = currentPath();
        accept();
    });
    connect(Annuler, &QPushButton::clicked, this, [this] {
        result_.clear();
        reject();
    });
    setCurrentPath(initial.isEmpty() ? QDir::homePath() : initial);
}

QString frmChemin::currentPath() const {
    const QModelIndex index = Dir1->currentIndex();
    return index.isValid() ? model_->filePath(index) : QString();
}

void frmChemin::setCurrentPath(const QString& path) {
    const QModelIndex index = model_->index(QDir::cleanPath(path));
    if (!index.isValid()) {
        return;
    }
    Dir1->setCurrentIndex(index);
    Dir1->scrollTo(index);
    CurRep->setText(model_->filePath(index));
}

QString frmChemin::choose(QWidget* owner, const QString& initial) {
    frmChemin chooser(owner, initial);
    chooser.exec();
    return chooser.result();
}

} // namespace crateward
