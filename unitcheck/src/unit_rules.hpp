// Builds one unit's dependency tree from its definition, over the places and
// indexes of a UnitCheck.
#pragma once

#include "check_state.hpp"

namespace unitcheck {

class UnitRules {
public:
    explicit UnitRules(UnitCheck::Impl& impl) : impl_(impl) {}

    // The tree rooted at the unit's definition (a name or a member path).
    Dependency unit(std::string_view asked);

    // A value's name without the folder and extension the rules add
    // ("objects3d\armcom.3do" -> "armcom"), trimmed, as UTF-8.
    static std::string plainName(std::string_view value, std::string_view folder,
                                 std::string_view extension);

private:
    static void place(Dependency& node, const Located& at);
    static Dependency make(Kind kind, std::string role, std::string name, std::string looked);
    Dependency file(Kind kind, std::string role, std::string name, std::string path,
                    Severity ifMissing);
    Dependency section(Kind kind, std::string role, const std::string& name,
                       const SectionIndex& index, std::string_view where);
    Dependency model(std::string role, std::string_view value);
    Dependency script(const std::string& unitName, const Dependency* modelNode);
    Dependency feature(std::string role, std::string_view value, std::vector<std::string>& chain);
    Dependency sound(std::string role, std::string_view value);
    Dependency soundCategory(std::string_view value);
    Dependency weapon(std::string role, std::string_view value);
    // An explosion GAF and, for each key given, the entry it names in it.
    Dependency explosion(std::string role, std::string_view gafValue,
                         const std::vector<std::pair<const char*, const std::string*>>& arts);
    std::vector<Dependency> buildMenus(const std::string& unitName);

    UnitCheck::Impl& impl_;
};

} // namespace unitcheck
