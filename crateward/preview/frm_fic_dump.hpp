// The hex dump window frmFicDump: one list Liste in "Courier New" 8 pt (a
// monospace font of the system when that one is missing), owned by the main
// window. Top, Left and Height are kept in section "Affichage texte"; the
// width is fixed, and a maximised window goes back to a normal one at the
// screen's top-left corner, as tall as the screen less 500 twips.
#pragma once

#include <QPoint>
#include <QWidget>

#include "common/settings_store.hpp"

class QListWidget;

namespace crateward {

class frmFicDump : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidthTwips = 7700;
    static constexpr int kListWidthTwips = 7600;

    frmFicDump(const common::SettingsStore& settings, QWidget* owner);
    void savePlacement();

    QListWidget* Liste = nullptr;

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Resize();

    const common::SettingsStore& settings_;
    QRect loaded_; // twips as read (the width unused)
    bool saved_ = false;
    bool resizing_ = false;
};

} // namespace crateward
