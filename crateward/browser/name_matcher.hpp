// NameMatcher: whether an entry name matches what the user typed in a find
// box. A pattern holding '*' or '?' is a wildcard matched against the whole
// name ("*.fbi", "arm*.3do"); any other pattern is a part of the name. Both
// ignore case. ASCII names and patterns, nearly every name of the game, are
// compared byte by byte without making a QString; other text goes through
// Qt's case folding.
#pragma once

#include <QRegularExpression>
#include <QString>

#include <string>
#include <string_view>

namespace crateward {

class NameMatcher {
public:
    // The pattern with its surrounding spaces removed.
    explicit NameMatcher(const QString& pattern);

    // Nothing typed: there is nothing to find.
    bool empty() const { return pattern_.isEmpty(); }
    bool wildcard() const { return wildcard_; }

    bool matches(std::string_view utf8Name) const;
    bool matches(const QString& name) const;

private:
    bool matchesAscii(std::string_view name) const;

    QString pattern_;
    std::string folded_; // the pattern in lower case, when it is plain ASCII
    bool ascii_ = false;
    bool wildcard_ = false;
    QRegularExpression expression_; // the wildcard, for text that is not ASCII
};

} // namespace crateward
