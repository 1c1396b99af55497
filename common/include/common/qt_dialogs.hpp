// The Dialogs seam over Qt's message boxes, file dialogs and input dialog.
// File dialogs are Qt's own, not the platform's: their name filters match
// without regard to case, which a native dialog does not promise.
#pragma once

#include "common/dialogs.hpp"

namespace common {

class QtDialogs : public Dialogs {
public:
    MessageAnswer message(QWidget* parent, const QString& text, const QString& title,
                          MessageIcon icon, MessageButtons buttons) override;
    MessageAnswer detailedMessage(QWidget* parent, const QString& text, const QString& title,
                                  MessageIcon icon, MessageButtons buttons,
                                  const MessageExtras& extras) override;
    std::optional<QString> openFile(QWidget* parent, const QString& title, const QString& filter,
                                    const QString& directory) override;
    std::optional<QString> openProgram(QWidget* parent, const QString& title,
                                       const QString& directory) override;
    std::optional<QStringList> openFiles(QWidget* parent, const QString& title,
                                         const QString& filter, const QString& directory) override;
    std::optional<QString> saveFile(QWidget* parent, const QString& title, const QString& filter,
                                    const QString& defaultExtension,
                                    const QString& fileName) override;
    std::optional<QString> chooseDirectory(QWidget* parent, const QString& title,
                                           const QString& start) override;
    std::optional<QString> inputBox(QWidget* parent, const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
};

} // namespace common
