#include "ExportCommands.hpp"

#include "ProgramPalette.hpp"
#include "SpriteglassDialogs.hpp"
#include "common/dialogs.hpp"
#include "frmGafViewer.hpp"

#include <QApplication>
#include <QFile>

namespace spriteglass {

namespace {

std::optional<QString> chooseExportDirectory(frmGafViewer& viewer) {
    std::optional<QString> chosen = common::Dialogs::current().chooseDirectory(
        &viewer, QStringLiteral("Select a Location"), viewer.SaveStart());
    if (chosen) {
        viewer.RememberSave(*chosen, true);
    }
    return chosen;
}

// Tells how many pictures of an export could not be written, if any.
void reportFailures(QWidget* parent, std::size_t failed, const QString& directory) {
    if (failed > 0) {
        ShowWarning(parent, QStringLiteral("%1 of the pictures cannot be written to %2.")
                                .arg(failed)
                                .arg(directory));
    }
}

} // namespace

void ExportCommands::ExportFrame(bool subframe) {
    frmGafViewer& v = viewer_;
    const std::optional<QString> file = common::Dialogs::current().saveFile(
        &v, QString(), QStringLiteral("BMP files (*.bmp)|*.bmp"), QStringLiteral("bmp"),
        v.SaveStart());
    if (file && !file->isEmpty()) {
        v.RememberSave(*file);
        const auto& frames = v.CurrentAnimation->Frames();
        if (v.CurrentFrame >= 1 && std::size_t(v.CurrentFrame) <= frames.size()) {
            const classGAFFrame& frame = frames[std::size_t(v.CurrentFrame) - 1];
            const classGAFFrame* picture = nullptr;
            if (!subframe) {
                picture = &frame;
            } else if (v.CurrentSubframe >= 1 &&
                       std::size_t(v.CurrentSubframe) <= frame.Subframes().size()) {
                picture = &frame.Subframes()[std::size_t(v.CurrentSubframe) - 1];
            }
            // A frame made of subframes has no picture of its own to write.
            if (picture && picture->Subframes().empty() &&
                !picture->ExportFrame(DiskPath(*file), ProgramPalette())) {
                ShowWarning(&v, QStringLiteral("%1 cannot be written.").arg(*file));
            }
        }
    }
    QApplication::restoreOverrideCursor(); // the normal pointer, whatever happened
}

void ExportCommands::ExportAll() {
    frmGafViewer& v = viewer_;
    const std::optional<QString> directory = chooseExportDirectory(v);
    if (directory && !directory->isEmpty()) {
        v.SetCommandsEnabled(false);
        const std::size_t failed =
            v.CurrentGaf->ExportAllImages(DiskPath(*directory), ProgramPalette());
        v.SetCommandsEnabled(true);
        reportFailures(&v, failed, *directory);
    }
}

void ExportCommands::ExportSequence() {
    frmGafViewer& v = viewer_;
    const std::optional<QString> directory = chooseExportDirectory(v);
    if (directory && !directory->isEmpty()) {
        v.SetCommandsEnabled(false);
        const std::size_t failed =
            v.CurrentAnimation->ExportAllImages(DiskPath(*directory), ProgramPalette());
        v.SetCommandsEnabled(true);
        reportFailures(&v, failed, *directory);
    }
    v.SetCommandsEnabled(true);
}

} // namespace spriteglass
