// What a click and a double-click on an entry of the list FileView do, by
// the entry's extension, and the text view of a member (AffTxT, the menu
// entry mnuViewText and the pop-up entry popupViewtext).
//
// Members are copied into the working directory under their full member
// path (see working_copy.hpp). While a modification is under way (the
// command mnuModifierHPI disabled) the unpacked copy is used and never
// replaced, and the text view hands it to the text editor so the user can
// change it before the archive is saved.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>
#include <string>

#include "working_copy.hpp"

namespace crateward {

class frmMain;
class frmTXT;
class HexDump;
class PicturePane;
class ProgramCommands;
class SoundPane;

class PreviewDispatch : public QObject {
    Q_OBJECT
public:
    // Files larger than this are handed to the text editor.
    static constexpr qint64 kMaxTextBytes = 64LL * 1024 * 1024;

    PreviewDispatch(frmMain& window, ProgramCommands& programs);

    void FileView_ItemClick(int row);
    // A double-click on an entry that is not a directory.
    void FileView_DblClick(int row);
    void mnuViewText_Click();
    // Shows the file at `path` in frmTXT, or hands it to the text editor.
    void AffTxT(const QString& path);

    // Unloads the preview windows (each saves its placement).
    void unloadWindows();
    frmTXT* textWindow() const;

    // A modification is under way: mnuModifierHPI is disabled.
    bool modifying() const;
    // The text view's test of the same: mnuSaveModif is enabled.
    bool saveModifEnabled() const;

    // The copy of a member as `mode` says (the unpacked one during a
    // modification).
    std::optional<QString> copyOf(const QString& memberPath, CopyMode mode) const;
    PicturePane* picturePane() const { return pictures_; }
    SoundPane* soundPane() const { return sounds_; }
    HexDump* hexDump() const { return hexDump_; }

private:
    void launchWithCopy(const std::string& program, const QString& member);
    void programNotSet();

    frmMain& window_;
    ProgramCommands& programs_;
    QPointer<frmTXT> text_;
    PicturePane* pictures_ = nullptr;
    SoundPane* sounds_ = nullptr;
    HexDump* hexDump_ = nullptr;
};

} // namespace crateward
