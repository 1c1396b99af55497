// Small helpers shared by the model engine tests.
#pragma once

#include "meshglass/ModelFile.hpp"
#include "meshglass/class3do.hpp"

#include <memory>
#include <string>
#include <vector>

namespace meshglass_test {

struct Loaded {
    std::unique_ptr<meshglass::class3do> root;
    std::vector<std::string> messages;
};

inline Loaded loadBytes(std::vector<std::uint8_t> bytes) {
    meshglass::ModelFile file(std::move(bytes));
    Loaded loaded;
    file.onError = [&](std::string_view text) { loaded.messages.emplace_back(text); };
    loaded.root = meshglass::LoadModel(file);
    return loaded;
}

inline std::vector<std::string> childNames(const meshglass::class3do& piece) {
    std::vector<std::string> names;
    for (const auto& child : piece.Objects) {
        names.push_back(child->Name);
    }
    return names;
}

} // namespace meshglass_test
