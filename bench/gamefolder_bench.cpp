// Game folder benchmarks, on a generated folder of 40 archives holding
// 100,000 members, a tenth of them on paths several archives hold:
//   mount_vs_open_each  mounting and merging the folder, over opening each
//                       archive with hpiutil and walking its directory
//   which_1000          1,000 lookups in the merged tree, over one
//                       Archive::find each in the archive that provides it
// and the peak memory of the run. Times are wall-clock times (mounting opens
// the archives on every core). Mounting and opening each archive take turns,
// 21 times each, and each side's fastest run counts: both meet the same
// conditions on a shared machine.
#include "fastest_alternating.hpp"
#include "fastest_runs.hpp"
#include "hpi_bench_data.hpp"

#include "gamefolder/game_folder.hpp"
#include "hpiutil/archive.hpp"
#include "hpiutil/writer.hpp"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>

namespace fs = std::filesystem;

namespace {

constexpr int kArchives = 40;
constexpr int kPerArchive = 2500;
constexpr int kSharedPerArchive = 250; // a tenth of each archive's members
constexpr int kSharedPool = 2500;      // each shared path lies in four archives
constexpr int kLookups = 1000;

const char* const kFolders[] = {"units", "objects3d", "anims", "scripts", "sounds", "textures"};

struct Shared {
    fs::path folder;
    std::vector<fs::path> archives;
    // Paths to look up, each with the archive that provides it.
    std::vector<std::pair<std::string, int>> lookups;
};

std::string uniquePath(int archive, int i) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%s\\mod%02d\\part%02d\\member%05d.dat", kFolders[i % 6],
                  archive, i % 37, i);
    return buf;
}

std::string sharedPath(int i) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%s\\common\\item%04d.dat", kFolders[i % 6], i);
    return buf;
}

Shared& shared() {
    static Shared s = [] {
        Shared s;
        s.folder = bench::scratch("gamefolder");
        const std::vector<std::uint8_t> bytes = {'m', 'e', 'm', 'b', 'e', 'r'};
        for (int a = 0; a < kArchives; ++a) {
            hpiutil::ArchiveWriter writer;
            for (int i = 0; i < kPerArchive - kSharedPerArchive; ++i) {
                (void)writer.addBuffer(uniquePath(a, i), bytes);
            }
            for (int i = 0; i < kSharedPerArchive; ++i) {
                (void)writer.addBuffer(sharedPath((a * kSharedPerArchive + i) % kSharedPool),
                                       bytes);
            }
            char name[32];
            std::snprintf(name, sizeof name, "pack%02d.ufo", a);
            s.archives.push_back(s.folder / name);
            if (auto st = writer.write(s.archives.back(), hpiutil::Method::Zlib); !st) {
                std::fprintf(stderr, "%s\n", st.error().message().c_str());
                std::exit(1);
            }
        }
        for (int k = 0; k < kLookups; ++k) {
            const int a = (k * 7) % kArchives;
            s.lookups.emplace_back(uniquePath(a, (k * 131) % (kPerArchive - kSharedPerArchive)), a);
        }
        return s;
    }();
    return s;
}

void openEach() {
    std::size_t names = 0;
    for (const auto& path : shared().archives) {
        auto a = hpiutil::Archive::open(path);
        for (const auto& e : a->entries()) {
            names += e.name.size();
        }
    }
    benchmark::DoNotOptimize(names);
}

void mountFolder() {
    auto g = gamefolder::GameFolder::mount(shared().folder);
    benchmark::DoNotOptimize(g->nodes().size());
}

void BM_which_1000(benchmark::State& state) {
    auto g = gamefolder::GameFolder::mount(shared().folder);
    for (auto _ : state) {
        std::uint64_t sum = 0;
        for (const auto& [path, archive] : shared().lookups) {
            auto node = g->find(path);
            sum += g->copies(*node).front().source;
        }
        benchmark::DoNotOptimize(sum);
    }
}

void BM_archive_find_1000(benchmark::State& state) {
    std::vector<hpiutil::Archive> archives;
    for (const auto& path : shared().archives) {
        archives.push_back(std::move(hpiutil::Archive::open(path).value()));
    }
    for (auto _ : state) {
        std::int64_t sum = 0;
        for (const auto& [path, archive] : shared().lookups) {
            sum += *archives[std::size_t(archive)].find(path);
        }
        benchmark::DoNotOptimize(sum);
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    shared(); // generate the folder before timing anything
    auto reg = [](const char* name, auto fn, int iterations) {
        benchmark::RegisterBenchmark(name, fn)
            ->Iterations(iterations)
            ->Repetitions(7)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    };
    reg("which_1000", BM_which_1000, 20);
    reg("archive_find_1000", BM_archive_find_1000, 20);
    FastestRuns collector;
    benchmark::RunSpecifiedBenchmarks(&collector);

    const auto [mountUs, openEachUs] = bench::fastestAlternating(mountFolder, 1, openEach, 1, 21);
    auto& ms = collector.times;
    std::printf("TIME open_each_ms %.1f\n", openEachUs / 1000);
    std::printf("TIME mount_ms %.1f\n", mountUs / 1000);
    std::printf("RATIO mount_vs_open_each %.2f target <= 1.5\n", mountUs / openEachUs);
    std::printf("TIME which_1000_ms %.3f\n", ms["which_1000"]);
    std::printf("TIME archive_find_1000_ms %.3f\n", ms["archive_find_1000"]);
    std::printf("RATIO which_1000 %.2f (reported: merged-tree lookups over Archive::find)\n",
                ms["which_1000"] / ms["archive_find_1000"]);
    std::printf("PEAK memory %.0f MiB (whole run: %d archives, %d members, mounted repeatedly)\n",
                bench::peakMiB(), kArchives, kArchives * kPerArchive);
    benchmark::Shutdown();
    return 0;
}
