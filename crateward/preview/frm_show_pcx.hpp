// The enlarged picture window frmShowPCX: one image control ImgPCX filling
// the client area. It is owned by the main window and keeps its position
// under "Show PCX Top" and "Show PCX Left" (section "Affichage texte").
#pragma once

#include <QPoint>
#include <QWidget>

#include "common/settings_store.hpp"

namespace crateward {

class PictureControl;

class frmShowPCX : public QWidget {
    Q_OBJECT
public:
    // Window sizes of pictures: twips per picture pixel.
    static constexpr double kTwipsPerPixel = 14.58;

    frmShowPCX(const common::SettingsStore& settings, QWidget* owner);

    // Sets the window's client area from sizes in twips.
    void setSizeTwips(double width, double height);
    // Writes the position back (once).
    void savePlacement();

    PictureControl* ImgPCX = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    const common::SettingsStore& settings_;
    QPoint loaded_; // twips as read
    bool saved_ = false;
};

} // namespace crateward
