// Archive benchmarks. Each pair is measured in the same run on the same data
// and ends in a line "RATIO <name> <value> target <op> <value>":
//   extract_vs_zlib          the floor extractor (one thread: read, undo the inner
//                            encoding, inflate, write), over our extraction; both
//                            whole operations on the same archive file, writing
//                            into a memory-backed folder where there is one
//   extract_cpu_vs_zlib      the same two, CPU seconds of the floor over ours
//   verify_vs_zlib           the floor reading and inflating every chunk on one
//                            thread, over our verify
//   pack_zlib_vs_zlib1thread single-threaded compress2, over our ZLIB packing
//   lz77_pack_vs_zlib1       zlib level 1, over our LZ77 packing (and the LZ77 size
//                            against a literal-only stream)
//   open_list_50k            reading the file once, over opening and listing it
// The data is generated here (it needs no real files).
#include "fastest_runs.hpp"
#include "hpi_bench_data.hpp"
#include "hpi_bench_floor.hpp"

#include "hpiutil/archive.hpp"
#include "hpiutil/format.hpp"
#include "hpiutil/lz77.hpp"
#include "hpiutil/writer.hpp"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <sys/resource.h>
#include <unistd.h>
#include <zlib.h>

namespace fs = std::filesystem;
using bench::TreeFile;

namespace {

constexpr std::size_t kTreeBytes = 64u << 20;

struct Shared {
    fs::path root;
    std::vector<TreeFile> tree;
    fs::path zlibArchive;
    fs::path bigDirArchive;
};

Shared& shared() {
    static Shared s = [] {
        Shared d;
        d.root = bench::scratch("data");
        d.tree = bench::mixedTree(kTreeBytes, d.root / "tree");
        hpiutil::ArchiveWriter w;
        for (const auto& f : d.tree) {
            (void)w.addFile(f.member, f.disk);
        }
        d.zlibArchive = d.root / "tree.hpi";
        (void)w.write(d.zlibArchive, hpiutil::Method::Zlib);
        hpiutil::ArchiveWriter big;
        const std::vector<std::uint8_t> small(16, 'x');
        for (int dir = 0; dir < 5000; ++dir) {
            for (int file = 0; file < 10; ++file) {
                (void)big.addBuffer(
                    "dir" + std::to_string(dir) + "\\file" + std::to_string(file) + ".txt", small);
            }
        }
        d.bigDirArchive = d.root / "big_dir.hpi";
        (void)big.write(d.bigDirArchive, hpiutil::Method::Zlib);
        return d;
    }();
    return s;
}

// Where extractions write: a memory-backed folder when there is one, so the
// figures measure the work and not the disk.
fs::path extractionRoot() {
    static const fs::path root = [] {
        std::error_code ec;
        if (fs::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0) {
            fs::path p = fs::path("/dev/shm") / ("hpi-bench-" + std::to_string(::getpid()));
            fs::create_directories(p, ec);
            if (!ec) {
                bench::removeAtExit(p);
                return p;
            }
        }
        return bench::scratch("extract");
    }();
    return root;
}

struct Cost {
    double wall = 1e30; // seconds, the fastest run
    double cpu = 1e30;  // user + system seconds of every thread, the least
};

double cpuSeconds() {
    struct rusage ru {};
    ::getrusage(RUSAGE_SELF, &ru);
    return double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
           1e-6 * double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec);
}

// Runs the floor and ours in turn, `runs` times each, into fresh folders.
std::pair<Cost, Cost> compareExtraction(int runs) {
    const fs::path archive = shared().zlibArchive;
    const fs::path dest = extractionRoot() / "out";
    Cost floor, ours;
    auto measure = [&](Cost& cost, auto&& extract) {
        fs::remove_all(dest);
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = cpuSeconds();
        extract();
        const double cpu = cpuSeconds() - cpuStart;
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        cost.wall = std::min(cost.wall, wall);
        cost.cpu = std::min(cost.cpu, cpu);
    };
    for (int r = 0; r < runs; ++r) {
        measure(floor, [&] { benchmark::DoNotOptimize(bench::floorExtract(archive, dest)); });
        measure(ours, [&] {
            auto a = hpiutil::Archive::open(archive);
            benchmark::DoNotOptimize(a->extractTree(dest).filesWritten);
        });
    }
    fs::remove_all(dest);
    return {floor, ours};
}

void BM_verify_ours(benchmark::State& state) {
    for (auto _ : state) {
        auto a = hpiutil::Archive::open(shared().zlibArchive);
        benchmark::DoNotOptimize(a->verify().bytesChecked);
    }
}

void BM_verify_floor(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(bench::floorInflate(shared().zlibArchive));
    }
}

void packOurs(benchmark::State& state, hpiutil::Method method) {
    auto& s = shared();
    hpiutil::ArchiveWriter w;
    for (const auto& f : s.tree) {
        (void)w.addFile(f.member, f.disk);
    }
    const fs::path target = s.root / "packed.hpi";
    for (auto _ : state) {
        state.PauseTiming();
        ::sync();
        state.ResumeTiming();
        auto st = w.write(target, method);
        benchmark::DoNotOptimize(st.ok());
    }
}

