// The Dialogs seam: every message box, file dialog, directory chooser and
// input box of the programs goes through the installed Dialogs object. The
// programs install QtDialogs; tests install ScriptedDialogs.
#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QWidget;

namespace common {

enum class MessageIcon { None, Information, Warning, Critical, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class MessageAnswer { Ok, Cancel, Yes, No, Retry, Abort, Ignore, Action };

// What a message box may show beyond its text.
struct MessageExtras {
    QString details;    // the reason behind the message, under "Show Details..."
    QString actionText; // an extra button; pressing it answers MessageAnswer::Action
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A message box. An empty title stands for the program's title.
    virtual MessageAnswer message(QWidget* parent, const QString& text, const QString& title,
                                  MessageIcon icon, MessageButtons buttons) = 0;
    // A message box with a detailed text and an extra button. By default
    // the plain message box (the extras are left out).
    virtual MessageAnswer detailedMessage(QWidget* parent, const QString& text,
                                          const QString& title, MessageIcon icon,
                                          MessageButtons buttons, const MessageExtras& extras);
    // File dialogs take filters in the "Description|*.a;*.b|..." form; their
    // patterns match names without regard to case. A cancelled dialog gives
    // no value.
    virtual std::optional<QString> openFile(QWidget* parent, const QString& title,
                                            const QString& filter, const QString& directory) = 0;
    // Several files at once. By default the answer of openFile, one path a
    // line, so a scripted answer lists them that way; Qt's dialog returns
    // its list, so names holding spaces stay whole.
    virtual std::optional<QStringList> openFiles(QWidget* parent, const QString& title,
                                                 const QString& filter, const QString& directory);
    // `fileName` is the proposed name with the folder the dialog opens in.
    // A typed name without an extension gets the one of the chosen filter
    // (`defaultExtension` when that filter names none).
    virtual std::optional<QString> saveFile(QWidget* parent, const QString& title,
                                            const QString& filter, const QString& defaultExtension,
                                            const QString& fileName) = 0;
    // A program to start: native executables and Windows programs. By
    // default openFile with the filter kProgramFilter.
    virtual std::optional<QString> openProgram(QWidget* parent, const QString& title,
                                               const QString& directory);
    virtual std::optional<QString> chooseDirectory(QWidget* parent, const QString& title,
                                                   const QString& start) = 0;
    virtual std::optional<QString> inputBox(QWidget* parent, const QString& prompt,
                                            const QString& title, const QString& defaultText) = 0;

    // The program's title, which a message box with no title gets. It is
    // not Qt's application display name, which Qt would append to every
    // window title on X11 ("Crateward  -  a.hpi — Crateward").
    static void setProgramTitle(const QString& title);
    // The title set, else the application name.
    static QString programTitle();

    // The installed object (a QtDialogs until another is installed).
    static Dialogs& current();
    // Installs `dialogs`; returns the one it replaces.
    static std::unique_ptr<Dialogs> install(std::unique_ptr<Dialogs> dialogs);
};

// The filter of openProgram: every file (the dialog shows only programs).
inline constexpr const char* kProgramFilter = "Programs|*|Windows programs|*.exe";

// "Description|*.a;*.b|Other|*.c" as a Qt filter showing the plain patterns:
// "Description (*.a *.b);;Other (*.c)". Qt's own file dialog matches them
// without regard to case.
QString QtFilterFromPipes(const QString& filter);

// The extension a save dialog adds for a Qt filter ("UFO file (*.ufo *.hpi)"
// gives "ufo"): its first pattern's, empty when that holds a wildcard.
QString FilterExtension(const QString& qtFilter);

} // namespace common
