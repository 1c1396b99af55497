#include "frm_show_pcx.hpp"

#include <QCloseEvent>

#include <cmath>

#include "picture_control.hpp"
#include "settings_keys.hpp"

namespace crateward {

namespace {

constexpr const char* kSection = "Affichage texte";
constexpr const char* kTop = "Show PCX Top";
constexpr const char* kLeft = "Show PCX Left";
// Window positions convert at the main window's 15 twips per pixel.
constexpr int kPositionTwips = 15;

} // namespace

frmShowPCX::frmShowPCX(const SettingsStore& settings, QWidget* owner)
    : QWidget(owner, Qt::Window), settings_(settings) {
    setObjectName(QStringLiteral("frmShowPCX"));
    setAttribute(Qt::WA_DeleteOnClose);
    ImgPCX = new PictureControl(this);
    ImgPCX->setObjectName(QStringLiteral("ImgPCX"));
    loaded_ = QPoint(int(settings_.readNumber(kApp, kSection, kLeft, 2000)),
                     int(settings_.readNumber(kApp, kSection, kTop, 2000)));
    move(loaded_ / kPositionTwips);
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
    const auto keep = [](int stored, int pixels) {
        return stored / kPositionTwips == pixels ? stored : pixels * kPositionTwips;
    };
    settings_.writeNumber(kApp, kSection, kTop, keep(loaded_.y(), y()));
    settings_.writeNumber(kApp, kSection, kLeft, keep(loaded_.x(), x()));
}

} // namespace crateward
