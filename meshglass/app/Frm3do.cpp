#include "Frm3do.hpp"

#include "GameFolder.hpp"
#include "MeshglassSettings.hpp"
#include "PicViewBox.hpp"

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
        return renderer_.Add3DObject(object);
    }
    void DrawView() override { renderer_.DrawView(); }

    ViewBounds bounds;

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
    named(cmdOpen, "cmdOpen");
    named(cmdExit, "cmdExit");
    named(Command1, "Command1");
    named(OptionGouraudShaded, "OptionGouraudShaded");
    named(OptionWireFrame, "OptionWireFrame");
    named(OptionFilled, "OptionFilled");
    named(PicView, "PicView");
    named(PicTextureSize, "PicTextureSize");
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
    resize(640, 540);
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
    const int width = std::max(1, this->width() - pixelsOfTwips(100));
    const int height = std::max(1, this->height() - PicViewTop - pixelsOfTwips(50));
    PicView->resize(width, height);
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
    Textures = std::make_unique<TextureLookup>(Palette);
    AddModelTextureSources(*Textures, QFile::encodeName(fileName).toStdString(),
                           DetectedGameFolder());
    BuildModel();
}

void Frm3do::BuildModel() {
    if (CurrentModel == nullptr) {
        return;
    }
    StoreGuard guarded(renderer_, graphicsReady_);
    std::optional<LookupFaceTextures> textures;
    if (Textures != nullptr) {
        textures.emplace(*Textures);
    }
    meshglass::BuildModel(*CurrentModel, guarded, textures ? &*textures : nullptr);
    // The whole model in view, from where the user has turned the camera.
    ViewDistance = FitDistance(guarded.bounds, PicView->width(), PicView->height());
    renderer_.SetViewDistance(float(ViewDistance));
    renderer_.DrawView();
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