void compressSingle(benchmark::State& state, int level) {
    auto& s = shared();
    std::vector<std::uint8_t> out(compressBound(hpiutil::kChunkSize));
    for (auto _ : state) {
        for (const auto& f : s.tree) {
            for (std::size_t at = 0; at < f.bytes.size(); at += hpiutil::kChunkSize) {
                const std::size_t n =
                    std::min<std::size_t>(hpiutil::kChunkSize, f.bytes.size() - at);
                uLongf len = out.size();
                compress2(out.data(), &len, f.bytes.data() + at, uLong(n), level);
                benchmark::DoNotOptimize(len);
            }
        }
    }
}

void BM_open_list(benchmark::State& state) {
    auto& s = shared();
    for (auto _ : state) {
        auto a = hpiutil::Archive::open(s.bigDirArchive);
        std::size_t names = 0;
        for (std::uint32_t dir : a->children(-1)) {
            for (std::uint32_t child : a->children(std::int32_t(dir))) {
                names += a->entries()[child].name.size();
            }
        }
        benchmark::DoNotOptimize(names);
    }
}

void BM_read_once(benchmark::State& state) {
    auto& s = shared();
    for (auto _ : state) {
        std::ifstream in(s.bigDirArchive, std::ios::binary);
        std::vector<char> bytes(fs::file_size(s.bigDirArchive));
        in.read(bytes.data(), std::streamsize(bytes.size()));
        benchmark::DoNotOptimize(bytes.data());
    }
}

double lz77SizeRatio() {
    std::size_t lz = 0, literal = 0;
    std::vector<std::uint8_t> out;
    for (const auto& f : shared().tree) {
        for (std::size_t at = 0; at < f.bytes.size(); at += hpiutil::kChunkSize) {
            const std::size_t n = std::min<std::size_t>(hpiutil::kChunkSize, f.bytes.size() - at);
            hpiutil::lz77::compress(std::span(f.bytes.data() + at, n), out);
            lz += out.size();
            literal += hpiutil::lz77::worstCaseSize(n);
        }
    }
    return double(lz) / double(literal);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    shared(); // generate the data before timing anything
    auto reg = [](const char* name, auto fn, int iterations) {
        benchmark::RegisterBenchmark(name, fn)
            ->Iterations(iterations)
            ->Repetitions(5)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    };
    reg("verify_floor", BM_verify_floor, 1);
    reg("verify_ours", BM_verify_ours, 1);
    reg(
        "pack_zlib_1thread_baseline",
        [](benchmark::State& s) { compressSingle(s, Z_DEFAULT_COMPRESSION); }, 1);
    reg(
        "pack_zlib_ours", [](benchmark::State& s) { packOurs(s, hpiutil::Method::Zlib); }, 1);
    reg(
        "pack_zlib1_baseline", [](benchmark::State& s) { compressSingle(s, 1); }, 1);
    reg(
        "pack_lz77_ours", [](benchmark::State& s) { packOurs(s, hpiutil::Method::Lz77); }, 1);
    reg("read_50k_once", BM_read_once, 20);
    reg("open_list_50k_ours", BM_open_list, 20);
    FastestRuns collector;
    benchmark::RunSpecifiedBenchmarks(&collector);

    auto& ms = collector.times;
    auto ratio = [&](const char* base, const char* ours) { return ms[base] / ms[ours]; };
    const auto [floor, ours] = compareExtraction(9);
    std::printf("DATA %zu generated files, %zu MiB; extraction into %s\n", shared().tree.size(),
                kTreeBytes >> 20, extractionRoot().c_str());
    std::printf("RATIO extract_vs_zlib %.2f target >= 1.6 (%.0f ms against %.0f ms)\n",
                floor.wall / ours.wall, floor.wall * 1e3, ours.wall * 1e3);
    std::printf("RATIO extract_cpu_vs_zlib %.2f target >= 1.0 (%.0f CPU-ms against %.0f CPU-ms)\n",
                floor.cpu / ours.cpu, floor.cpu * 1e3, ours.cpu * 1e3);
    std::printf("RATIO verify_vs_zlib %.2f target >= 1.6\n", ratio("verify_floor", "verify_ours"));
    std::printf("RATIO pack_zlib_vs_zlib1thread %.2f target >= 1.6\n",
                ratio("pack_zlib_1thread_baseline", "pack_zlib_ours"));
    std::printf("RATIO lz77_pack_vs_zlib1 %.2f (reported)\n",
                ratio("pack_zlib1_baseline", "pack_lz77_ours"));
    std::printf("RATIO lz77_size_vs_literal %.3f target <= 0.6\n", lz77SizeRatio());
    std::printf("RATIO open_list_50k %.2f (reading the file once, over opening and listing)\n",
                ratio("read_50k_once", "open_list_50k_ours"));
    std::printf("TIME open_list_50k_ms %.1f target < 50\n", ms["open_list_50k_ours"]);
    std::printf("PEAK memory %.0f MiB (whole run, the generated %zu MiB tree held in memory)\n",
                bench::peakMiB(), kTreeBytes >> 20);
    benchmark::Shutdown();
    return 0;
}
