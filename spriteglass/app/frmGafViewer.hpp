// The main window of Spriteglass: the list of the file's animations, the
// frame display with its two sliders, the frame information and the
// commands. Display logic lives in GafViewerDisplay, the layout rules in
// GafViewerLayout and the export commands in ExportCommands.
#pragma once

#include "PictureBox.hpp"
#include "SplitterBar.hpp"
#include "classFastWin.hpp"
#include "spriteglass/gaf_file.hpp"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QList>
#include <QPointF>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QTreeWidget>
#include <QWidget>

#include <memory>

namespace spriteglass {

class EditCommands;
class ExportCommands;
class FrmPreview;
class GafViewerDisplay;
class GafViewerLayout;

class frmGafViewer : public QWidget {
    Q_OBJECT
public:
    explicit frmGafViewer(QWidget* parent = nullptr);
    ~frmGafViewer() override;

    // Start-up: columns, palette, main surface, splitter state, then the
    // command line. False when the main surface could not be made (the
    // memory message has been shown and the window closed).
    bool SetUpWindow(const QString& commandLine);
    void SetCommandsEnabled(bool enabled);
    void CreateList();
    // The frame or subframe shown (a new empty frame when none).
    const classGAFFrame& GetCurrentFrame() const;
    GafViewerDisplay& display() { return *display_; }
    const QList<QPointer<FrmPreview>>& previews() const { return previews_; }

    // Program state.
    std::shared_ptr<classGAF> CurrentGaf = std::make_shared<classGAF>();
    const classGAFAnimation* CurrentAnimation = nullptr;
    int CurrentFrame = 0;
    int CurrentSubframe = 0;
    QString CurrentFile;
    bool CenterImages = false;
    int StartMode = 0;
    // Pixels of the screen per frame pixel in PicFrame, 1 to 8.
    int Zoom = 1;
    // The folder of the last save or export of this run: save dialogs open
    // there, else in the open file's folder.
    QString LastSaveFolder;
    // A picture was replaced since the file was loaded or saved.
    bool Modified = false;
    classFastWin Frame; // the main surface, 1024 x 1024, belonging to PicFrame

    // Controls, named as their objectName.
    QTreeWidget* ListGAF;
    SplitterBar* PicSplitter;
    QWidget* PicView;
    QWidget* PicView2;
    // The frame display inside its scroll area: a zoomed frame larger than
    // the area is scrolled to.
    QScrollArea* PicScroll;
    PictureBox* PicFrame;
    QSlider* ScrollFrames;
    QSlider* ScrollSubframes;
    QWidget* picCMD;
    QGroupBox* frameCMD;
    QPushButton* cmdPreviewAnimation;
    QPushButton* cmdExportAll;
    QPushButton* cmdExportSequence;
    QCheckBox* CheckCenterImage;
    QPushButton* cmdAbout;
    QPushButton* cmdExit;
    QGroupBox* FrameInfo;
    QLineEdit* TxtWidth;
    QLineEdit* TxtHeight;
    QLineEdit* TxtXPos;
    QLineEdit* TxtYPos;
    QLineEdit* TxtFPS;
    QCheckBox* chkCompressed;
    QPushButton* CmdFrame;
    QPushButton* CmdSubframe;
    QPushButton* CmdFramePng;
    QPushButton* CmdReplaceFrame;
    QPushButton* CmdSaveAsGaf;
    QSpinBox* SpinZoom;

    // The proposed file `name` in the folder the save dialogs open in (the
    // folder itself for an empty name), and the keeping of the folder the
    // user chose (a file's, or a chosen folder itself).
    QString SaveStart(const QString& name = QString()) const;
    void RememberSave(const QString& chosen, bool folder = false);

    // Sets the zoom (clamped to 1..8) and shows the frame again.
    void SetZoom(int zoom);
    // SetZoom from the mouse wheel, keeping the pixel under the pointer still.
    void zoomAround(int zoom, QPointF point);

signals:
    // The program is to end (the main window closed, or "OK" of the
    // presentation window when the program was not started with a file).
    void endProgram();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    bool InitializeGraphics();
    void InitializeCommands(const QString& commandLine);
    void OpenFirstAnimation();
    void selectRow(QTreeWidgetItem* item);
    void PreviewAnimation();
    void ShowAbout(bool wait);
    void FreeGraphics();
    void addKeys();

    classGAFAnimation emptyAnimation_;
    std::unique_ptr<GafViewerDisplay> display_;
    std::unique_ptr<GafViewerLayout> layout_;
    std::unique_ptr<ExportCommands> exports_;
    std::unique_ptr<EditCommands> edits_;
    QList<QPointer<FrmPreview>> previews_;
};

// The part of a path after its last separator, or the whole path.
QString FileTitle(const QString& path);
// The command line's path: a trailing and then a leading double quote dropped.
QString CommandLinePath(const QString& commandLine);

} // namespace spriteglass
