#include "frm_txt.hpp"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QPlainTextEdit>

#include <algorithm>

#include "settings_keys.hpp"

namespace crateward {

namespace {

constexpr const char* kSection = "Affichage texte";
constexpr int kTwipsPerPixel = 15;

int px(long twips) {
    return int(twips / kTwipsPerPixel);
}
int twips(int pixels) {
    return pixels * kTwipsPerPixel;
}

} // namespace

frmTXT::frmTXT(const SettingsStore& settings, QWidget* owner)
    : QWidget(owner, Qt::Window), settings_(settings) {
    setObjectName(QStringLiteral("frmTXT"));
    setAttribute(Qt::WA_DeleteOnClose);
    text = new QPlainTextEdit(this);
    text->setObjectName(QStringLiteral("text"));
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    const long top = settings_.readNumber(kApp, kSection, "Text Top", 2000);
    const long left = settings_.readNumber(kApp, kSection, "Text Left", 2000);
    const long width = settings_.readNumber(kApp, kSection, "Text Width", 6000);
    const long height = settings_.readNumber(kApp, kSection, "Text Height", 6000);
    loaded_ = {int(left), int(top), int(width), int(height)};
    move(px(left), px(top));
    resize(std::max(1, px(width)), std::max(1, px(height)));
}

void frmTXT::showText(const QString& caption, const QString& content) {
    setWindowTitle(caption);
    text->setPlainText(content);
}

void frmTXT::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The text box fills the client area less 40 twips each way.
    text->setGeometry(0, 0, std::max(0, (twips(width()) - 40) / kTwipsPerPixel),
                      std::max(0, (twips(height()) - 40) / kTwipsPerPixel));
}

void frmTXT::closeEvent(QCloseEvent* event) {
    savePlacement();
    QWidget::closeEvent(event);
}

void frmTXT::savePlacement() {
    if (saved_) {
        return;
    }
    saved_ = true;
    // A value whose pixels did not change is written back as it was read.
    const auto keep = [](int stored, int pixels) {
        return px(stored) == pixels ? stored : twips(pixels);
    };
    settings_.writeNumber(kApp, kSection, "Text Top", keep(loaded_.y(), y()));
    settings_.writeNumber(kApp, kSection, "Text Left", keep(loaded_.x(), x()));
    settings_.writeNumber(kApp, kSection, "Text Width", keep(loaded_.width(), width()));
    settings_.writeNumber(kApp, kSection, "Text Height", keep(loaded_.height(), height()));
}

} // namespace crateward
