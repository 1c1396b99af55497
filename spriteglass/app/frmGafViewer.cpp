#include "frmGafViewer.hpp"

#include "EditCommands.hpp"
#include "ExportCommands.hpp"
#include "FrmPreview.hpp"
#include "FrmProgress.hpp"
#include "GafViewerDisplay.hpp"
#include "GafViewerLayout.hpp"
#include "ProgramPalette.hpp"
#include "common/dialogs.hpp"
#include "common/save_location.hpp"
#include "frmPres.hpp"
#include "spriteglass/text.hpp"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace spriteglass {

namespace {

template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLineEdit* readOnlyField(const char* name) {
    QLineEdit* field = named(new QLineEdit, name);
    field->setReadOnly(true);
    return field;
}

// Image 1 of the list's image list: a small strip of film frames.
QIcon animationIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.fillRect(1, 3, 14, 10, QColor(60, 60, 60));
    for (int x = 2; x < 15; x += 3) {
        painter.fillRect(x, 4, 1, 1, Qt::white);
        painter.fillRect(x, 11, 1, 1, Qt::white);
    }
    painter.fillRect(3, 6, 4, 4, QColor(230, 180, 40));
    painter.fillRect(9, 6, 4, 4, QColor(230, 120, 40));
    return QIcon(pixmap);
}

} // namespace

QString FileTitle(const QString& path) {
    const qsizetype cut =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return cut < 0 ? path : path.mid(cut + 1);
}

QString CommandLinePath(const QString& commandLine) {
    QString s = commandLine;
    if (s.endsWith(QLatin1Char('"'))) {
        s.chop(1);
    }
    if (s.startsWith(QLatin1Char('"'))) {
        s.remove(0, 1);
    }
    return s;
}

frmGafViewer::frmGafViewer(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmGafViewer"));
    setWindowTitle(QStringLiteral("Spriteglass"));
    CurrentAnimation = &emptyAnimation_;
    buildControls();
    display_ = std::make_unique<GafViewerDisplay>(*this);
    layout_ = std::make_unique<GafViewerLayout>(*this);
    exports_ = std::make_unique<ExportCommands>(*this);
    edits_ = std::make_unique<EditCommands>(*this);

    connect(ListGAF, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { selectRow(item); });
    connect(ListGAF, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { selectRow(item); });
    connect(ScrollFrames, &QSlider::valueChanged, this,
            [this](int value) { display_->FramesSliderChanged(value); });
    connect(ScrollSubframes, &QSlider::valueChanged, this,
            [this](int value) { display_->SubframesSliderChanged(value); });
    connect(CheckCenterImage, &QCheckBox::toggled, this, [this](bool checked) {
        CenterImages = checked;
        display_->DisplayPicture(GetCurrentFrame());
    });
    connect(cmdPreviewAnimation, &QPushButton::clicked, this, [this] { PreviewAnimation(); });
    connect(cmdAbout, &QPushButton::clicked, this, [this] { ShowAbout(true); });
    connect(cmdExit, &QPushButton::clicked, this, [this] { close(); });
    connect(CmdFrame, &QPushButton::clicked, this, [this] { exports_->ExportFrame(false); });
    connect(CmdSubframe, &QPushButton::clicked, this, [this] { exports_->ExportFrame(true); });
    connect(cmdExportAll, &QPushButton::clicked, this, [this] { exports_->ExportAll(); });
    connect(cmdExportSequence, &QPushButton::clicked, this, [this] { exports_->ExportSequence(); });
    connect(CmdFramePng, &QPushButton::clicked, this, [this] { edits_->ExportPng(); });
    connect(CmdReplaceFrame, &QPushButton::clicked, this, [this] { edits_->ReplaceFrame(); });
    connect(CmdSaveAsGaf, &QPushButton::clicked, this, [this] { edits_->SaveAsGaf(); });
    connect(SpinZoom, &QSpinBox::valueChanged, this, [this](int value) { SetZoom(value); });
    PicFrame->installEventFilter(this);
    display_->UpdateCommands();
    addKeys();
    PicSplitter->onReleased = [this] { layout_->Resize(); };
    resize(760, 520);
}

frmGafViewer::~frmGafViewer() = default;

