// The demo unit: every file of one unit of the game, laid out in the
// folders the game's archives use, all generated here.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace demo {

// The unit's name, as its definition, model, script and pictures carry it.
inline constexpr const char* kUnitName = "armdemo";

struct Member {
    std::string path; // in the archive, '\'-separated
    std::vector<std::uint8_t> bytes;
};

// The game palette: 256 red, green, blue triples.
using Palette = std::array<std::uint8_t, 768>;

// The unit's files and the archive's read-me, in the order they are added.
std::vector<Member> UnitMembers(const Palette& palette);

} // namespace demo
