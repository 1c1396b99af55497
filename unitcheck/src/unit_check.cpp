#include "unitcheck/unit_check.hpp"

#include "check_state.hpp"
#include "common/codepage.hpp"
#include "gamefolder/game_folder.hpp"
#include "unit_rules.hpp"

#include <algorithm>
#include <set>

namespace unitcheck {

namespace fs = std::filesystem;

namespace {

void count(const Dependency& node, UnitReport& report) {
    report.found += node.state == State::Found || node.state == State::Shadowed;
    report.shadowed += node.state == State::Shadowed;
    report.missing += node.severity == Severity::Error;
    report.warnings += node.severity == Severity::Warning;
    report.notes += node.severity == Severity::Note;
    for (const Dependency& child : node.children) {
        count(child, report);
    }
}

} // namespace

UnitCheck::UnitCheck() : impl_(std::make_unique<Impl>()) {}
UnitCheck::UnitCheck(UnitCheck&&) noexcept = default;
UnitCheck& UnitCheck::operator=(UnitCheck&&) noexcept = default;
UnitCheck::~UnitCheck() = default;

Result<UnitCheck> UnitCheck::open(const fs::path& path) {
    UnitCheck check;
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        auto game = gamefolder::GameFolder::mount(path);
        if (!game) {
            return std::move(game).error();
        }
        check.addGameFolder(std::make_shared<const gamefolder::GameFolder>(std::move(*game)));
    } else if (auto st = check.addArchive(path); !st) {
        return std::move(st).error();
    }
    return check;
}

void UnitCheck::addGameFolder(std::shared_ptr<const gamefolder::GameFolder> game) {
    Place place{PlaceKind::GameFolder, game->folder(), game->folder().string()};
    impl_->add(std::move(place), gameFolderPlace(std::move(game)));
}

Status UnitCheck::addArchive(const fs::path& archive) {
    auto files = archivePlace(archive);
    if (!files) {
        return std::move(files).error();
    }
    impl_->add(Place{PlaceKind::Archive, archive, archive.filename().string()}, std::move(*files));
    return {};
}

Status UnitCheck::addFolder(const fs::path& folder) {
    auto files = folderPlace(folder);
    if (!files) {
        return std::move(files).error();
    }
    impl_->add(Place{PlaceKind::Folder, folder, folder.string()}, std::move(*files));
    return {};
}

const std::vector<Place>& UnitCheck::places() const {
    return impl_->places;
}

std::vector<std::string> UnitCheck::units() {
    std::vector<std::string> names;
    std::set<std::string> seen;
    for (std::size_t p = 0; p < impl_->files.size(); ++p) {
        for (std::string& name : unitsOf(int(p))) {
            if (seen.insert(common::foldedName(name)).second) {
                names.push_back(std::move(name));
            }
        }
    }
    std::sort(names.begin(), names.end(), common::lessFolded);
    return names;
}

std::vector<std::string> UnitCheck::unitsOf(int place) {
    std::vector<std::string> names;
    if (place < 0 || std::size_t(place) >= impl_->files.size()) {
        return names;
    }
    std::set<std::string> seen;
    for (const std::string& member : impl_->files[std::size_t(place)]->files("units", false)) {
        const std::string_view file = fileNameOf(member);
        if (hasExtension(file, ".fbi")) {
            std::string name(file.substr(0, file.size() - 4));
            if (seen.insert(common::foldedName(name)).second) {
                names.push_back(std::move(name));
            }
        }
    }
    std::sort(names.begin(), names.end(), common::lessFolded);
    return names;
}

UnitReport UnitCheck::check(std::string_view unit) {
    UnitReport report;
    report.root = UnitRules(*impl_).unit(unit);
    report.unit = report.root.name;
    count(report.root, report);
    return report;
}

std::vector<UnitReport> UnitCheck::checkAll() {
    std::vector<UnitReport> reports;
    for (const std::string& unit : units()) {
        reports.push_back(check(unit));
    }
    return reports;
}

Result<std::vector<std::uint8_t>> UnitCheck::readMember(int place, std::string_view member) const {
    if (place < 0 || std::size_t(place) >= impl_->files.size()) {
        return hpiutil::fail("no such place");
    }
    return impl_->files[std::size_t(place)]->read(member);
}

} // namespace unitcheck
