// A Dialogs object for tests: records every call exactly and answers from a
// queue. With an empty queue a message box answers with its first button
// (OK, Yes, Retry or Abort) and every other dialog is cancelled.
#pragma once

#include "common/dialogs.hpp"

#include <deque>
#include <variant>
#include <vector>

namespace common {

struct DialogCall {
    QString kind; // "message", "openFile", "saveFile", "chooseDirectory", "inputBox"
    QString text; // message text, or the prompt of an input box
    QString title;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    QString filter;       // file dialogs
    QString extension;    // save dialog's default extension
    QString start;        // start folder, file name or default text
    MessageExtras extras; // detailed messages
};

class ScriptedDialogs : public Dialogs {
public:
    using Answer = std::variant<MessageAnswer, std::optional<QString>>;

    void queueAnswer(MessageAnswer answer) { answers.push_back(answer); }
    void queueText(std::optional<QString> text) { answers.push_back(std::move(text)); }
    // The messages shown so far, as "title|text".
    std::vector<QString> messages() const;

    MessageAnswer message(QWidget* parent, const QString& text, const QString& title,
                          MessageIcon icon, MessageButtons buttons) override;
    MessageAnswer detailedMessage(QWidget* parent, const QString& text, const QString& title,
                                  MessageIcon icon, MessageButtons buttons,
                                  const MessageExtras& extras) override;
    std::optional<QString> openFile(QWidget* parent, const QString& title, const QString& filter,
                                    const QString& directory) override;
    std::optional<QString> saveFile(QWidget* parent, const QString& title, const QString& filter,
                                    const QString& defaultExtension,
                                    const QString& fileName) override;
    std::optional<QString> chooseDirectory(QWidget* parent, const QString& title,
                                           const QString& start) override;
    std::optional<QString> inputBox(QWidget* parent, const QString& prompt, const QString& title,
                                    const QString& defaultText) override;

    std::vector<DialogCall> calls;
    std::deque<Answer> answers;

private:
    std::optional<QString> nextText();
};

// Installs a ScriptedDialogs for the life of the object and restores the
// previous one after it.
class ScopedScriptedDialogs {
public:
    ScopedScriptedDialogs();
    ~ScopedScriptedDialogs();
    ScopedScriptedDialogs(const ScopedScriptedDialogs&) = delete;
    ScopedScriptedDialogs& operator=(const ScopedScriptedDialogs&) = delete;
    ScriptedDialogs& operator*() { return *dialogs_; }
    ScriptedDialogs* operator->() { return dialogs_; }

private:
    ScriptedDialogs* dialogs_;
    std::unique_ptr<Dialogs> previous_;
};

} // namespace common
