#include "desktop_launcher.hpp"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace crateward {

namespace {

bool isNativeExecutable(const QString& file) {
    const QFileInfo info(file);
    if (!info.isFile() || !info.isExecutable()) {
        return false;
    }
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray head = in.read(4);
    return head.startsWith("\x7f"
                           "ELF") ||
           head.startsWith("#!");
}

QString usableDirectory(const QString& directory) {
    return !directory.isEmpty() && QFileInfo(directory).isDir() ? directory : QString();
}

void openDocument(const QString& file) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
}

} // namespace

DesktopLauncher::Kind DesktopLauncher::kindOf(const QString& file) {
    if (file.compare(QLatin1String("notepad.exe"), Qt::CaseInsensitive) == 0) {
        return Kind::TextEditor;
    }
    if (QFileInfo(file).isDir()) {
        return Kind::Folder;
    }
    if (!QFileInfo(file).isFile()) {
        return Kind::Missing;
    }
    if (isNativeExecutable(file)) {
        return Kind::Native;
    }
    if (file.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)) {
        return Kind::Windows;
    }
    return Kind::Document;
}

QString DesktopLauncher::windowsArgument(const QString& arguments) {
    if (!arguments.startsWith(QLatin1Char('/'))) {
        return arguments;
    }
    const QString winepath = QStandardPaths::findExecutable(QStringLiteral("winepath"));
    if (winepath.isEmpty()) {
        return arguments;
    }
    QProcess process;
    process.start(winepath, {QStringLiteral("-w"), arguments});
    if (!process.waitForFinished(10000) || process.exitCode() != 0) {
        process.kill();
        return arguments;
    }
    const QString converted = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    return converted.isEmpty() ? arguments : converted;
}

void DesktopLauncher::open(const QString& file, const QString& arguments,
                           const QString& directory) {
    const QStringList words = arguments.isEmpty() ? QStringList() : QStringList(arguments);
    switch (kindOf(file)) {
    case Kind::Native:
        QProcess::startDetached(file, words, usableDirectory(directory));
        break;
    case Kind::Windows: {
        const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
        if (wine.isEmpty()) {
            break;
        }
        QStringList wineWords{file};
        if (!arguments.isEmpty()) {
            wineWords << windowsArgument(arguments);
        }
        QProcess::startDetached(wine, wineWords, usableDirectory(directory));
        break;
    }
    case Kind::TextEditor:
        if (!arguments.isEmpty()) {
            openDocument(arguments);
        }
        break;
    case Kind::Folder:
    case Kind::Document:
        openDocument(file);
        break;
    case Kind::Missing:
        break;
    }
}

} // namespace crateward
