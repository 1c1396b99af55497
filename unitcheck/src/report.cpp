// The unit check's reports: readable text and JSON.
#include "unitcheck/unit_check.hpp"

#include "common/json.hpp"

namespace unitcheck {

std::string_view kindName(Kind kind) {
    switch (kind) {
    case Kind::Unit:
        return "unit";
    case Kind::Script:
        return "script";
    case Kind::Piece:
        return "piece";
    case Kind::Picture:
        return "picture";
    case Kind::BuildButton:
        return "build button";
    case Kind::Model:
        return "model";
    case Kind::Texture:
        return "texture";
    case Kind::Feature:
        return "feature";
    case Kind::SoundCategory:
        return "sound category";
    case Kind::Sound:
        return "sound";
    case Kind::Weapon:
        return "weapon";
    case Kind::ExplosionAnimation:
        return "explosion";
    case Kind::ExplosionArt:
        return "explosion art";
    case Kind::BuildMenu:
        return "build menu";
    }
    return "?";
}

std::string_view stateName(State state) {
    switch (state) {
    case State::Found:
        return "found";
    case State::Shadowed:
        return "shadowed";
    case State::Missing:
        return "missing";
    case State::Unused:
        return "unused";
    case State::Cycle:
        return "cycle";
    case State::Unreadable:
        return "unreadable";
    }
    return "?";
}

std::string_view severityName(Severity severity) {
    switch (severity) {
    case Severity::None:
        return "none";
    case Severity::Note:
        return "note";
    case Severity::Warning:
        return "warning";
    case Severity::Error:
        return "error";
    }
    return "?";
}

namespace {

std::string listed(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& n : names) {
        out += (out.empty() ? "" : ", ") + n;
    }
    return out;
}

// One line per node: the state (in capitals for an error), the tree's
// indentation, the kind with the key that names it, the name, the path
// looked for, where it was found, and the note.
void textLines(const Dependency& node, int depth, std::string& out) {
    std::string state(stateName(node.state));
    if (node.severity == Severity::Error) {
        for (char& c : state) {
            c = char(c >= 'a' && c <= 'z' ? c - 32 : c);
        }
    }
    state.resize(std::max<std::size_t>(state.size(), 11), ' ');
    out += state + std::string(std::size_t(depth) * 2, ' ') + std::string(kindName(node.kind));
    if (!node.role.empty()) {
        out += " (" + node.role + ")";
    }
    out += " " + node.name + "  " + node.looked;
    // A piece is found in the model its path names already.
    if (node.place >= 0 && node.kind != Kind::Piece) {
        out += "  [" + node.source;
        if (!node.member.empty() && node.member != node.looked) {
            out += ": " + node.member;
        }
        out += "]";
    }
    if (!node.shadowedBy.empty()) {
        out += "  also in " + listed(node.shadowedBy);
    }
    if (!node.note.empty()) {
        out += "  -- " + node.note;
    }
    out += "\n";
    for (const Dependency& child : node.children) {
        textLines(child, depth + 1, out);
    }
}

std::string plural(int n, const char* word) {
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

void jsonNode(const Dependency& node, std::string& out) {
    using common::jsonString;
    out += "{\"kind\":" + jsonString(kindName(node.kind)) + ",\"role\":" + jsonString(node.role) +
           ",\"name\":" + jsonString(node.name) + ",\"looked\":" + jsonString(node.looked) +
           ",\"state\":" + jsonString(stateName(node.state)) +
           ",\"severity\":" + jsonString(severityName(node.severity)) +
           ",\"source\":" + jsonString(node.source) + ",\"member\":" + jsonString(node.member) +
           ",\"shadowedBy\":[";
    for (std::size_t i = 0; i < node.shadowedBy.size(); ++i) {
        out += (i ? "," : "") + jsonString(node.shadowedBy[i]);
    }
    out += "],\"note\":" + jsonString(node.note) + ",\"children\":[";
    for (std::size_t i = 0; i < node.children.size(); ++i) {
        out += i ? "," : "";
        jsonNode(node.children[i], out);
    }
    out += "]}";
}

} // namespace

std::string renderText(const UnitReport& report) {
    std::string out;
    textLines(report.root, 0, out);
    out += report.unit + ": " + std::to_string(report.found) + " found";
    if (report.shadowed > 0) {
        out += " (" + std::to_string(report.shadowed) + " shadowed)";
    }
    out += ", " + std::to_string(report.missing) + " missing, " +
           plural(report.warnings, "warning") + ", " + plural(report.notes, "note") + "\n";
    return out;
}

std::string renderJson(const std::vector<UnitReport>& reports) {
    std::string out = "[";
    for (std::size_t i = 0; i < reports.size(); ++i) {
        const UnitReport& r = reports[i];
        out += i ? ",\n" : "\n";
        out += "{\"unit\":" + common::jsonString(r.unit) + ",\"found\":" + std::to_string(r.found) +
               ",\"shadowed\":" + std::to_string(r.shadowed) +
               ",\"missing\":" + std::to_string(r.missing) +
               ",\"warnings\":" + std::to_string(r.warnings) +
               ",\"notes\":" + std::to_string(r.notes) + ",\"tree\":";
        jsonNode(r.root, out);
        out += "}";
    }
    out += "\n]\n";
    return out;
}

} // namespace unitcheck
