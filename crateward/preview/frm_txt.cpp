#include "frm_txt.hpp"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QPlainTextEdit>

#include <algorithm>

#include "settings_keys.hpp"

#include "owned_window.hpp"
#include "twips.hpp"

namespace crateward {

namespace {

constexpr const char* kSection = "Affichage texte";
} // namespace

frmTXT::frmTXT(const common::SettingsStore& settings, QWidget* owner)
    : QWidget(owner, kOwnedWindowFlags), settings_(settings) {
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
    settings_.writeNumber(kApp, kSection, "Text Top", keptTwips(loaded_.y(), y()));
    settings_.writeNumber(kApp, kSection, "Text Left", keptTwips(loaded_.x(), x()));
    settings_.writeNumber(kApp, kSection, "Text Width", keptTwips(loaded_.width(), width()));
    settings_.writeNumber(kApp, kSection, "Text Height", keptTwips(loaded_.height(), height()));
}

} // namespace crateward
