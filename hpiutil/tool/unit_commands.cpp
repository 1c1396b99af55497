#include "unit_commands.hpp"

#include "common/terminal_text.hpp"
#include "gamefolder/game_folder.hpp"
#include "hpiutil/game_directory.hpp"
#include "unitcheck/unit_check.hpp"

#include <cstdio>
#include <optional>

namespace hpitool {

namespace fs = std::filesystem;

namespace {

const char* kUnitUsage = R"(
Units:
  hpi unitcheck [--json] [--game DIR | ARCHIVE | FOLDER] [UNIT...]
  hpi unitcheck [--json] --game DIR ARCHIVE [UNIT...]
                                   what each unit (all when none is named)
                                   needs: script and its pieces, picture,
                                   build button, model and its textures,
                                   corpse features, sounds, weapons, build
                                   menus; found, shadowed or missing, and
                                   where. ARCHIVE is one archive, FOLDER an
                                   unpacked folder; the game folder (DIR,
                                   else $TA_DIR or the game in the Wine
                                   prefix) otherwise. With both, the
                                   archive's units, looked up in the
                                   archive first and then in the game
                                   folder. Exit 1 when anything is missing
)";

struct Options {
    std::optional<std::string> game;
    bool json = false;
    std::vector<std::string> rest;
};

int parse(const Args& args, Options& o) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--game") {
            if (i + 1 >= args.size()) {
                return complain("--game needs a folder", 2);
            }
            o.game = args[++i];
        } else if (a == "--json") {
            o.json = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return complain("unitcheck: unknown option \"" + a + "\"", 2);
        } else {
            o.rest.push_back(a);
        }
    }
    return 0;
}

// The places to look in: a first word that names an archive or a folder,
// then, with --game DIR or when no such word is given, the game folder (DIR,
// else the one found for the user). The words that name units are left in
// `units`; `own` is the place whose units are checked when none is named
// (-1: all places).
std::optional<unitcheck::UnitCheck> openPlaces(const Options& o, std::vector<std::string>& units,
                                               int& own) {
    unitcheck::UnitCheck check;
    units = o.rest;
    own = -1;
    std::error_code ec;
    if (!units.empty() && fs::exists(units.front(), ec) &&
        !(o.game && fs::is_directory(units.front(), ec))) {
        const fs::path place = units.front();
        units.erase(units.begin());
        auto st = fs::is_directory(place, ec) ? check.addFolder(place) : check.addArchive(place);
        if (!st) {
            complain(st.error().message(), 1);
            return std::nullopt;
        }
        if (!o.game) {
            return check;
        }
        own = 0;
    }
    const fs::path folder = o.game ? fs::path(*o.game) : hpiutil::findGameDirectory();
    if (folder.empty()) {
        complain("no game folder: name one with --game DIR, an archive or a folder, or set TA_DIR",
                 1);
        return std::nullopt;
    }
    auto game = gamefolder::GameFolder::mount(folder);
    if (!game) {
        complain(game.error().message(), 1);
        return std::nullopt;
    }
    check.addGameFolder(std::make_shared<const gamefolder::GameFolder>(std::move(*game)));
    return check;
}

// Each line as it is to be shown (names escaped on a terminal).
void printLines(std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        std::printf("%s\n", common::forStream(line, stdout).c_str());
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
}

} // namespace

const char* unitUsage() {
    return kUnitUsage;
}

int unitcheck(const Args& args) {
    Options o;
    if (int code = parse(args, o)) {
        return code;
    }
    std::vector<std::string> units;
    int own = -1;
    auto check = openPlaces(o, units, own);
    if (!check) {
        return 1;
    }
    std::vector<unitcheck::UnitReport> reports;
    if (units.empty() && own < 0) {
        reports = check->checkAll();
    } else {
        if (units.empty()) {
            units = check->unitsOf(own);
        }
        for (const std::string& unit : units) {
            reports.push_back(check->check(unit));
        }
    }
    int withMissing = 0;
    for (const auto& r : reports) {
        withMissing += r.anyMissing() ? 1 : 0;
    }
    if (o.json) {
        std::fputs(unitcheck::renderJson(reports).c_str(), stdout);
    } else {
        for (std::size_t i = 0; i < reports.size(); ++i) {
            std::printf("%s", i ? "\n" : "");
            printLines(unitcheck::renderText(reports[i]));
        }
        if (reports.empty()) {
            std::printf("no units (no units\\*.fbi)\n");
        } else if (reports.size() > 1) {
            std::printf("\n%zu units checked, %d with something missing\n", reports.size(),
                        withMissing);
        }
    }
    std::fflush(stdout);
    return withMissing > 0 ? 1 : 0;
}

} // namespace hpitool
