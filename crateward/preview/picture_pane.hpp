// The picture pane visualisateur of the main window: the image control
// PicUnit, the zoom box TxtZoom with its up-down control UpDown1, the
// buttons cmdEnlargePCX and cmdSaveImg, and the enlarged picture window
// frmShowPCX.
//
// Pictures are read from their working copies (keyed by the member's full
// path). While a modification is under way the unpacked copy is shown and
// never replaced or deleted.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "frm_show_pcx.hpp"

class QLineEdit;
class QPushButton;

namespace crateward {

class frmMain;
class PictureControl;
class PreviewDispatch;
class UpDownControl;

class PicturePane : public QObject {
    Q_OBJECT
public:
    // Twips per picture pixel, and the picture height in twips above which
    // the pane shows a quarter-size picture and the enlarge button.
    static constexpr double kTwipsPerPixel = 14.58;
    static constexpr double kEnlargeAboveTwips = 1400;

    PicturePane(frmMain& window, PreviewDispatch& dispatch);

    // The preview of the list entry `name`, the member `member`.
    void Aff_PCX(const QString& member, const QString& name);
    // The preview of a unit picture: `member` is "unitpics\" + unit + ".pcx".
    void Aff_PCXfbi(const QString& member);
    // Shows the picture file at `path` in PicUnit as it is (the BMP preview).
    void showBitmap(const QString& path);
    // The enlarged window of a double-clicked picture's copy.
    void showEnlarged(const QString& copy);

    void cmdEnlargePCX_Click();
    void cmdSaveImg_Click();

    // Unloads frmShowPCX (it saves its position).
    void unload();
    frmShowPCX* enlargedWindow() const { return enlarged_; }
    const QString& currentPicture() const { return currentPicture_; }

    PictureControl* PicUnit = nullptr;
    QLineEdit* TxtZoom = nullptr;
    UpDownControl* UpDown1 = nullptr;
    QPushButton* cmdEnlargePCX = nullptr;
    QPushButton* cmdSaveImg = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showPane();
    void showCopy(const QString& copy, const QString& name);
    void TxtZoom_Change();
    void placePicture();
    frmShowPCX* loadEnlarged();

    frmMain& window_;
    PreviewDispatch& dispatch_;
    QPointer<frmShowPCX> enlarged_;
    QString currentPicture_; // the copy's full path
    QString currentName_;    // its file name
};

} // namespace crateward
