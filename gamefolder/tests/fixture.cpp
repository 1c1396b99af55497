#include "fixture.hpp"

#include "hpiutil/writer.hpp"

#include <gtest/gtest.h>

namespace fixture {

void writeArchive(const std::filesystem::path& path, const Members& members) {
    hpiutil::ArchiveWriter writer;
    for (const auto& [name, text] : members) {
        if (name.ends_with('\\')) {
            ASSERT_TRUE(writer.addDirectory(name.substr(0, name.size() - 1)).ok()) << name;
        } else {
            ASSERT_TRUE(
                writer.addBuffer(name, std::vector<std::uint8_t>(text.begin(), text.end())).ok())
                << name;
        }
    }
    auto st = writer.write(path, hpiutil::Method::Zlib, {}, 1);
    ASSERT_TRUE(st.ok()) << st.error().message();
}

std::string providerOf(const gamefolder::GameFolder& game, const std::string& path) {
    auto node = game.find(path);
    if (!node || *node < 0) {
        return "";
    }
    return game.sourceName(game.copies(*node).front().source);
}

std::vector<std::string> holdersOf(const gamefolder::GameFolder& game, const std::string& path) {
    std::vector<std::string> names;
    if (auto node = game.find(path)) {
        for (const auto& c : game.copies(*node)) {
            names.push_back(game.sourceName(c.source));
        }
    }
    return names;
}

std::string contentOf(const gamefolder::GameFolder& game, const std::string& path) {
    auto node = game.find(path);
    if (!node) {
        ADD_FAILURE() << "no " << path;
        return "";
    }
    std::string out;
    auto st = game.read(*node, [&](std::span<const std::uint8_t> b) -> hpiutil::Status {
        out.append(b.begin(), b.end());
        return {};
    });
    EXPECT_TRUE(st.ok()) << st.error().message();
    return out;
}

gamefolder::GameFolder mountOrDie(const std::filesystem::path& folder) {
    auto game = gamefolder::GameFolder::mount(folder);
    if (!game) {
        ADD_FAILURE() << game.error().message();
        std::abort();
    }
    return std::move(game.value());
}

} // namespace fixture
