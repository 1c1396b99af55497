#include "unit_check_view.hpp"

#include <QFile>

#include <memory>

#include "gamefolder/game_folder.hpp"
#include "unitcheck/unit_check.hpp"

namespace crateward {

namespace {

QString text(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

DependencyState stateOf(const unitcheck::Dependency& node) {
    switch (node.severity) {
    case unitcheck::Severity::Error:
        return DependencyState::Error;
    case unitcheck::Severity::Warning:
        return DependencyState::Warning;
    case unitcheck::Severity::Note:
        return DependencyState::Note;
    case unitcheck::Severity::None:
        break;
    }
    switch (node.state) {
    case unitcheck::State::Found:
        return DependencyState::Found;
    case unitcheck::State::Shadowed:
        return DependencyState::Shadowed;
    case unitcheck::State::Unused:
        return DependencyState::Note;
    case unitcheck::State::Cycle:
        return DependencyState::Warning;
    case unitcheck::State::Missing:
    case unitcheck::State::Unreadable:
        return DependencyState::Error;
    }
    return DependencyState::Error;
}

class Flattener {
public:
    Flattener(const unitcheck::UnitCheck& check, const gamefolder::GameFolder* game,
              UnitCheckView& view)
        : check_(check), game_(game), view_(view) {}

    // Depth first, a node before its children, with an explicit stack so a
    // deep tree cannot exhaust the call stack.
    void add(const unitcheck::Dependency& root) {
        std::vector<std::pair<const unitcheck::Dependency*, int>> pending{{&root, 0}};
        while (!pending.empty()) {
            const auto [node, depth] = pending.back();
            pending.pop_back();
            view_.lines.push_back(lineOf(*node, depth));
            for (auto it = node->children.rbegin(); it != node->children.rend(); ++it) {
                pending.emplace_back(&*it, depth + 1);
            }
        }
    }

private:
    DependencyLine lineOf(const unitcheck::Dependency& node, int depth) const {
        DependencyLine line;
        line.depth = depth;
        line.kind = text(unitcheck::kindName(node.kind));
        if (!node.role.empty()) {
            line.kind += QStringLiteral(" (%1)").arg(text(node.role));
        }
        line.name = text(node.name);
        line.path = text(node.looked);
        line.member = text(node.member);
        line.state = stateOf(node);
        line.stateText = text(unitcheck::stateName(node.state));
        line.detail = text(node.note);
        line.source = text(node.source);
        QStringList shadows;
        for (const auto& s : node.shadowedBy) {
            shadows << text(s);
        }
        line.shadowedBy = shadows.join(QStringLiteral(", "));
        const auto& places = check_.places();
        if (node.place < 0 || std::size_t(node.place) >= places.size()) {
            return line;
        }
        const unitcheck::Place& place = places[std::size_t(node.place)];
        line.inOpenArchive = node.place == 0 && place.kind == unitcheck::PlaceKind::Archive &&
                             !line.member.isEmpty();
        line.sourceFile = QFile::decodeName(place.path.c_str());
        if (place.kind == unitcheck::PlaceKind::GameFolder && game_) {
            // The game folder names its providing source; the window opens
            // that archive, or tells where a loose file lies.
            line.looseFile = true;
            for (const auto& source : game_->sources()) {
                if (!source.name.empty() && source.name == node.source) {
                    line.sourceFile = QFile::decodeName(source.path.c_str());
                    line.looseFile = false;
                    break;
                }
            }
            if (line.looseFile) {
                line.sourceFile +=
                    QLatin1Char('/') +
                    QString(line.member).replace(QLatin1Char('\\'), QLatin1Char('/'));
            }
        }
        return line;
    }

    const unitcheck::UnitCheck& check_;
    const gamefolder::GameFolder* game_;
    UnitCheckView& view_;
};

} // namespace

QStringList UnitCheckView::membersInArchive() const {
    QStringList members;
    for (const DependencyLine& line : lines) {
        if (line.inOpenArchive && !members.contains(line.member, Qt::CaseInsensitive)) {
            members << line.member;
        }
    }
    return members;
}

UnitCheckView RunUnitCheck(const QString& archive, const QString& member,
                           const QString& gameFolder) {
    UnitCheckView view;
    view.archive = archive;
    view.unit = member.section(QLatin1Char('\\'), -1);
    view.unit = view.unit.left(view.unit.lastIndexOf(QLatin1Char('.')));
    unitcheck::UnitCheck check;
    if (auto added = check.addArchive(QFile::encodeName(archive).toStdString()); !added) {
        view.error = text(added.error().message());
        return view;
    }
    std::shared_ptr<const gamefolder::GameFolder> game;
    if (!gameFolder.isEmpty()) {
        // A game folder that cannot be listed leaves the archive alone.
        auto mounted = gamefolder::GameFolder::mount(QFile::encodeName(gameFolder).toStdString());
        if (mounted) {
            game = std::make_shared<const gamefolder::GameFolder>(std::move(mounted.value()));
            check.addGameFolder(game);
            view.gameFolder = gameFolder;
        }
    }
    const unitcheck::UnitReport report = check.check(member.toStdString());
    if (!report.unit.empty()) {
        view.unit = text(report.unit);
    }
    view.report = text(unitcheck::renderText(report));
    view.missing = report.missing;
    view.shadowed = report.shadowed;
    view.warnings = report.warnings;
    Flattener(check, game.get(), view).add(report.root);
    return view;
}

} // namespace crateward
