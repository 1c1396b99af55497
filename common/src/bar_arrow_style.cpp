#include "common/bar_arrow_style.hpp"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <QWidget>

namespace common {

namespace {

// Two chevrons pointing along the bar's direction of flow: right for a
// horizontal bar (left when the layout runs right to left), down for a
// vertical one, in the palette's button text colour.
QPixmap drawnArrows(int size, bool horizontal, bool rightToLeft, const QColor& colour) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(colour, size / 10.0);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    const qreal s = size;
    for (const qreal shift : {0.0, 0.3 * s}) {
        QPainterPath chevron;
        chevron.moveTo(0.2 * s + shift, 0.25 * s);
        chevron.lineTo(0.45 * s + shift, 0.5 * s);
        chevron.lineTo(0.2 * s + shift, 0.75 * s);
        QTransform turn;
        if (!horizontal) {
            // A quarter turn about the centre: right becomes down.
            turn.translate(s / 2, s / 2).rotate(90).translate(-s / 2, -s / 2);
        }
        painter.drawPath(turn.map(chevron));
    }
    painter.end();
    if (horizontal && rightToLeft) {
        return QPixmap::fromImage(pixmap.toImage().mirrored(true, false));
    }
    return pixmap;
}

} // namespace

QIcon BarArrowStyle::standardIcon(StandardPixmap icon, const QStyleOption* option,
                                  const QWidget* widget) const {
    if (icon != SP_ToolBarHorizontalExtensionButton && icon != SP_ToolBarVerticalExtensionButton) {
        return QProxyStyle::standardIcon(icon, option, widget);
    }
    const QPalette palette = widget ? widget->palette() : QGuiApplication::palette();
    const bool rightToLeft = (widget ? widget->layoutDirection()
                                     : QGuiApplication::layoutDirection()) == Qt::RightToLeft;
    QIcon arrows;
    for (const int size : {16, 32}) {
        arrows.addPixmap(drawnArrows(size, icon == SP_ToolBarHorizontalExtensionButton, rightToLeft,
                                     palette.color(QPalette::ButtonText)));
    }
    return arrows;
}

} // namespace common
