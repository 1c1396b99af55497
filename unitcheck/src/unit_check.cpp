#include "unitcheck/unit_check.hpp"

#include "gamefolder/game_folder.hpp"

namespace unitcheck {

struct UnitCheck::Impl {
    std::vector<Place> places;
};

UnitCheck::UnitCheck() : impl_(std::make_unique<Impl>()) {}
UnitCheck::UnitCheck(UnitCheck&&) noexcept = default;
UnitCheck& UnitCheck::operator=(UnitCheck&&) noexcept = default;
UnitCheck::~UnitCheck() = default;

Result<UnitCheck> UnitCheck::open(const std::filesystem::path&) {
    return UnitCheck();
}
void UnitCheck::addGameFolder(std::shared_ptr<const gamefolder::GameFolder>) {}
Status UnitCheck::addArchive(const std::filesystem::path&) {
    return {};
}
Status UnitCheck::addFolder(const std::filesystem::path&) {
    return {};
}
const std::vector<Place>& UnitCheck::places() const {
    return impl_->places;
}
std::vector<std::string> UnitCheck::units() {
    return {};
}
UnitReport UnitCheck::check(std::string_view unit) {
    UnitReport report;
    report.unit = std::string(unit);
    return report;
}
std::vector<UnitReport> UnitCheck::checkAll() {
    return {};
}
Result<std::vector<std::uint8_t>> UnitCheck::readMember(int, std::string_view) const {
    return hpiutil::fail("not yet");
}

std::string_view kindName(Kind) {
    return "";
}
std::string_view stateName(State) {
    return "";
}
std::string_view severityName(Severity) {
    return "";
}
std::string renderText(const UnitReport&) {
    return "";
}
std::string renderJson(const std::vector<UnitReport>&) {
    return "[]";
}

} // namespace unitcheck
