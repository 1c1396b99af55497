#include "common/qt_dialogs.hpp"

#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSortFilterProxyModel>

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

// Qt's own dialog, whose name filters match without regard to case.
void useOwnDialog(QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    // Wide enough for names, sizes and dates without cutting them.
    dialog.resize(dialog.sizeHint().expandedTo(QSize(780, 480)));
}

std::optional<QStringList> runOpenDialog(QFileDialog& dialog, QFileDialog::FileMode mode) {
    useOwnDialog(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(mode);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles();
}

// Shows folders, files the user may run and Windows programs, while the
// first filter ("Programs", every name) is the chosen one.
class ProgramsOnly : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    bool active = true;

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (!active || !files) {
            return true;
        }
        const QFileInfo info = files->fileInfo(files->index(row, 0, parent));
        return info.isDir() || info.isExecutable() ||
               info.suffix().compare(QLatin1String("exe"), Qt::CaseInsensitive) == 0;
    }
};

} // namespace

MessageAnswer QtDialogs::message(QWidget* parent, const QString& text, const QString& title,
                                 MessageIcon icon, MessageButtons buttons) {
    QMessageBox box(iconOf(icon), titleOrProgram(title), text, buttonsOf(buttons), parent);
    return answerOf(box.exec());
}

MessageAnswer QtDialogs::detailedMessage(QWidget* parent, const QString& text, const QString& title,
                                         MessageIcon icon, MessageButtons buttons,
                                         const MessageExtras& extras) {
    QMessageBox box(iconOf(icon), titleOrProgram(title), text, buttonsOf(buttons), parent);
    if (!extras.details.isEmpty()) {
        box.setDetailedText(extras.details);
    }
    QPushButton* action = nullptr;
    if (!extras.actionText.isEmpty()) {
        action = box.addButton(extras.actionText, QMessageBox::ActionRole);
    }
    const int answer = box.exec();
    if (action && box.clickedButton() == action) {
        return MessageAnswer::Action;
    }
    return answerOf(answer);
}

std::optional<QString> QtDialogs::openFile(QWidget* parent, const QString& title,
                                           const QString& filter, const QString& directory) {
    QFileDialog dialog(parent, titleOrProgram(title), directory, QtFilterFromPipes(filter));
    const auto files = runOpenDialog(dialog, QFileDialog::ExistingFile);
    return files ? valueOf(files->first()) : std::nullopt;
}

std::optional<QString> QtDialogs::openProgram(QWidget* parent, const QString& title,
                                              const QString& directory) {
    const QString filter = QtFilterFromPipes(QLatin1String(kProgramFilter));
    QFileDialog dialog(parent, titleOrProgram(title), directory, filter);
    auto* programs = new ProgramsOnly(&dialog);
    dialog.setProxyModel(programs);
    const QString first = filter.section(QStringLiteral(";;"), 0, 0);
    QObject::connect(&dialog, &QFileDialog::filterSelected, programs,
                     [programs, first](const QString& chosen) {
                         programs->active = chosen == first;
                         programs->invalidate();
                     });
    const auto files = runOpenDialog(dialog, QFileDialog::ExistingFile);
    return files ? valueOf(files->first()) : std::nullopt;
}

std::optional<QStringList> QtDialogs::openFiles(QWidget* parent, const QString& title,
                                                const QString& filter, const QString& directory) {
    QFileDialog dialog(parent, titleOrProgram(title), directory, QtFilterFromPipes(filter));
    return runOpenDialog(dialog, QFileDialog::ExistingFiles);
}

std::optional<QString> QtDialogs::saveFile(QWidget* parent, const QString& title,
                                           const QString& filter, const QString& defaultExtension,
                                           const QString& fileName) {
    QFileDialog dialog(parent, titleOrProgram(title), fileName, QtFilterFromPipes(filter));
    useOwnDialog(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // A typed name without an extension gets the chosen filter's.
    const auto suffixOf = [&defaultExtension](const QString& chosen) {
        const QString extension = FilterExtension(chosen);
        return extension.isEmpty() ? defaultExtension : extension;
    };
    dialog.setDefaultSuffix(suffixOf(dialog.selectedNameFilter()));
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog, suffixOf](const QString& chosen) { dialog.setDefaultSuffix(suffixOf(chosen)); });
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
