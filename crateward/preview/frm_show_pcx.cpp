#include "frm_show_pcx.hpp"

#include <QCloseEvent>

#include <cmath>

#include "picture_control.hpp"
#include "settings_keys.hpp"

#include "owned_window.hpp"
#include "twips.hpp"

namespace crateward {

namespace {

constexpr const char* kSection = "Affichage texte";
constexpr const char* kTop = "Show PCX Top";
constexpr const char* kLeft = "Show PCX Left";

} // namespace

frmShowPCX::frmShowPCX(const common::SettingsStore& settings, QWidget* owner)
    : QWidget(owner, kOwnedWindowFlags), settings_(settings) {
    setObjectName(QStringLiteral("frmShowPCX"));
    setAttribute(Qt::WA_DeleteOnClose);
    ImgPCX = new PictureControl(this);
    ImgPCX->setObjectName(QStringLiteral("ImgPCX"));
    loaded_ = QPoint(int(settings_.readNumber(kApp, kSection, kLeft, 2000)),
                     int(settings_.readNumber(kApp, kSection, kTop, 2000)));
    move(loaded_ / crateward::kTwipsPerPixel); // positions: 15 twips per pixel, as every window
}

void frmShowPCX::setSizeTwips(double width, double height) {
    resize(std::max(1, int(std::lround(width / kTwipsPerPixel))),
           std::max(1, int(std::lround(height / kTwipsPerPixel))));
}

void frmShowPCX::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ImgPCX->setGeometry(rect());
}

void frmShowPCX::closeEvent(QCloseEvent* event) {
    savePlacement();
    QWidget::closeEvent(event);
}

void frmShowPCX::savePlacement() {
    if (saved_) {
        return;
    }
    saved_ = true;
    settings_.writeNumber(kApp, kSection, kTop, keptTwips(loaded_.y(), y()));
    settings_.writeNumber(kApp, kSection, kLeft, keptTwips(loaded_.x(), x()));
}

} // namespace crateward
