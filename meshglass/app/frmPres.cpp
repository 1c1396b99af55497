#include "frmPres.hpp"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace meshglass {

namespace {

// A wireframe cube in perspective, the program's picture.
QPixmap cubePicture() {
    QPixmap picture(72, 72);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1.5));
    const QPointF front[4] = {{10, 24}, {46, 24}, {46, 60}, {10, 60}};
    const QPointF back[4] = {{26, 10}, {62, 10}, {62, 46}, {26, 46}};
    for (int k = 0; k < 4; ++k) {
        painter.drawLine(front[k], front[(k + 1) % 4]);
        painter.drawLine(back[k], back[(k + 1) % 4]);
        painter.drawLine(front[k], back[k]);
    }
    return picture;
}

} // namespace

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
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("imgPicture"));
    picture->setPixmap(cubePicture());
    auto* heading = new QHBoxLayout;
    heading->addWidget(picture);
    heading->addWidget(title, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(heading);
    layout->addWidget(note, 1);
    layout->addWidget(cmdOK, 0, Qt::AlignRight);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    resize(400, 260);
}

} // namespace meshglass
