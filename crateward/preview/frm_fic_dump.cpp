#include "frm_fic_dump.hpp"

#include <QCloseEvent>
#include <QListWidget>
#include <QScreen>

#include "monospace_font.hpp"
#include "settings_keys.hpp"

#include "owned_window.hpp"
#include "twips.hpp"

namespace crateward {

namespace {

constexpr const char* kSection = "Affichage texte";
QFont dumpFont() {
    return MonospaceFont({QStringLiteral("Courier New")}, 8);
}

} // namespace

frmFicDump::frmFicDump(const common::SettingsStore& settings, QWidget* owner)
    : QWidget(owner, kOwnedWindowFlags), settings_(settings) {
    setObjectName(QStringLiteral("frmFicDump"));
    setAttribute(Qt::WA_DeleteOnClose);
    Liste = new QListWidget(this);
    Liste->setObjectName(QStringLiteral("Liste"));
    Liste->setFont(dumpFont());
    Liste->setUniformItemSizes(true);
    const long top = settings_.readNumber(kApp, kSection, "Dump Top", 2000);
    const long left = settings_.readNumber(kApp, kSection, "Dump Left", 2000);
    const long height = settings_.readNumber(kApp, kSection, "Dump Height", 6000);
    loaded_ = QRect(int(left), int(top), kWidthTwips, int(height));
    move(px(left), px(top));
    resize(px(kWidthTwips), std::max(1, px(height)));
}

void frmFicDump::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMaximized()) {
        Form_Resize();
    }
}

void frmFicDump::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmFicDump::Form_Resize() {
    if (resizing_) {
        return;
    }
    resizing_ = true;
    if (isMaximized()) {
        setWindowState(windowState() & ~Qt::WindowMaximized);
        const QScreen* display = screen();
        const QRect area = display ? display->geometry() : QRect(0, 0, 1024, 768);
        move(area.topLeft());
        resize(width(), std::max(1, area.height() - px(500)));
    }
    Liste->setGeometry(0, 0, px(kListWidthTwips), std::max(0, height() - 1));
    if (width() != px(kWidthTwips)) {
        resize(px(kWidthTwips), height());
    }
    resizing_ = false;
}

void frmFicDump::closeEvent(QCloseEvent* event) {
    savePlacement();
    QWidget::closeEvent(event);
}

void frmFicDump::savePlacement() {
    if (saved_) {
        return;
    }
    saved_ = true;
    settings_.writeNumber(kApp, kSection, "Dump Top", keptTwips(loaded_.y(), y()));
    settings_.writeNumber(kApp, kSection, "Dump Left", keptTwips(loaded_.x(), x()));
    settings_.writeNumber(kApp, kSection, "Dump Height", keptTwips(loaded_.height(), height()));
}

} // namespace crateward
