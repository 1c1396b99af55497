// Unit check benchmarks, on a generated game folder of 500 complete units
// spread over 40 archives (every unit's definition, script, model, textures,
// corpse features, sounds, weapons and build menu):
//   mount             mounting the folder
//   check_all         checking every unit after mounting (a fresh check, so
//                     the weapon, feature, sound and menu indexes and the
//                     texture names are read in the run)
//   check_one         one unit after mounting, indexes included
// and the peak memory of the run.
#include "fastest_runs.hpp"
#include "hpi_bench_data.hpp"
#include "unit_fixture.hpp"

#include "gamefolder/game_folder.hpp"
#include "unitcheck/unit_check.hpp"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>

namespace fs = std::filesystem;

namespace {

constexpr int kUnits = 500;
constexpr int kArchives = 40;

std::string unitName(int i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "U%03dUNIT", i);
    return buf;
}

const fs::path& folder() {
    static const fs::path f = [] {
        const fs::path f = bench::scratch("unitcheck");
        std::vector<unitfixture::Members> archives(kArchives);
        std::string sounds;
        for (int u = 0; u < kUnits; ++u) {
            unitfixture::Members unit;
            unitfixture::addUnit(unit, unitName(u));
            sounds += unit["gamedata\\sound.tdf"];
            unit.erase("gamedata\\sound.tdf");
            archives[std::size_t(u % kArchives)].merge(unit);
        }
        // The sound categories of every unit, in the first archive as in the game.
        archives[0]["gamedata\\sound.tdf"] = sounds;
        for (int a = 0; a < kArchives; ++a) {
            char name[32];
            std::snprintf(name, sizeof name, "units%02d.ufo", a);
            if (!unitfixture::writeArchive(f / name, archives[std::size_t(a)])) {
                std::fprintf(stderr, "cannot write %s\n", name);
                std::exit(1);
            }
        }
        return f;
    }();
    return f;
}

std::shared_ptr<const gamefolder::GameFolder> mounted() {
    static auto game = std::make_shared<const gamefolder::GameFolder>(
        std::move(gamefolder::GameFolder::mount(folder()).value()));
    return game;
}

void BM_mount(benchmark::State& state) {
    for (auto _ : state) {
        auto g = gamefolder::GameFolder::mount(folder());
        benchmark::DoNotOptimize(g->nodes().size());
    }
}

void BM_check_all(benchmark::State& state) {
    for (auto _ : state) {
        unitcheck::UnitCheck check;
        check.addGameFolder(mounted());
        const auto reports = check.checkAll();
        int missing = 0;
        for (const auto& r : reports) {
            missing += r.missing;
        }
        if (reports.size() != std::size_t(kUnits) || missing != 0) {
            state.SkipWithError("the generated units are not all complete");
        }
    }
}

void BM_check_one(benchmark::State& state) {
    for (auto _ : state) {
        unitcheck::UnitCheck check;
        check.addGameFolder(mounted());
        const auto report = check.check(unitName(kUnits / 2));
        if (report.anyMissing()) {
            state.SkipWithError("the generated unit is not complete");
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    mounted(); // generate and mount the folder before timing anything
    auto reg = [](const char* name, auto fn, int iterations, int repetitions) {
        benchmark::RegisterBenchmark(name, fn)
            ->Iterations(iterations)
            ->Repetitions(repetitions)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    };
    reg("mount", BM_mount, 1, 5);
    reg("check_all", BM_check_all, 1, 3);
    reg("check_one", BM_check_one, 1, 5);
    FastestRuns collector;
    benchmark::RunSpecifiedBenchmarks(&collector);

    auto& ms = collector.times;
    std::printf("TIME mount_ms %.1f\n", ms["mount"]);
    std::printf("TIME unitcheck_all_ms %.1f\n", ms["check_all"]);
    std::printf("RATIO unitcheck_all_vs_mount %.2f (reported: every unit checked after mounting, "
                "over the mount)\n",
                ms["check_all"] / ms["mount"]);
    std::printf("TIME unitcheck_per_unit_us %.1f\n", ms["check_all"] * 1000.0 / kUnits);
    std::printf("TIME unitcheck_one_ms %.2f target < 50\n", ms["check_one"]);
    std::printf("PEAK memory %.0f MiB (whole run: %d units in %d archives)\n", bench::peakMiB(),
                kUnits, kArchives);
    benchmark::Shutdown();
    return 0;
}