void frmGafViewer::buildControls() {
    ListGAF = named(new QTreeWidget(this), "ListGAF");
    ListGAF->setRootIsDecorated(false);
    ListGAF->setSelectionMode(QAbstractItemView::SingleSelection);
    PicSplitter = new SplitterBar(this);
    PicView = named(new QWidget(this), "PicView");
    PicView2 = named(new QWidget(PicView), "PicView2");
    PicScroll = named(new QScrollArea(PicView2), "PicScroll");
    PicScroll->setFrameShape(QFrame::NoFrame);
    PicScroll->setWidgetResizable(false);
    PicFrame = named(new PictureBox, "PicFrame");
    PicScroll->setWidget(PicFrame);
    ScrollFrames = named(new QSlider(Qt::Horizontal, PicView2), "ScrollFrames");
    ScrollSubframes = named(new QSlider(Qt::Horizontal, PicView2), "ScrollSubframes");
    for (QSlider* slider : {ScrollFrames, ScrollSubframes}) {
        slider->setRange(1, 2);
        slider->setEnabled(false);
        slider->setPageStep(1);
        slider->setTickPosition(QSlider::TicksBelow);
    }

    picCMD = named(new QWidget(PicView), "picCMD");
    FrameInfo = named(new QGroupBox(QStringLiteral("Frame Information"), picCMD), "FrameInfo");
    TxtWidth = readOnlyField("TxtWidth");
    TxtHeight = readOnlyField("TxtHeight");
    TxtXPos = readOnlyField("TxtXPos");
    TxtYPos = readOnlyField("TxtYPos");
    TxtFPS = readOnlyField("TxtFPS");
    chkCompressed = named(new QCheckBox(QStringLiteral("Compress")), "chkCompressed");
    chkCompressed->setAttribute(Qt::WA_TransparentForMouseEvents); // shown, not edited
    CmdFrame = named(new QPushButton(QStringLiteral("Export &Frame")), "CmdFrame");
    CmdSubframe = named(new QPushButton(QStringLiteral("Export &Subframe")), "CmdSubframe");
    auto* info = new QFormLayout(FrameInfo);
    info->addRow(QStringLiteral("Width"), TxtWidth);
    info->addRow(QStringLiteral("Height"), TxtHeight);
    info->addRow(QStringLiteral("X position"), TxtXPos);
    info->addRow(QStringLiteral("Y position"), TxtYPos);
    info->addRow(QStringLiteral("Framerate"), TxtFPS);
    info->addRow(chkCompressed);
    CmdFramePng = named(new QPushButton(QStringLiteral("Export as PNG...")), "CmdFramePng");
    info->addRow(CmdFrame);
    info->addRow(CmdSubframe);
    info->addRow(CmdFramePng);

    frameCMD = named(new QGroupBox(QStringLiteral("Commands"), picCMD), "frameCMD");
    cmdPreviewAnimation =
        named(new QPushButton(QStringLiteral("Preview Animation")), "cmdPreviewAnimation");
    cmdExportAll = named(new QPushButton(QStringLiteral("Export All images...")), "cmdExportAll");
    cmdExportSequence =
        named(new QPushButton(QStringLiteral("Export sequence")), "cmdExportSequence");
    CheckCenterImage =
        named(new QCheckBox(QStringLiteral("Center images in view")), "CheckCenterImage");
    CmdReplaceFrame = named(new QPushButton(QStringLiteral("Replace frame...")), "CmdReplaceFrame");
    CmdSaveAsGaf = named(new QPushButton(QStringLiteral("Save as GAF...")), "CmdSaveAsGaf");
    SpinZoom = named(new QSpinBox, "SpinZoom");
    SpinZoom->setRange(1, 8);
    SpinZoom->setSuffix(QStringLiteral("x"));
    SpinZoom->setPrefix(QStringLiteral("Zoom "));
    cmdAbout = named(new QPushButton(QStringLiteral("About...")), "cmdAbout");
    cmdExit = named(new QPushButton(QStringLiteral("Close")), "cmdExit");
    auto* commands = new QVBoxLayout(frameCMD);
    for (QWidget* w : std::initializer_list<QWidget*>{
             cmdPreviewAnimation, cmdExportAll, cmdExportSequence, CheckCenterImage, SpinZoom,
             CmdReplaceFrame, CmdSaveAsGaf, cmdAbout, cmdExit}) {
        commands->addWidget(w);
    }
    auto* pane = new QVBoxLayout(picCMD);
    pane->setContentsMargins(0, 0, 0, 0);
    pane->addWidget(FrameInfo);
    pane->addWidget(frameCMD);
    pane->addStretch();
}

