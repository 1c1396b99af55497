#include "game_commands.hpp"

#include "common/json.hpp"
#include "common/terminal_text.hpp"
#include "gamefolder/game_folder.hpp"
#include "hpiutil/game_directory.hpp"

#include <cstdio>
#include <optional>
#include <string>

namespace hpitool {

namespace fs = std::filesystem;
using gamefolder::Copy;
using gamefolder::GameFolder;

namespace {

const char* kGameUsage = R"(
Game folder (DIR defaults to $TA_DIR, else the game found in the Wine prefix):
  hpi game [--json] [DIR]          list the sources in mount order: loose files,
                                   rev*.gp3, *.ccx, *.ufo, *.hpi; skipped ones
                                   with the reason
  hpi which [--game DIR] [--json] PATH...
                                   the source that provides each path and the
                                   later sources whose copies it shadows
  hpi shadowed [--game DIR] [--differ] [--json]
                                   every path more than one source holds;
                                   --differ compares the copies and lists only
                                   those whose bytes differ
  hpi cat --game DIR PATH          write the providing copy to standard output
  hpi extract --game DIR [-C OUT] [PATH...]
                                   extract the merged view (providing copies)
)";

// The options every game command shares, and the words left over.
struct Options {
    std::optional<std::string> game;
    std::optional<std::string> dest;
    bool json = false;
    bool differ = false;
    std::vector<std::string> rest;
};

// Parses the options the command accepts; 0 on success, else the exit code.
int parse(const Args& args, const std::string& command, bool acceptDest, bool acceptDiffer,
          Options& o) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--game" || (a == "-C" && acceptDest)) {
            if (i + 1 >= args.size()) {
                return complain(a + " needs a folder", 2);
            }
            (a == "-C" ? o.dest : o.game) = args[++i];
        } else if (a == "--json") {
            o.json = true;
        } else if (a == "--differ" && acceptDiffer) {
            o.differ = true;
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            return complain(command + ": unknown option \"" + a + "\"", 2);
        } else {
            o.rest.push_back(a);
        }
    }
    return 0;
}

std::optional<GameFolder> mountOrComplain(const std::optional<std::string>& named) {
    fs::path folder = named ? fs::path(*named) : hpiutil::findGameDirectory();
    if (folder.empty()) {
        complain("no game folder: name one with --game DIR or set TA_DIR", 1);
        return std::nullopt;
    }
    auto mounted = GameFolder::mount(folder);
    if (!mounted) {
        complain(mounted.error().message(), 1);
        return std::nullopt;
    }
    return std::move(mounted.value());
}

std::string sourceJson(const GameFolder& g, std::uint32_t index) {
    const auto& s = g.sources()[index];
    return "{\"index\":" + std::to_string(index) +
           ",\"name\":" + common::jsonString(g.sourceName(index)) + ",\"kind\":\"" +
           gamefolder::kindName(s.kind) + "\"}";
}

std::string copyJson(const GameFolder& g, const Copy& c) {
    std::string j = sourceJson(g, c.source);
    j.pop_back();
    return j + ",\"directory\":" + (c.directory ? "true" : "false") +
           ",\"size\":" + std::to_string(c.size) + "}";
}

std::string copyText(const GameFolder& g, const Copy& c) {
    return g.sourceName(c.source) +
           (c.directory ? std::string(" (folder)") : " (" + std::to_string(c.size) + " bytes)");
}

const char* likenessName(gamefolder::Likeness l) {
    switch (l) {
    case gamefolder::Likeness::Same:
        return "same";
    case gamefolder::Likeness::Differs:
        return "differs";
    case gamefolder::Likeness::Unreadable:
        return "unreadable";
    case gamefolder::Likeness::NotCompared:
        break;
    }
    return "not compared";
}

} // namespace

const char* gameUsage() {
    return kGameUsage;
}

bool wantsGame(const Args& args) {
    for (const auto& a : args) {
        if (a == "--game") {
            return true;
        }
    }
    return false;
}

int game(const Args& args) {
    Options o;
    if (int code = parse(args, "game", false, false, o)) {
        return code;
    }
    if (o.rest.size() > 1) {
        return complain("game takes one folder", 2);
    }
    auto g = mountOrComplain(o.rest.empty() ? o.game : std::optional(o.rest[0]));
    if (!g) {
        return 1;
    }
    const auto& sources = g->sources();
    if (o.json) {
        std::string out =
            "{\"folder\":" + common::jsonString(g->folder().string()) + ",\"sources\":[";
        for (std::uint32_t i = 0; i < sources.size(); ++i) {
            const auto& s = sources[i];
            std::string j = sourceJson(*g, i);
            j.pop_back();
            out += (i ? "," : "") + j + ",\"path\":" + common::jsonString(s.path.string()) +
                   ",\"members\":" + std::to_string(s.members) +
                   ",\"skipped\":" + (s.skipped ? "true" : "false") +
                   ",\"reason\":" + common::jsonString(s.reason) + "}";
        }
        out += "],\"problems\":[";
        for (std::size_t i = 0; i < g->problems().size(); ++i) {
            const auto& p = g->problems()[i];
            out += std::string(i ? "," : "") + "{\"path\":" + common::jsonString(p.path) +
                   ",\"what\":" + common::jsonString(p.what) + "}";
        }
        std::printf("%s]}\n", out.c_str());
        return 0;
    }
    std::printf("game folder %s\n", g->folder().c_str());
    for (std::uint32_t i = 0; i < sources.size(); ++i) {
        const auto& s = sources[i];
        if (s.skipped) {
            std::printf("%4u  %-5s skipped       %s: %s\n", i + 1, gamefolder::kindName(s.kind),
                        common::forStream(g->sourceName(i), stdout).c_str(),
                        common::forStream(s.reason, stdout).c_str());
        } else {
            std::printf("%4u  %-5s %7u files %s\n", i + 1, gamefolder::kindName(s.kind), s.members,
                        common::forStream(g->sourceName(i), stdout).c_str());
        }
    }
    for (const auto& p : g->problems()) {
        std::printf("note: %s: %s\n", common::forStream(p.path, stdout).c_str(),
                    common::forStream(p.what, stdout).c_str());
    }
    return 0;
}

