#include "Frm3do.hpp"

#include "GameFolder.hpp"
#include "MeshglassSettings.hpp"
#include "PicViewBox.hpp"
#include "PieceTree.hpp"

#include "common/dialogs.hpp"
#include "common/program_paths.hpp"
#include "meshglass/ModelFile.hpp"
#include "meshglass/ViewFit.hpp"
#include "spriteglass/palette.hpp"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <cmath>

namespace meshglass {

namespace {

// Window geometry converts at 15 twips per pixel.
int pixelsOfTwips(int twips) {
    return int(std::lround(twips / 15.0));
}

constexpr int PicViewTop = 40;
constexpr int PieceTreeWidth = 260;

// Passes the model's objects on only when the renderer's store was made, and
// keeps the bounds of what it passed.
class StoreGuard : public ModelRenderer {
public:
    StoreGuard(ModelRenderer& renderer, bool ready) : renderer_(renderer), ready_(ready) {}
    void RemoveAllObjects() override { renderer_.RemoveAllObjects(); }
    std::int32_t Add3DObject(const RenderObject& object) override {
        if (!ready_) {
            return -1;
        }
        bounds.Add(object);
        lastAdded = renderer_.Add3DObject(object);
        ++added;
        return lastAdded;
    }
    void DrawView() override { renderer_.DrawView(); }

