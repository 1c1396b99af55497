#include "name_matcher.hpp"

namespace crateward {

namespace {

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
}

bool isAscii(std::string_view s) {
    for (const char c : s) {
        if (std::uint8_t(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

bool containsFolded(std::string_view name, std::string_view part) {
    if (part.size() > name.size()) {
        return false;
    }
    for (std::size_t at = 0; at + part.size() <= name.size(); ++at) {
        std::size_t i = 0;
        while (i < part.size() && lower(name[at + i]) == part[i]) {
            ++i;
        }
        if (i == part.size()) {
            return true;
        }
    }
    return false;
}

// '*' is any run of characters, '?' one character, the rest themselves;
// the whole name must match. The last star is retried one character
// further each time the rest fails, which keeps this linear in practice.
bool globFolded(std::string_view name, std::string_view glob) {
    std::size_t n = 0, g = 0;
    std::size_t starGlob = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (g < glob.size() && (glob[g] == '?' || glob[g] == lower(name[n]))) {
            ++n;
            ++g;
        } else if (g < glob.size() && glob[g] == '*') {
            starGlob = g++;
            starName = n;
        } else if (starGlob != std::string_view::npos) {
            g = starGlob + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (g < glob.size() && glob[g] == '*') {
        ++g;
    }
    return g == glob.size();
}

} // namespace

NameMatcher::NameMatcher(const QString& pattern) : pattern_(pattern.trimmed()) {
    wildcard_ = pattern_.contains(QLatin1Char('*')) || pattern_.contains(QLatin1Char('?'));
    const QByteArray utf8 = pattern_.toUtf8();
    const std::string_view bytes(utf8.constData(), std::size_t(utf8.size()));
    // A bracket would be a character class in Qt's wildcards: such patterns
    // take the general way, so both ways give the same answers.
    ascii_ = isAscii(bytes) && !(wildcard_ && pattern_.contains(QLatin1Char('[')));
    if (ascii_) {
        for (const char c : bytes) {
            folded_.push_back(lower(c));
        }
    }
    if (wildcard_) {
        expression_.setPattern(QRegularExpression::wildcardToRegularExpression(pattern_));
        expression_.setPatternOptions(QRegularExpression::CaseInsensitiveOption);
    }
}

bool NameMatcher::matchesAscii(std::string_view name) const {
    return wildcard_ ? globFolded(name, folded_) : containsFolded(name, folded_);
}

bool NameMatcher::matches(std::string_view utf8Name) const {
    if (pattern_.isEmpty()) {
        return false;
    }
    if (ascii_ && isAscii(utf8Name)) {
        return matchesAscii(utf8Name);
    }
    return matches(QString::fromUtf8(utf8Name.data(), qsizetype(utf8Name.size())));
}

bool NameMatcher::matches(const QString& name) const {
    if (pattern_.isEmpty()) {
        return false;
    }
    if (wildcard_) {
        return expression_.match(name).hasMatch();
    }
    return name.contains(pattern_, Qt::CaseInsensitive);
}

} // namespace crateward
