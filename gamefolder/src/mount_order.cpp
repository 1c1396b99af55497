#include "gamefolder/mount_order.hpp"

#include "common/codepage.hpp"

namespace gamefolder {

namespace {

bool endsWithFolded(std::string_view name, std::string_view suffix) {
    return name.size() > suffix.size() &&
           common::equalsFolded(name.substr(name.size() - suffix.size()), suffix);
}

} // namespace

const char* kindName(SourceKind kind) {
    switch (kind) {
    case SourceKind::Loose:
        return "loose";
    case SourceKind::Patch:
        return "gp3";
    case SourceKind::Expansion:
        return "ccx";
    case SourceKind::AddOn:
        return "ufo";
    case SourceKind::Archive:
        return "hpi";
    }
    return "?";
}

std::optional<Candidate> classify(std::string_view fileName) {
    if (endsWithFolded(fileName, ".gp3")) {
        const bool rev = fileName.size() >= 3 && common::equalsFolded(fileName.substr(0, 3), "rev");
        return Candidate{SourceKind::Patch, !rev};
    }
    if (endsWithFolded(fileName, ".ccx")) {
        return Candidate{SourceKind::Expansion, false};
    }
    if (endsWithFolded(fileName, ".ufo")) {
        return Candidate{SourceKind::AddOn, false};
    }
    if (endsWithFolded(fileName, ".hpi")) {
        return Candidate{SourceKind::Archive, false};
    }
    return std::nullopt;
}

bool mountsBefore(std::string_view a, std::string_view b) {
    if (common::lessFolded(a, b)) {
        return true;
    }
    if (common::lessFolded(b, a)) {
        return false;
    }
    return a < b;
}

} // namespace gamefolder