bool frmGafViewer::SetUpWindow(const QString& commandLine) {
    ListGAF->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Animate"),
                              QStringLiteral("Frames"), QStringLiteral("Subframes")});
    const int widths[] = {1000, 500, 500, 700};
    for (int c = 0; c < 4; ++c) {
        ListGAF->header()->resizeSection(c, toPixels(widths[c]));
    }
    // Names hold up to 32 characters: the column is wide enough for them,
    // with the icon, and the user can still drag its edge.
    ListGAF->header()->setSectionResizeMode(QHeaderView::Interactive);
    const int nameWidth =
        ListGAF->fontMetrics().horizontalAdvance(QString(32, QLatin1Char('n'))) + 32;
    ListGAF->header()->resizeSection(0, std::max(ListGAF->header()->sectionSize(0), nameWidth));
    // InitializeGraphics reads the palette.
    if (!InitializeGraphics()) {
        return false;
    }
    PicSplitter->setLeft(3000);
    layout_->Resize();
    InitializeCommands(commandLine);
    return true;
}

bool frmGafViewer::InitializeGraphics() {
    LoadProgramPalette();
    if (!Frame.Initialize(1024, 1024, PicFrame, ProgramPalette())) {
        common::Dialogs::current().message(this, classFastWin::memoryMessage(), QString(),
                                           common::MessageIcon::Information,
                                           common::MessageButtons::Ok);
        close();
        return false;
    }
    return true;
}

void frmGafViewer::InitializeCommands(const QString& commandLine) {
    if (commandLine.isEmpty()) {
        StartMode = 2;
        ShowAbout(false);
        hide();
        return;
    }
    const QString s = CommandLinePath(commandLine);
    if (s.right(3).toLower() != QStringLiteral("gaf")) {
        return;
    }
    SetCommandsEnabled(false);
    {
        // The window and the wait cursor show only for a load that lasts.
        FrmProgress progress(this);
        progress.Status->setText(QStringLiteral("Loading GAF file..."));
        if (CurrentGaf->Load(std::filesystem::path(QFile::encodeName(s).toStdString()),
                             [&](int value, int max) { progress.Update(value, max); })) {
            CurrentFile = s;
        }
    }
    SetCommandsEnabled(true);
    OpenFirstAnimation();
    StartMode = 1;
}

void frmGafViewer::OpenFirstAnimation() {
    const auto& animations = CurrentGaf->Animations();
    CurrentAnimation = animations.empty() ? &emptyAnimation_ : &animations.front();
    CurrentFrame = 0;
    CurrentSubframe = 0;
    CreateList();
    display_->DisplayAnimation(1);
    setWindowTitle(CurrentFile.isEmpty()
                       ? QStringLiteral("Spriteglass")
                       : FileTitle(CurrentFile) + QStringLiteral(" - Spriteglass"));
}

void frmGafViewer::CreateList() {
    const QSignalBlocker blocker(ListGAF);
    ListGAF->clear();
    const QIcon icon = animationIcon();
    const auto& animations = CurrentGaf->Animations();
    for (std::size_t i = 0; i < animations.size(); ++i) {
        const classGAFAnimation& animation = animations[i];
        auto* item = new QTreeWidgetItem(ListGAF);
        item->setText(0, QString::fromStdString(Cp1252ToUtf8(animation.Name())));
        item->setIcon(0, icon);
        item->setText(1, animation.Animated() ? QStringLiteral("Yes") : QStringLiteral("No"));
        item->setText(2, QString::number(animation.Frames().size()));
        item->setText(3, QString::number(animation.SubframeTotal()));
        item->setData(0, Qt::UserRole, qulonglong(i));
    }
}

void frmGafViewer::selectRow(QTreeWidgetItem* item) {
    if (!item) {
        return;
    }
    const std::size_t index = item->data(0, Qt::UserRole).toULongLong();
    if (index < CurrentGaf->Animations().size()) {
        CurrentAnimation = &CurrentGaf->Animations()[index];
        display_->DisplayAnimation(1);
    }
}

void frmGafViewer::SetCommandsEnabled(bool enabled) {
    ListGAF->setEnabled(enabled);
    PicView->setEnabled(enabled);
}

