#include "image_list.hpp"

#include <QApplication>
#include <QHash>
#include <QPainter>
#include <QPixmap>

namespace crateward {

namespace {

// A page with a folded corner and a coloured band carrying a short label.
QPixmap filePicture(int size, const QColor& band, const QString& label) {
    QPixmap pix(size, size);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = size * 0.72;
    const qreal left = (size - w) / 2;
    const qreal fold = size * 0.22;
    QPolygonF page;
    page << QPointF(left, 1) << QPointF(left + w - fold, 1) << QPointF(left + w, 1 + fold)
         << QPointF(left + w, size - 1) << QPointF(left, size - 1);
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::white);
    p.drawPolygon(page);
    if (!label.isEmpty()) {
        const QRectF bandRect(left - size * 0.08, size * 0.52, w + size * 0.16, size * 0.36);
        p.setPen(Qt::NoPen);
        p.setBrush(band);
        p.drawRect(bandRect);
        QFont font = QApplication::font();
        font.setBold(true);
        font.setPixelSize(std::max(5, int(size * 0.28)));
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(bandRect, Qt::AlignCenter, label);
    }
    return pix;
}

// Pictures drawn on a 20 x 20 grid and scaled to each size asked for. They
// are drawn rather than taken from the style: the style's standard icons
// search the icon theme and decode picture files, which cost more than the
// rest of the window at start-up.
using Drawing = void (*)(QPainter&);

QIcon drawnIcon(Drawing draw, std::initializer_list<int> sizes) {
    QIcon icon;
    for (const int size : sizes) {
        QPixmap pix(size, size);
        pix.fill(Qt::transparent);
        QPainter p(&pix);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 20.0, size / 20.0);
        draw(p);
        p.end();
        icon.addPixmap(pix);
    }
    return icon;
}

const QColor kOutline(90, 70, 30);
const QColor kInk(40, 70, 130);

void drawFolder(QPainter& p) {
    p.setPen(QPen(kOutline, 1));
    p.setBrush(QColor(200, 160, 70));
    p.drawPolygon(
        QPolygonF({{1.5, 4.5}, {7.5, 4.5}, {9.5, 6.5}, {18.5, 6.5}, {18.5, 16.5}, {1.5, 16.5}}));
    p.setBrush(QColor(235, 200, 110));
    p.drawRect(QRectF(1.5, 8.5, 17, 8));
}

// An open folder: its front leans forward.
void drawOpenFolder(QPainter& p) {
    p.setPen(QPen(kOutline, 1));
    p.setBrush(QColor(200, 160, 70));
    p.drawPolygon(
        QPolygonF({{1.5, 3.5}, {7.5, 3.5}, {9.5, 5.5}, {16.5, 5.5}, {16.5, 16.5}, {1.5, 16.5}}));
    p.setBrush(QColor(240, 210, 120));
    p.drawPolygon(QPolygonF({{4.5, 9.5}, {19.5, 9.5}, {16.5, 16.5}, {1.5, 16.5}}));
}

// The archive at the root of the tree: a crate of planks.
void drawCrate(QPainter& p) {
    p.setPen(QPen(kOutline, 1));
    p.setBrush(QColor(190, 140, 80));
    p.drawRect(QRectF(2.5, 3.5, 15, 13));
    p.drawLine(QPointF(2.5, 8), QPointF(17.5, 8));
    p.drawLine(QPointF(2.5, 12), QPointF(17.5, 12));
    p.setPen(QPen(kOutline, 1.5));
    p.drawLine(QPointF(3.5, 4.5), QPointF(16.5, 15.5));
}

void drawDisk(QPainter& p) {
    p.setPen(QPen(kInk.darker(130), 1));
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF({{2.5, 2.5}, {15.5, 2.5}, {17.5, 4.5}, {17.5, 17.5}, {2.5, 17.5}}));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5, 11, 10, 6));
    p.setBrush(QColor(190, 200, 215));
    p.drawRect(QRectF(6, 3, 7, 5));
}

void drawPlay(QPainter& p) {
    p.setPen(QPen(QColor(30, 100, 40), 1));
    p.setBrush(QColor(60, 160, 70));
    p.drawEllipse(QRectF(1.5, 1.5, 17, 17));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({{8, 6}, {14.5, 10}, {8, 14}}));
}

void drawScreen(QPainter& p) {
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(70, 120, 180));
    p.drawRect(QRectF(1.5, 2.5, 17, 12));
    p.setBrush(QColor(120, 120, 120));
    p.drawRect(QRectF(7.5, 14.5, 5, 2));
    p.drawRect(QRectF(4.5, 16.5, 11, 1.5));
}

void drawCube(QPainter& p) {
    p.setPen(QPen(QColor(100, 50, 15), 1));
    p.setBrush(QColor(230, 150, 80));
    p.drawPolygon(QPolygonF({{10, 2}, {17.5, 6}, {10, 10}, {2.5, 6}}));
    p.setBrush(QColor(190, 110, 45));
    p.drawPolygon(QPolygonF({{2.5, 6}, {10, 10}, {10, 18}, {2.5, 14}}));
    p.setBrush(QColor(150, 80, 30));
    p.drawPolygon(QPolygonF({{17.5, 6}, {10, 10}, {10, 18}, {17.5, 14}}));
}

