#include "frmPres.hpp"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace meshglass {

frmPres::frmPres(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmPres"));
    setWindowTitle(QStringLiteral("Meshglass"));
    auto* title = new QLabel(QStringLiteral("Meshglass"), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont big = title->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    title->setFont(big);
    auto* note = new QLabel(
        QStringLiteral("Meshglass shows a 3DO model of the game in a perspective view that you "
                       "turn by dragging with a mouse button held.\n\n"
                       "Give the path of a 3DO file on the command line (Crateward does so when "
                       "you double-click a 3DO file in an archive), or open one from the main "
                       "window."),
        this);
    note->setObjectName(QStringLiteral("lblNote"));
    note->setWordWrap(true);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(note, 1);
    layout->addWidget(cmdOK, 0, Qt::AlignRight);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    resize(380, 220);
}

} // namespace meshglass
