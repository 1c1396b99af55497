#include "common/dialogs.hpp"

#include "common/qt_dialogs.hpp"

#include <QCoreApplication>
#include <QStringList>

namespace common {

namespace {

std::unique_ptr<Dialogs>& installed() {
    static std::unique_ptr<Dialogs> dialogs;
    return dialogs;
}

} // namespace

MessageAnswer Dialogs::detailedMessage(QWidget* parent, const QString& text, const QString& title,
                                       MessageIcon icon, MessageButtons buttons,
                                       const MessageExtras&) {
    return message(parent, text, title, icon, buttons);
}

std::optional<QString> Dialogs::openProgram(QWidget* parent, const QString& title,
                                            const QString& directory) {
    return openFile(parent, title, QLatin1String(kProgramFilter), directory);
}

std::optional<QStringList> Dialogs::openFiles(QWidget* parent, const QString& title,
                                              const QString& filter, const QString& directory) {
    const auto text = openFile(parent, title, filter, directory);
    if (!text) {
        return std::nullopt;
    }
    return text->split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

namespace {

QString& programTitleText() {
    static QString title;
    return title;
}

} // namespace

void Dialogs::setProgramTitle(const QString& title) {
    programTitleText() = title;
}

QString Dialogs::programTitle() {
    return programTitleText().isEmpty() ? QCoreApplication::applicationName() : programTitleText();
}

Dialogs& Dialogs::current() {
    if (!installed()) {
        installed() = std::make_unique<QtDialogs>();
    }
    return *installed();
}

std::unique_ptr<Dialogs> Dialogs::install(std::unique_ptr<Dialogs> dialogs) {
    std::unique_ptr<Dialogs> previous = std::move(installed());
    installed() = std::move(dialogs);
    return previous;
}

QString QtFilterFromPipes(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            patterns << pattern.trimmed();
        }
        QString description = parts[i];
        // A description that already names its patterns keeps only the words.
        const qsizetype bracket = description.indexOf(QLatin1Char('('));
        if (bracket > 0) {
            description = description.left(bracket).trimmed();
        }
        out << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                   QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

QString FilterExtension(const QString& qtFilter) {
    const qsizetype open = qtFilter.lastIndexOf(QLatin1Char('('));
    const qsizetype close = qtFilter.lastIndexOf(QLatin1Char(')'));
    const QString patterns =
        open >= 0 && close > open ? qtFilter.mid(open + 1, close - open - 1) : qtFilter;
    const QStringList list = patterns.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (list.isEmpty() || !list.first().startsWith(QLatin1String("*."))) {
        return {};
    }
    const QString extension = list.first().mid(2);
    for (const QChar c : extension) {
        if (c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('[') ||
            c == QLatin1Char('.')) {
            return {};
        }
    }
    return extension;
}

} // namespace common