const classGAFFrame& frmGafViewer::GetCurrentFrame() const {
    static const classGAFFrame empty;
    const auto& frames = CurrentAnimation->Frames();
    if (CurrentFrame <= 0 || std::size_t(CurrentFrame) > frames.size()) {
        return empty;
    }
    const classGAFFrame& frame = frames[std::size_t(CurrentFrame) - 1];
    if (CurrentSubframe <= 0) {
        return frame;
    }
    if (std::size_t(CurrentSubframe) > frame.Subframes().size()) {
        return empty;
    }
    return frame.Subframes()[std::size_t(CurrentSubframe) - 1];
}

void frmGafViewer::PreviewAnimation() {
    // The preview keeps its own reference to the animation (and so to the file).
    auto* preview = new FrmPreview(
        std::shared_ptr<const classGAFAnimation>(CurrentGaf, CurrentAnimation), this);
    previews_.removeAll(nullptr);
    previews_.push_back(preview);
    preview->Start();
}

void frmGafViewer::ShowAbout(bool wait) {
    auto* pres = new frmPres(this);
    pres->setAttribute(Qt::WA_DeleteOnClose);
    pres->onOk = [this] {
        if (StartMode != 1) {
            close();
            emit endProgram();
        }
    };
    if (wait) {
        pres->exec();
    } else {
        pres->show();
    }
}

QString frmGafViewer::SaveStart(const QString& name) const {
    return common::SaveDialogStart(LastSaveFolder, CurrentFile, name);
}

void frmGafViewer::RememberSave(const QString& chosen, bool folder) {
    if (!chosen.isEmpty()) {
        LastSaveFolder = folder ? QDir(chosen).absolutePath() : common::SaveFolderOf(chosen);
    }
}

void frmGafViewer::SetZoom(int zoom) {
    Zoom = std::clamp(zoom, 1, 8);
    if (SpinZoom->value() != Zoom) {
        const QSignalBlocker blocker(SpinZoom);
        SpinZoom->setValue(Zoom);
    }
    display_->DisplayPicture(GetCurrentFrame());
}

// The frame pixel under `point` (in PicFrame) stays under the pointer: the
// scroll bars follow the zoom, as far as the picture's size lets them.
void frmGafViewer::zoomAround(int zoom, QPointF point) {
    const QPointF inView = point + QPointF(PicFrame->pos());
    const QPointF framePixel = point / Zoom - QPointF(display_->ShownOrigin());
    SetZoom(zoom);
    const QPointF after = (framePixel + QPointF(display_->ShownOrigin())) * Zoom - inView;
    PicScroll->horizontalScrollBar()->setValue(qRound(after.x()));
    PicScroll->verticalScrollBar()->setValue(qRound(after.y()));
}

// Left and Right step through the frames, Up and Down through the entries,
// wherever the focus is in the window.
void frmGafViewer::addKeys() {
    const auto stepFrame = [this](int step) {
        if (ScrollFrames->isEnabled()) {
            ScrollFrames->setValue(ScrollFrames->value() + step);
        }
    };
    const auto stepEntry = [this](int step) {
        const int row = ListGAF->indexOfTopLevelItem(ListGAF->currentItem()) + step;
        if (QTreeWidgetItem* item = ListGAF->topLevelItem(std::max(row, 0))) {
            ListGAF->setCurrentItem(item);
        }
    };
    const std::pair<Qt::Key, std::function<void()>> keys[] = {
        {Qt::Key_Left, [=] { stepFrame(-1); }},
        {Qt::Key_Right, [=] { stepFrame(1); }},
        {Qt::Key_Up, [=] { stepEntry(-1); }},
        {Qt::Key_Down, [=] { stepEntry(1); }},
    };
    for (const auto& [key, action] : keys) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        connect(shortcut, &QShortcut::activated, this, action);
    }
}

bool frmGafViewer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == PicFrame && event->type() == QEvent::Wheel) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const int delta = wheel->angleDelta().y();
        if (delta != 0) {
            zoomAround(Zoom + (delta > 0 ? 1 : -1), wheel->position());
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmGafViewer::FreeGraphics() {
    Frame.Release();
}

void frmGafViewer::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!isMinimized()) {
        layout_->Resize();
    }
}

void frmGafViewer::closeEvent(QCloseEvent* event) {
    for (const QPointer<FrmPreview>& preview : previews_) {
        if (preview) {
            preview->close();
        }
    }
    FreeGraphics();
    event->accept();
    emit endProgram();
}

} // namespace spriteglass