void drawFilm(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(140, 40, 140));
    p.drawRect(QRectF(1, 4, 18, 12));
    p.setBrush(Qt::white);
    for (int x = 2; x < 19; x += 4) {
        p.drawRect(QRectF(x, 5, 2, 1.5));
        p.drawRect(QRectF(x, 13.5, 2, 1.5));
    }
    p.setBrush(QColor(230, 200, 240));
    p.drawRect(QRectF(2.5, 7.5, 6.5, 5));
    p.drawRect(QRectF(11, 7.5, 6.5, 5));
}

void drawMap(QPainter& p) {
    p.setPen(QPen(QColor(40, 90, 50), 1));
    p.setBrush(QColor(110, 170, 90));
    p.drawRect(QRectF(1.5, 2.5, 17, 15));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 130, 200));
    p.drawPolygon(QPolygonF({{2, 12}, {7, 10}, {11, 13}, {18, 11}, {18, 17}, {2, 17}}));
    p.setPen(QPen(QColor(40, 90, 50, 140), 0.8));
    for (const double at : {7.5, 13.0}) {
        p.drawLine(QPointF(at, 3), QPointF(at, 17));
        p.drawLine(QPointF(2, at), QPointF(18, at));
    }
}

// The programs' locations: a folder with a link arrow.
void drawFolderLink(QPainter& p) {
    drawFolder(p);
    p.setPen(QPen(kInk, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{6, 15}, {6, 12}, {13, 12}}));
    p.drawPolyline(QPolygonF({{11, 10}, {13.5, 12}, {11, 14}}));
}

QIcon makeIcon(int index) {
    switch (index) {
    case 1:
        return drawnIcon(drawFolder, {16, 32});
    case 9:
        return drawnIcon(drawCrate, {16, 32});
    default:
        break;
    }
    struct Look {
        QColor band;
        QString label;
    };
    const QHash<int, Look> looks = {
        {3, {QColor(40, 130, 60), QStringLiteral("TNT")}},
        {4, {QColor(40, 90, 170), QStringLiteral("WAV")}},
        {7, {QColor(170, 90, 30), QStringLiteral("3DO")}},
        {8, {QColor(140, 40, 140), QStringLiteral("GAF")}},
    };
    const Look look = looks.value(index, Look{QColor(), QString()});
    QIcon icon;
    for (const int size : {16, 32}) {
        icon.addPixmap(filePicture(size, look.band, look.label));
    }
    return icon;
}

} // namespace

QIcon ToolbarIcon(const QString& key) {
    static const QHash<QString, Drawing> drawings = {
        {QStringLiteral("Open"), drawOpenFolder},
        {QStringLiteral("Save"), drawDisk},
        {QStringLiteral("TA"), drawPlay},
        {QStringLiteral("UnitView"), drawScreen},
        {QStringLiteral("3DO Builder"), drawCube},
        {QStringLiteral("GAF Builder"), drawFilm},
        {QStringLiteral("MAP"), drawMap},
        {QString::fromUtf8("Répertoire"), drawFolderLink},
    };
    const Drawing draw = drawings.value(key, nullptr);
    return draw ? drawnIcon(draw, {20, 40}) : QIcon();
}

QIcon ImageListIcon(int index) {
    static QHash<int, QIcon> cache;
    auto it = cache.find(index);
    if (it == cache.end()) {
        it = cache.insert(index, makeIcon(index));
    }
    return *it;
}

QIcon ViewModeIcon(int mode) {
    QPixmap pix(20, 20);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    const QColor ink(40, 70, 130);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    switch (mode) {
    case 0: // four large squares
        for (const QPoint at : {QPoint(2, 2), QPoint(11, 2), QPoint(2, 11), QPoint(11, 11)}) {
            p.drawRect(QRect(at, QSize(7, 7)));
        }
        break;
    case 1: // small squares with names, in rows
        for (int y = 3; y < 18; y += 6) {
            for (const int x : {2, 11}) {
                p.drawRect(x, y, 3, 3);
                p.drawRect(x + 4, y + 1, 4, 1);
            }
        }
        break;
    case 2: // small squares with names, in columns
        for (int y = 2; y < 18; y += 4) {
            for (const int x : {2, 11}) {
                p.drawRect(x, y, 2, 2);
                p.drawRect(x + 3, y + 1, 5, 1);
            }
        }
        break;
    default: // rows with columns
        for (int y = 3; y < 18; y += 4) {
            p.drawRect(2, y, 2, 2);
            p.drawRect(6, y + 1, 6, 1);
            p.drawRect(14, y + 1, 4, 1);
        }
        break;
    }
    return QIcon(pix);
}

int ListIconIndex(const QString& name) {
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) {
        return 1;
    }
    const QString ext = name.mid(dot + 1).toUpper();
    if (ext == QLatin1String("TNT")) {
        return 3;
    }
    if (ext == QLatin1String("WAV")) {
        return 4;
    }
    if (ext == QLatin1String("3DO")) {
        return 7;
    }
    if (ext == QLatin1String("GAF")) {
        return 8;
    }
    return 2;
}

} // namespace crateward
