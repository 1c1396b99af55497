// frmTXT: one file shown as plain text in the text box `text`, the file's
// path as caption. Owned by the main window (a child window of it, so it
// stays in front and closes with it). Its placement is read from section
// "Affichage texte" when it loads and written back when it unloads.
#pragma once

#include <QRect>
#include <QWidget>

#include "common/settings_store.hpp"

class QPlainTextEdit;

namespace crateward {

class frmTXT : public QWidget {
    Q_OBJECT
public:
    frmTXT(const common::SettingsStore& settings, QWidget* owner);

    // Replaces the text and the caption.
    void showText(const QString& caption, const QString& content);

    QPlainTextEdit* text = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void savePlacement();

    const common::SettingsStore& settings_;
    QRect loaded_; // twips as read
    bool saved_ = false;
};

} // namespace crateward