    ViewBounds bounds;
    std::int32_t lastAdded = -1;
    int added = 0;

private:
    ModelRenderer& renderer_;
    bool ready_;
};

} // namespace

Frm3do::Frm3do(ViewRenderer& renderer, QWidget* parent) : QWidget(parent), renderer_(renderer) {
    setObjectName(QStringLiteral("Frm3do"));
    setWindowTitle(QStringLiteral("Meshglass"));
    auto named = [](QWidget* widget, const char* name) {
        widget->setObjectName(QLatin1String(name));
        return widget;
    };
    cmdOpen = new QPushButton(QStringLiteral("Open"), this);
    cmdExit = new QPushButton(QStringLiteral("&Exit"), this);
    Command1 = new QPushButton(QStringLiteral("About"), this);
    OptionGouraudShaded = new QRadioButton(QStringLiteral("&Gouraud Shaded"), this);
    OptionWireFrame = new QRadioButton(QStringLiteral("&Wireframe"), this);
    OptionFilled = new QRadioButton(QStringLiteral("&Filled"), this);
    PicView = new PicViewBox(this);
    PicTextureSize = new QLabel(this);
    Pieces = new PieceTree(this);
    named(cmdOpen, "cmdOpen");
    named(cmdExit, "cmdExit");
    named(Command1, "Command1");
    named(OptionGouraudShaded, "OptionGouraudShaded");
    named(OptionWireFrame, "OptionWireFrame");
    named(OptionFilled, "OptionFilled");
    named(PicView, "PicView");
    named(PicTextureSize, "PicTextureSize");
    named(Pieces, "PieceTree");
    PicTextureSize->hide();
    OptionWireFrame->setChecked(true);

    int x = pixelsOfTwips(50);
    for (QWidget* widget : std::initializer_list<QWidget*>{
             cmdOpen, Command1, cmdExit, OptionGouraudShaded, OptionWireFrame, OptionFilled}) {
        widget->adjustSize();
        widget->move(x, 6);
        x += widget->width() + 8;
    }
    PicView->move(pixelsOfTwips(50), PicViewTop);

    connect(cmdOpen, &QPushButton::clicked, this, [this] { cmdOpen_Click(); });
    connect(cmdExit, &QPushButton::clicked, this, [this] { cmdExit_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(OptionGouraudShaded, &QRadioButton::clicked, this,
            [this] { OptionGouraudShaded_Click(); });
    connect(OptionWireFrame, &QRadioButton::clicked, this, [this] { OptionWireFrame_Click(); });
    connect(OptionFilled, &QRadioButton::clicked, this, [this] { OptionFilled_Click(); });
    PicView->onPaint = [this] { PicView_Paint(); };
    PicView->onMouseDown = [this](Qt::MouseButtons b, int px, int py) {
        PicView_MouseDown(b, px, py);
    };
    PicView->onMouseMove = [this](Qt::MouseButtons b, int px, int py) {
        PicView_MouseMove(b, px, py);
    };
    PicView->onWheel = [this](int notches) { PicView_Wheel(notches); };
    Pieces->onSelection = [this] { PieceTree_Selection(); };
    Pieces->onTicks = [this] { PieceTree_Ticks(); };
    resize(640 + PieceTreeWidth, 540);
}

Frm3do::~Frm3do() {
    if (!cleanedUp_) {
        cleanedUp_ = true;
        renderer_.Cleanup3D();
    }
}

void Frm3do::Form_Load() {
    LoadSettings();
    InitializeGraphics();
    show();
}

void Frm3do::LoadSettings() {
    ViewBackColor = Qt::white;
    BackColorIndex = 255;
    QPalette colours = PicView->palette();
    colours.setColor(QPalette::Window, ViewBackColor);
    PicView->setPalette(colours);
    DisplayMode = DisplayModeSetting();
}

void Frm3do::InitializeGraphics() {
    Palette = spriteglass::LoadPalette(common::ProgramDataFile("palette.dat"));
    graphicsReady_ = renderer_.Initialize(Palette) != 0;
    if (!graphicsReady_) {
        common::Dialogs::current().message(this, QStringLiteral("Initialize3D failed"),
                                           QStringLiteral("Error"), common::MessageIcon::Warning,
                                           common::MessageButtons::Ok);
    }
    Form_Resize();
    renderer_.CreateView(PicView->winId(), PicView->width(), PicView->height());
    renderer_.Set3DView(std::int16_t(DisplayMode), BackColorIndex);
    Form_Resize();
}

void Frm3do::Form_Resize() {
    if (resizing_) {
        return;
    }
    resizing_ = true;
    QCoreApplication::processEvents();
    resizing_ = false;
    if (isMinimized()) {
        return;
    }
    // The piece tree takes the right-hand side; the view keeps its margins.
    const int width = std::max(1, this->width() - pixelsOfTwips(100) - PieceTreeWidth);
    const int height = std::max(1, this->height() - PicViewTop - pixelsOfTwips(50));
    PicView->resize(width, height);
    Pieces->setGeometry(PicView->x() + width + pixelsOfTwips(50), PicViewTop,
                        PieceTreeWidth - pixelsOfTwips(50), height);
    renderer_.ResizeView(PicView->width(), PicView->height());
}

void Frm3do::resizeEvent(QResizeEvent*) {
    Form_Resize();
}

void Frm3do::PicView_Paint() {
    renderer_.DrawView();
}

void Frm3do::PicView_MouseDown(Qt::MouseButtons, int x, int y) {
    // A drag turns the camera from where it starts.
    LastX = x;
    LastY = y;
}

void Frm3do::PicView_MouseMove(Qt::MouseButtons buttons, int x, int y) {
    if (buttons == Qt::NoButton) {
        return;
    }
    renderer_.RotateView(0, float((x - LastX) / 30.0), 0);
    renderer_.RotateView(float((LastY - y) / 30.0), 0, 0);
    LastX = x;
    LastY = y;
    renderer_.DrawView();
}

void Frm3do::OptionGouraudShaded_Click() {
    DisplayMode = 1;
    renderer_.Set3DView(1, BackColorIndex);
    renderer_.DrawView();
}

void Frm3do::OptionWireFrame_Click() {
    DisplayMode = 2;
    renderer_.Set3DView(2, BackColorIndex);
    renderer_.DrawView();
}

void Frm3do::OptionFilled_Click() {
    DisplayMode = 0;
    renderer_.Set3DView(0, BackColorIndex);
    renderer_.DrawView();
}

void Frm3do::PicView_Wheel(int notches) {
    ViewDistance = ZoomedDistance(ViewDistance, -notches);
    renderer_.SetViewDistance(float(ViewDistance));
    renderer_.DrawView();
}

void Frm3do::cmdOpen_Click() {
    const std::optional<QString> name = common::Dialogs::current().openFile(
        this, QStringLiteral("Open"), QStringLiteral("3do files (*.3do)|*.3do"), QDir::homePath());
    if (name && !name->isEmpty()) {
        Open3DO(*name);
    }
    while (QApplication::overrideCursor() != nullptr) {
        QApplication::restoreOverrideCursor();
    }
}

void Frm3do::Open3DO(const QString& fileName) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    LoadModelFile(fileName);
    QApplication::restoreOverrideCursor();
}

void Frm3do::LoadModelFile(const QString& fileName) {
    std::optional<ModelFile> file = ModelFile::open(QFile::encodeName(fileName).toStdString());
    if (!file) {
        common::Dialogs::current().message(
            this, QStringLiteral("There was an error loading the 3do file you selected."),
            QStringLiteral("Load 3do"), common::MessageIcon::Warning, common::MessageButtons::Ok);
        return;
    }
    file->onError = [this](std::string_view text) {
        common::Dialogs::current().message(this, QString::fromLatin1(text.data(), text.size()),
                                           QString(), common::MessageIcon::None,
                                           common::MessageButtons::Ok);
    };
    CurrentModel = LoadModel(*file);
    ObjectOfPiece.clear();
    Pieces->Fill(CurrentModel.get());
    Textures = std::make_unique<TextureLookup>(Palette);
    AddModelTextureSources(*Textures, QFile::encodeName(fileName).toStdString(),
                           DetectedGameFolder());
    BuildModel();
}

void Frm3do::BuildModel(bool fit) {
    if (CurrentModel == nullptr) {
        return;
    }
    StoreGuard guarded(renderer_, graphicsReady_);
    std::optional<LookupFaceTextures> textures;
    if (Textures != nullptr) {
        textures.emplace(*Textures);
    }
    guarded.RemoveAllObjects();
    ObjectOfPiece.clear();
    addPieces(*CurrentModel, guarded, textures ? &*textures : nullptr, 0, 0, 0);
    if (fit) {
        // The whole model in view, from where the user has turned the camera.
        ViewDistance = FitDistance(guarded.bounds, PicView->width(), PicView->height());
        renderer_.SetViewDistance(float(ViewDistance));
    }
    showHighlight();
    renderer_.DrawView();
}

// The records of the tree as GLCreateModel makes them, piece by piece, so
// that each piece's object is known and unticked pieces stay out.
void Frm3do::addPieces(class3do& piece, ModelRenderer& renderer, FaceTextures* textures, float x,
                       float y, float z) {
    if (!Pieces->Ticked(&piece)) {
        return;
    }
    auto& guarded = static_cast<StoreGuard&>(renderer);
    const int before = guarded.added;
    piece.GLCreateModel(renderer, false, x, y, z, textures);
    if (guarded.added != before && guarded.lastAdded >= 0) {
        ObjectOfPiece[&piece] = guarded.lastAdded;
    }
    for (const auto& child : piece.Objects) {
        addPieces(*child, renderer, textures, piece.Position.x + x, piece.Position.y + y,
                  piece.Position.z + z);
    }
}

// The selected piece's object in the highlight colour (none: -1, also when
// the piece is hidden or has no object).
void Frm3do::showHighlight() {
    const class3do* selected = Pieces->SelectedPiece();
    const auto it = selected == nullptr ? ObjectOfPiece.end() : ObjectOfPiece.find(selected);
    renderer_.HighlightObject(it == ObjectOfPiece.end() ? -1 : it->second);
}

void Frm3do::PieceTree_Selection() {
    showHighlight();
    renderer_.DrawView();
}

void Frm3do::PieceTree_Ticks() {
    BuildModel(false);
}

void Frm3do::Command1_Click() {
    if (showPresentation) {
        showPresentation();
    }
}

void Frm3do::cmdExit_Click() {
    if (unloadPresentation) {
        unloadPresentation();
    }
    close();
}

void Frm3do::closeEvent(QCloseEvent* event) {
    if (!cleanedUp_) {
        cleanedUp_ = true;
        renderer_.Cleanup3D();
    }
    event->accept();
    QCoreApplication::quit();
}

} // namespace meshglass
