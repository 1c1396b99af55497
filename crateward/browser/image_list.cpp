#include "image_list.hpp"

#include <QApplication>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

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

QIcon makeIcon(int index) {
    QStyle* style = QApplication::style();
    switch (index) {
    case 1:
        return style->standardIcon(QStyle::SP_DirIcon);
    case 9:
        return style->standardIcon(QStyle::SP_DriveHDIcon);
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
