#include "common/scripted_dialogs.hpp"

namespace common {

namespace {

MessageAnswer firstButton(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel:
        return MessageAnswer::Yes;
    case MessageButtons::RetryCancel:
        return MessageAnswer::Retry;
    case MessageButtons::AbortRetryIgnore:
        return MessageAnswer::Abort;
    default:
        return MessageAnswer::Ok;
    }
}

} // namespace

std::vector<QString> ScriptedDialogs::messages() const {
    std::vector<QString> out;
    for (const DialogCall& call : calls) {
        if (call.kind == QStringLiteral("message")) {
            out.push_back(call.title + QLatin1Char('|') + call.text);
        }
    }
    return out;
}

std::optional<QString> ScriptedDialogs::nextText() {
    if (answers.empty()) {
        return std::nullopt;
    }
    std::optional<QString> text;
    if (auto* queued = std::get_if<std::optional<QString>>(&answers.front())) {
        text = std::move(*queued);
    }
    answers.pop_front();
    return text;
}

MessageAnswer ScriptedDialogs::message(QWidget*, const QString& text, const QString& title,
                                       MessageIcon icon, MessageButtons buttons) {
    calls.push_back({QStringLiteral("message"), text, title, icon, buttons, {}, {}, {}, {}});
    if (!answers.empty()) {
        const MessageAnswer* choice = std::get_if<MessageAnswer>(&answers.front());
        const MessageAnswer answer = choice ? *choice : firstButton(buttons);
        answers.pop_front();
        return answer;
    }
    return firstButton(buttons);
}

MessageAnswer ScriptedDialogs::detailedMessage(QWidget* parent, const QString& text,
                                               const QString& title, MessageIcon icon,
                                               MessageButtons buttons,
                                               const MessageExtras& extras) {
    const MessageAnswer answer = message(parent, text, title, icon, buttons);
    calls.back().extras = extras;
    return answer;
}

std::optional<QString> ScriptedDialogs::openFile(QWidget*, const QString& title,
                                                 const QString& filter, const QString& directory) {
    calls.push_back({QStringLiteral("openFile"),
                     {},
                     title,
                     MessageIcon::None,
                     MessageButtons::Ok,
                     filter,
                     {},
                     directory,
                     {}});
    return nextText();
}

std::optional<QString> ScriptedDialogs::saveFile(QWidget*, const QString& title,
                                                 const QString& filter,
                                                 const QString& defaultExtension,
                                                 const QString& fileName) {
    calls.push_back({QStringLiteral("saveFile"),
                     {},
                     title,
                     MessageIcon::None,
                     MessageButtons::Ok,
                     filter,
                     defaultExtension,
                     fileName,
                     {}});
    return nextText();
}

std::optional<QString> ScriptedDialogs::chooseDirectory(QWidget*, const QString& title,
                                                        const QString& start) {
    calls.push_back({QStringLiteral("chooseDirectory"),
                     {},
                     title,
                     MessageIcon::None,
                     MessageButtons::Ok,
                     {},
                     {},
                     start,
                     {}});
    return nextText();
}

std::optional<QString> ScriptedDialogs::inputBox(QWidget*, const QString& prompt,
                                                 const QString& title, const QString& defaultText) {
    calls.push_back({QStringLiteral("inputBox"),
                     prompt,
                     title,
                     MessageIcon::None,
                     MessageButtons::Ok,
                     {},
                     {},
                     defaultText,
                     {}});
    return nextText();
}

ScopedScriptedDialogs::ScopedScriptedDialogs() {
    auto dialogs = std::make_unique<ScriptedDialogs>();
    dialogs_ = dialogs.get();
    previous_ = Dialogs::install(std::move(dialogs));
}

ScopedScriptedDialogs::~ScopedScriptedDialogs() {
    Dialogs::install(std::move(previous_));
}

} // namespace common
