#include "monospace_font.hpp"

#include <QFontDatabase>
#include <QFontInfo>

namespace crateward {

namespace {

bool fixedPitch(const QFont& font) {
    return QFontInfo(font).fixedPitch();
}

QFont familyFont(const QString& family, int pointSize) {
    QFont font(family, pointSize);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

} // namespace

QFont MonospaceFont(const QStringList& wished, int pointSize) {
    for (const QString& family : wished) {
        QFont font = familyFont(family, pointSize);
        if (fixedPitch(font)) {
            return font;
        }
    }
    QFont system = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    system.setPointSize(pointSize);
    if (fixedPitch(system)) {
        return system;
    }
    // The common monospace families first, then any the database calls fixed.
    QStringList families = {QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono"),
                            QStringLiteral("Noto Mono"), QStringLiteral("monospace")};
    for (const QString& family : QFontDatabase::families()) {
        if (QFontDatabase::isFixedPitch(family)) {
            families << family;
        }
    }
    for (const QString& family : families) {
        QFont font = familyFont(family, pointSize);
        if (fixedPitch(font)) {
            return font;
        }
    }
    return system;
}

} // namespace crateward
