#include "frmPres.hpp"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#ifndef SPRITEGLASS_VERSION
#define SPRITEGLASS_VERSION "0.1.0"
#endif

namespace spriteglass {

frmPres::frmPres(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmPres"));
    setWindowTitle(QStringLiteral("Spriteglass"));
    auto* title = new QLabel(QStringLiteral("Spriteglass"), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont big = title->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    title->setFont(big);
    auto* version = new QLabel(
        QStringLiteral("Spriteglass Version ") + QStringLiteral(SPRITEGLASS_VERSION), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto* note = new QPlainTextEdit(this);
    note->setObjectName(QStringLiteral("txtNote"));
    note->setReadOnly(true);
    note->setPlainText(QStringLiteral(
        "Spriteglass shows the animations, frames and subframes of a GAF sprite file with the "
        "game's palette, plays animations and writes frames as BMP files.\n\n"
        "Open a file by starting Spriteglass with its path, or from Crateward by double-clicking "
        "a GAF file in an archive."));
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(version);
    layout->addWidget(note);
    layout->addWidget(cmdOK, 0, Qt::AlignRight);
    connect(cmdOK, &QPushButton::clicked, this, [this] {
        close();
        if (onOk) {
            onOk();
        }
    });
    resize(380, 260);
}

} // namespace spriteglass
