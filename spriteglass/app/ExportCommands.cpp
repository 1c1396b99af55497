#include "ExportCommands.hpp"

#include "ProgramPalette.hpp"
#include "common/dialogs.hpp"
#include "frmGafViewer.hpp"

#include <QApplication>
#include <QFile>

namespace spriteglass {

namespace {

std::filesystem::path diskPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

std::optional<QString> chooseExportDirectory(frmGafViewer& viewer) {
    std::optional<QString> chosen = common::Dialogs::current().chooseDirectory(
        &viewer, QStringLiteral("Select a Location"), viewer.SaveStart());
    if (chosen) {
        viewer.RememberSave(*chosen, true);
    }
    return chosen;
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
            if (!subframe) {
                frame.ExportFrame(diskPath(*file), ProgramPalette());
            } else if (v.CurrentSubframe >= 1 &&
                       std::size_t(v.CurrentSubframe) <= frame.Subframes().size()) {
                frame.Subframes()[std::size_t(v.CurrentSubframe) - 1].ExportFrame(diskPath(*file),
                                                                                  ProgramPalette());
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
        v.CurrentGaf->ExportAllImages(diskPath(*directory), ProgramPalette());
        v.SetCommandsEnabled(true);
    }
}

void ExportCommands::ExportSequence() {
    frmGafViewer& v = viewer_;
    const std::optional<QString> directory = chooseExportDirectory(v);
    if (directory && !directory->isEmpty()) {
        v.SetCommandsEnabled(false);
        v.CurrentAnimation->ExportAllImages(diskPath(*directory), ProgramPalette());
    }
    v.SetCommandsEnabled(true);
}

} // namespace spriteglass
