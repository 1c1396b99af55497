// The production Launcher:
// - a native executable (ELF or a script with "#!") is started detached with
//   the argument text as one argument (none when empty) in its working
//   directory;
// - a Windows program (".exe" that is not native) is started through wine
//   when wine is installed, an argument naming a disk path converted to a
//   Windows path with "winepath -w";
// - "notepad.exe" (the Windows text editor, named without a folder) opens
//   its argument, a text file, with the desktop's program for it;
// - a folder opens in the desktop's file manager;
// - anything else is a document, opened with the desktop's program for it.
// A working directory that does not exist is not used. Failures are silent.
#pragma once

#include "launcher.hpp"

namespace crateward {

class DesktopLauncher : public Launcher {
public:
    enum class Kind { Native, Windows, TextEditor, Folder, Document, Missing };

    void open(const QString& file, const QString& arguments, const QString& directory) override;

    // How `file` would be opened.
    static Kind kindOf(const QString& file);
    // The argument text as wine's program sees it: a disk path converted by
    // winepath, anything else unchanged.
    static QString windowsArgument(const QString& arguments);
};

} // namespace crateward
