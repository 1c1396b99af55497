#include "section_index.hpp"

#include "common/codepage.hpp"

#include <unordered_set>

namespace unitcheck {

bool hasExtension(std::string_view name, std::string_view extension) {
    return name.size() > extension.size() &&
           common::equalsFolded(name.substr(name.size() - extension.size()), extension);
}

std::string nameKey(std::string_view utf8) {
    const std::optional<std::string> raw = common::utf8ToCp1252(utf8);
    return common::foldedName(raw ? *raw : utf8);
}

std::string_view fileNameOf(std::string_view member) {
    const std::size_t slash = member.rfind('\\');
    return slash == std::string_view::npos ? member : member.substr(slash + 1);
}

void SectionIndex::build(const std::vector<std::unique_ptr<PlaceFiles>>& places,
                         std::string_view folder, bool recursive, const NameFilter& wanted) {
    std::unordered_set<std::string> seen;
    for (std::size_t p = 0; p < places.size(); ++p) {
        for (const std::string& member : places[p]->files(folder, recursive)) {
            if (!wanted(fileNameOf(member)) || !seen.insert(common::foldedName(member)).second) {
                continue;
            }
            auto file = std::make_unique<TdfFile>();
            file->place = int(p);
            if (auto hit = places[p]->find(member)) {
                file->hit = std::move(*hit);
            }
            auto bytes = places[p]->read(member);
            if (bytes) {
                file->doc = parseTdf(
                    std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
            } else {
                file->unreadable = true;
            }
            files_.push_back(std::move(file));
        }
    }
    for (const auto& file : files_) {
        for (const TdfSection& section : file->doc.sections) {
            auto [it, added] = byName_.try_emplace(common::foldedName(section.name));
            if (added) {
                it->second.file = file.get();
                it->second.section = &section;
            } else if (it->second.file != file.get()) {
                it->second.alsoIn.push_back(file->hit.source + ": " + file->hit.member);
            }
        }
    }
}

const SectionHit* SectionIndex::find(std::string_view name) const {
    const auto it = byName_.find(nameKey(name));
    return it == byName_.end() ? nullptr : &it->second;
}

} // namespace unitcheck
