// The main window "Meshglass": open, about and exit buttons, the draw-mode
// option buttons and the drawing area PicView, in which the model named on
// the command line or opened here is drawn through the renderer and turned
// by dragging with a mouse button held.
#pragma once

#include "ViewRenderer.hpp"
#include "meshglass/ModelTextures.hpp"
#include "meshglass/TextureLookup.hpp"
#include "meshglass/class3do.hpp"

#include <QColor>
#include <QWidget>

#include <array>
#include <functional>
#include <map>
#include <memory>

class QPushButton;
class QRadioButton;
class QLabel;

namespace meshglass {

class PicViewBox;
class PieceTree;

class Frm3do : public QWidget {
public:
    explicit Frm3do(ViewRenderer& renderer, QWidget* parent = nullptr);
    ~Frm3do() override;

    // Loading the window: LoadSettings, InitializeGraphics, then show.
    void Form_Load();
    void LoadSettings();
    void InitializeGraphics();
    void Form_Resize();
    void Open3DO(const QString& fileName);
    void LoadModelFile(const QString& fileName);
    // Hands the shown model to the renderer, leaving out unticked pieces
    // with their children; fit: then sets the camera so the model fits.
    void BuildModel(bool fit = true);

    void PicView_Paint();
    void PicView_MouseDown(Qt::MouseButtons buttons, int x, int y);
    void PicView_MouseMove(Qt::MouseButtons buttons, int x, int y);
    void OptionGouraudShaded_Click();
    void OptionWireFrame_Click();
    void OptionFilled_Click();
    // Wheel notches away from the user bring the camera closer.
    void PicView_Wheel(int notches);
    // The piece tree's selection and ticks.
    void PieceTree_Selection();
    void PieceTree_Ticks();
    void cmdOpen_Click();
    void Command1_Click();
    void cmdExit_Click();

    // Run by Command1 to show the presentation window as a modal window,
    // and by cmdExit to unload it.
    std::function<void()> showPresentation;
    std::function<void()> unloadPresentation;

    QPushButton* cmdOpen;
    QPushButton* cmdExit;
    QPushButton* Command1;
    QRadioButton* OptionGouraudShaded;
    QRadioButton* OptionWireFrame;
    QRadioButton* OptionFilled; // the textured mode (draw mode 0)
    PicViewBox* PicView;
    QLabel* PicTextureSize; // a second picture box that nothing uses
    PieceTree* Pieces;      // the model's pieces beside the view

    std::unique_ptr<class3do> CurrentModel;
    std::int32_t DisplayMode = 2;
    std::int16_t BackColorIndex = 255;
    QColor ViewBackColor = Qt::white;
    std::int32_t LastX = 0;
    std::int32_t LastY = 0;
    std::array<std::uint8_t, 1024> Palette{};
    // The camera's distance: fitted to each model as it is built, then zoomed.
    double ViewDistance = 150;
    // Where the shown model's textures come from (its folder tree, the game
    // folder); the face records point at its pictures.
    std::unique_ptr<TextureLookup> Textures;
    // The renderer's object of each piece that was handed to it.
    std::map<const class3do*, std::int32_t> ObjectOfPiece;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void addPieces(class3do& piece, ModelRenderer& renderer, FaceTextures* textures, float x,
                   float y, float z);
    void showHighlight();

    ViewRenderer& renderer_;
    bool graphicsReady_ = false;
    bool cleanedUp_ = false;
    bool resizing_ = false;
};

} // namespace meshglass
