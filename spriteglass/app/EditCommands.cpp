#include "EditCommands.hpp"

#include "GafViewerDisplay.hpp"
#include "ProgramPalette.hpp"
#include "SpriteglassDialogs.hpp"
#include "common/dialogs.hpp"
#include "frmGafViewer.hpp"
#include "spriteglass/gaf_writer.hpp"
#include "spriteglass/image_files.hpp"
#include "spriteglass/picture_reader.hpp"

#include <QFile>

#include <fstream>

namespace spriteglass {

classGAFFrame* EditCommands::shownFrame() {
    frmGafViewer& v = viewer_;
    auto& animations = v.CurrentGaf->EditAnimations();
    if (animations.empty() || v.CurrentAnimation < &animations.front() ||
        v.CurrentAnimation > &animations.back()) {
        return nullptr;
    }
    auto& frames = animations[std::size_t(v.CurrentAnimation - &animations.front())].EditFrames();
    if (v.CurrentFrame < 1 || std::size_t(v.CurrentFrame) > frames.size()) {
        return nullptr;
    }
    classGAFFrame& frame = frames[std::size_t(v.CurrentFrame) - 1];
    if (v.CurrentSubframe < 1) {
        return &frame;
    }
    auto& subframes = frame.EditSubframes();
    return std::size_t(v.CurrentSubframe) <= subframes.size()
               ? &subframes[std::size_t(v.CurrentSubframe) - 1]
               : nullptr;
}

void EditCommands::ExportPng() {
    frmGafViewer& v = viewer_;
    const classGAFFrame& frame = v.GetCurrentFrame();
    if (frame.Width() <= 0 || !frame.Subframes().empty()) {
        return;
    }
    const std::optional<QString> file = common::Dialogs::current().saveFile(
        &v, QString(), QStringLiteral("PNG files (*.png)|*.png"), QStringLiteral("png"),
        v.SaveStart());
    if (file) {
        v.RememberSave(*file);
    }
    if (file && !file->isEmpty() &&
        !SavePng(DiskPath(*file), frame.Pixels(), ProgramPalette(), frame.Width(), frame.Height(),
                 MaskIndex)) {
        ShowWarning(&v, QStringLiteral("%1 cannot be written.").arg(*file));
    }
}

void EditCommands::ReplaceFrame() {
    frmGafViewer& v = viewer_;
    classGAFFrame* frame = shownFrame();
    if (!frame) {
        return;
    }
    if (!frame->Subframes().empty()) {
        // Only a subframe nested in a subframe gets here: the window shows
        // one level of subframes and never one of these pictures alone.
        ShowWarning(&v,
                    QStringLiteral("This subframe is made of subframes of its own, which the "
                                   "window does not show one by one: it cannot be replaced here."));
        return;
    }
    const std::optional<QString> file = common::Dialogs::current().openFile(
        &v, QStringLiteral("Replace frame"), QStringLiteral("Pictures (*.png;*.bmp)|*.png;*.bmp"),
        QString());
    if (!file || file->isEmpty()) {
        return;
    }
    std::ifstream in(DiskPath(*file), std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    std::string error;
    const std::optional<Picture> picture = ReadPicture(bytes, error);
    if (!picture) {
        ShowWarning(&v, QStringLiteral("%1: %2").arg(*file, QString::fromStdString(error)));
        return;
    }
    if (!picture->indexed &&
        common::Dialogs::current().message(
            &v,
            QStringLiteral("The picture has its own colours. Map them to the game palette "
                           "(transparent pixels become index 9)?"),
            QString(), common::MessageIcon::Question,
            common::MessageButtons::YesNo) != common::MessageAnswer::Yes) {
        return;
    }
    frame->ReplacePicture(picture->width, picture->height,
                          QuantiseToPalette(*picture, ProgramPalette()));
    v.display().DisplayFrame(*frame, v.CurrentSubframe > 0, v.CurrentSubframe);
    v.display().UpdateCommands();
    v.Modified = true;
}

void EditCommands::SaveAsGaf() {
    frmGafViewer& v = viewer_;
    const std::optional<QString> file = common::Dialogs::current().saveFile(
        &v, QString(), QStringLiteral("GAF files (*.gaf)|*.gaf"), QStringLiteral("gaf"),
        v.SaveStart(FileTitle(v.CurrentFile)));
    if (!file || file->isEmpty()) {
        return;
    }
    v.RememberSave(*file);
    std::string error;
    if (!SaveGafFile(DiskPath(*file), *v.CurrentGaf, error)) {
        ShowWarning(&v, QString::fromStdString(error));
        return;
    }
    v.Modified = false;
}

} // namespace spriteglass
