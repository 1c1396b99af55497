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

// "*.bmp" -> "*.[bB][mM][pP]": Qt's name filters are case-sensitive here.
QString caseBlindPattern(const QString& pattern) {
    QString out;
    for (QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper()) {
            out += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

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
            patterns << caseBlindPattern(pattern.trimmed());
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

} // namespace common
