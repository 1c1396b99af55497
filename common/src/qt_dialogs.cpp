#include "common/qt_dialogs.hpp"

#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace common {

namespace {

QString titleOrProgram(const QString& title) {
    return title.isEmpty() ? Dialogs::programTitle() : title;
}

QMessageBox::StandardButtons buttonsOf(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::Ok:
        return QMessageBox::Ok;
    case MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    case MessageButtons::AbortRetryIgnore:
        return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon iconOf(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::None:
        return QMessageBox::NoIcon;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

MessageAnswer answerOf(int button) {
    switch (button) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    case QMessageBox::Cancel:
        return MessageAnswer::Cancel;
    case QMessageBox::Retry:
        return MessageAnswer::Retry;
    case QMessageBox::Abort:
        return MessageAnswer::Abort;
    case QMessageBox::Ignore:
        return MessageAnswer::Ignore;
    default:
        return MessageAnswer::Ok;
    }
}

std::optional<QString> valueOf(const QString& path) {
    return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
}

} // namespace

MessageAnswer QtDialogs::message(QWidget* parent, const QString& text, const QString& title,
                                 MessageIcon icon, MessageButtons buttons) {
    QMessageBox box(iconOf(icon), titleOrProgram(title), text, buttonsOf(buttons), parent);
    return answerOf(box.exec());
}

std::optional<QString> QtDialogs::openFile(QWidget* parent, const QString& title,
                                           const QString& filter, const QString& directory) {
    return valueOf(QFileDialog::getOpenFileName(parent, titleOrProgram(title), directory,
                                                QtFilterFromPipes(filter)));
}

std::optional<QStringList> QtDialogs::openFiles(QWidget* parent, const QString& title,
                                                const QString& filter, const QString& directory) {
    const QStringList files = QFileDialog::getOpenFileNames(parent, titleOrProgram(title),
                                                            directory, QtFilterFromPipes(filter));
    if (files.isEmpty()) {
        return std::nullopt;
    }
    return files;
}

std::optional<QString> QtDialogs::saveFile(QWidget* parent, const QString& title,
                                           const QString& filter, const QString& defaultExtension,
                                           const QString& fileName) {
    QFileDialog dialog(parent, titleOrProgram(title), fileName, QtFilterFromPipes(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultExtension);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return valueOf(dialog.selectedFiles().first());
}

std::optional<QString> QtDialogs::chooseDirectory(QWidget* parent, const QString& title,
                                                  const QString& start) {
    return valueOf(QFileDialog::getExistingDirectory(parent, titleOrProgram(title), start));
}

std::optional<QString> QtDialogs::inputBox(QWidget* parent, const QString& prompt,
                                           const QString& title, const QString& defaultText) {
    bool ok = false;
    const QString text = QInputDialog::getText(parent, titleOrProgram(title), prompt,
                                               QLineEdit::Normal, defaultText, &ok);
    return ok ? std::optional<QString>(text) : std::nullopt;
}

} // namespace common