int which(const Args& args) {
    Options o;
    if (int code = parse(args, "which", false, false, o)) {
        return code;
    }
    if (o.rest.empty()) {
        return complain("which needs a member path", 2);
    }
    auto g = mountOrComplain(o.game);
    if (!g) {
        return 1;
    }
    int status = 0;
    std::string json;
    for (const auto& path : o.rest) {
        auto node = g->find(path);
        if (!node || *node < 0) {
            complain("no member \"" + path + "\" in the game folder " + g->folder().string(), 1);
            status = 1;
            continue;
        }
        const auto copies = g->copies(*node);
        const bool clash = g->nodes()[std::size_t(*node)].clash;
        if (o.json) {
            json += std::string(json.empty() ? "" : ",") +
                    "{\"path\":" + common::jsonString(g->path(*node)) +
                    ",\"clash\":" + (clash ? "true" : "false") +
                    ",\"provider\":" + copyJson(*g, copies[0]) + ",\"shadowed\":[";
            for (std::size_t c = 1; c < copies.size(); ++c) {
                json += (c > 1 ? "," : "") + copyJson(*g, copies[c]);
            }
            json += "]}";
            continue;
        }
        const std::string line = g->path(*node) + ": " + copyText(*g, copies[0]);
        std::printf("%s\n", common::forStream(line, stdout).c_str());
        for (std::size_t c = 1; c < copies.size(); ++c) {
            std::printf("  shadows %s\n",
                        common::forStream(copyText(*g, copies[c]), stdout).c_str());
        }
    }
    if (o.json) {
        std::printf("{\"folder\":%s,\"paths\":[%s]}\n",
                    common::jsonString(g->folder().string()).c_str(), json.c_str());
    }
    return status;
}

int shadowed(const Args& args) {
    Options o;
    if (int code = parse(args, "shadowed", false, true, o)) {
        return code;
    }
    if (!o.rest.empty()) {
        return complain("shadowed takes no paths", 2);
    }
    auto g = mountOrComplain(o.game);
    if (!g) {
        return 1;
    }
    std::string json;
    for (const auto& s : g->shadowed(o.differ)) {
        if (o.differ && !s.differs()) {
            continue;
        }
        const auto copies = g->copies(s.node);
        if (o.json) {
            json += std::string(json.empty() ? "" : ",") +
                    "{\"path\":" + common::jsonString(s.path) + ",\"copies\":[";
            for (std::size_t c = 0; c < copies.size(); ++c) {
                std::string j = copyJson(*g, copies[c]);
                j.pop_back();
                json +=
                    (c ? "," : "") + j + ",\"likeness\":\"" + likenessName(s.likeness[c]) + "\"}";
            }
            json += "]}";
            continue;
        }
        std::string line = s.path + ": " + copyText(*g, copies[0]) + " over ";
        for (std::size_t c = 1; c < copies.size(); ++c) {
            line += (c > 1 ? ", " : "") + copyText(*g, copies[c]);
            if (s.likeness[c] != gamefolder::Likeness::NotCompared) {
                line.insert(line.size() - 1, std::string(", ") + likenessName(s.likeness[c]));
            }
        }
        std::printf("%s\n", common::forStream(line, stdout).c_str());
    }
    if (o.json) {
        std::printf("{\"folder\":%s,\"compared\":%s,\"paths\":[%s]}\n",
                    common::jsonString(g->folder().string()).c_str(), o.differ ? "true" : "false",
                    json.c_str());
    }
    return 0;
}

int gameCat(const Args& args) {
    Options o;
    if (int code = parse(args, "cat", false, false, o)) {
        return code;
    }
    if (o.rest.size() != 1) {
        return complain("cat --game DIR needs one member path", 2);
    }
    auto g = mountOrComplain(o.game);
    if (!g) {
        return 1;
    }
    auto node = g->find(o.rest[0]);
    if (!node || *node < 0 || g->nodes()[std::size_t(*node)].directory) {
        return complain("no file \"" + o.rest[0] + "\" in the game folder " + g->folder().string(),
                        1);
    }
    auto st = g->read(*node, WriteToStandardOutput);
    std::fflush(stdout);
    if (!st) {
        return complain(st.error().message(), 1);
    }
    return 0;
}

int gameExtract(const Args& args) {
    Options o;
    if (int code = parse(args, "extract", true, false, o)) {
        return code;
    }
    auto g = mountOrComplain(o.game);
    if (!g) {
        return 1;
    }
    int status = 0;
    std::vector<std::int32_t> roots;
    for (const auto& path : o.rest) {
        auto node = g->find(path);
        if (!node) {
            complain("no member \"" + path + "\" in the game folder " + g->folder().string(), 1);
            status = 1;
            continue;
        }
        roots.push_back(*node);
    }
    if (!o.rest.empty() && roots.empty()) {
        return 1;
    }
    const auto summary = g->extract(o.dest ? fs::path(*o.dest) : fs::path("."), roots);
    for (const auto& f : summary.failures) {
        complain(f.message(), 1);
        status = 1;
    }
    return status;
}

} // namespace hpitool
