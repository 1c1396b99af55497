// Spriteglass benchmarks. Prints, measured in the same run:
//   RATIO gaf_load_vs_read: loading a 200-frame GAF made of the frames of the
//     real GAF files (textures and animations, raw and run-length), over
//     reading the same file's bytes;
//   RATIO compose_frame_vs_memcpy: composing one preview picture of that
//     animation, over copying as many bytes as the picture holds;
//   RATIO run_length_plain_vs_fast (reported): decoding the run-length rows
//     of the real explosion with the plain rule, over the fast decoder;
//   RATIO gaf_write_vs_load: writing the 200 run-length frames of the real
//     explosion (every frame encoded, the file written and flushed as every
//     save is), over loading it; and the same without the flush. Both in a
//     memory-backed folder where there is one (/dev/shm), so neither side
//     measures the disk (the folder is printed), run in turn, the fastest
//     run of each;
//   RATIO gaf_roundtrip_files: real files whose export and build keep every
//     frame's pixels (and the rest of `gaf info`), over real files tried.
#include "fastest_runs.hpp"
#include "spriteglass/compose.hpp"
#include "spriteglass/gaf_builder.hpp"
#include "spriteglass/gaf_file.hpp"
#include "spriteglass/gaf_json.hpp"
#include "spriteglass/gaf_manifest.hpp"
#include "spriteglass/gaf_writer.hpp"
#include "spriteglass/run_length_rows.hpp"

#include <testsupport/gaf_writer.hpp>
#include <testsupport/testsupport.hpp>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>

namespace fs = std::filesystem;
using namespace spriteglass;

namespace {

std::uint32_t get32(const std::vector<std::uint8_t>& b, std::size_t at) {
    std::uint32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

void set32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    std::memcpy(b.data() + at, &v, 4);
}

// One entry of 200 frames taken from real files: each file's bytes are
// appended as they are, again and again in turn, and the new entry's frame
// table names their frame records, whose data offsets are moved with them.
std::vector<std::uint8_t> twoHundredFrames(const std::vector<std::vector<std::uint8_t>>& files) {
    const std::size_t wanted = 200;
    const std::size_t prefix = 16 + 40 + 8 * wanted;
    std::vector<std::uint8_t> out(prefix, 0);
    set32(out, 0, 0x00010100);
    set32(out, 4, 1);
    set32(out, 12, 16);
    out[16] = std::uint8_t(wanted);
    out[17] = std::uint8_t(wanted >> 8);
    std::memcpy(out.data() + 24, "real200", 7);
    std::size_t frames = 0;
    while (frames < wanted) {
        for (const auto& real : files) {
            const std::uint32_t base = std::uint32_t(out.size());
            out.insert(out.end(), real.begin(), real.end());
            std::set<std::uint32_t> moved;
            for (std::uint32_t e = 0; e < get32(real, 4) && frames < wanted; ++e) {
                const std::uint32_t entry = get32(real, 12 + 4 * e);
                const int count = std::int16_t(real[entry] | real[entry + 1] << 8);
                for (int f = 0; f < count && frames < wanted; ++f) {
                    const std::uint32_t record = base + get32(real, entry + 40 + 8 * f);
                    if (moved.insert(record).second) {
                        set32(out, record + 16, get32(out, record + 16) + base);
                    }
                    set32(out, 56 + 8 * frames, record);
                    set32(out, 60 + 8 * frames, 2);
                    ++frames;
                }
            }
        }
    }
    return out;
}

// Without the real data: 200 run-length frames of 96 x 82 made here.
std::vector<std::uint8_t> syntheticFrames() {
    std::vector<testsupport::GafFrameSpec> frames;
    for (int f = 0; f < 200; ++f) {
        std::vector<std::vector<std::uint8_t>> rows;
        for (int r = 0; r < 82; ++r) {
            rows.push_back({0x21, 0x3A, std::uint8_t(f), 0x1C, 1, 2, 3, 4, 5, 6, 7, 8, 0x21});
        }
        testsupport::GafFrameSpec frame;
        frame.width = 96;
        frame.height = 82;
        frame.x = 48;
        frame.y = 41;
        frame.compression = 1;
        frame.data = testsupport::codedRows(rows);
        frames.push_back(frame);
    }
    return testsupport::makeGaf({{"boom200", frames}});
}

// Every real GAF of the usual version with frames: textures (raw frames)
// and animations (run-length frames).
const char* const kRealFiles[] = {"Alien.gaf", "ArmImp.gaf", "YellowVent.gaf", "abboom.gaf",
                                  "emg shell.gaf"};

// The folder the benchmark's files are written to and loaded from: a
// memory-backed one where there is one, so the save's flush and the load's
// read both measure the same memory and not the disk; else a temporary
// folder. Removed at exit.
class BenchFolder {
public:
    BenchFolder() {
        std::error_code ec;
        if (fs::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0) {
            path_ = fs::path("/dev/shm") / ("gaf-bench-" + std::to_string(::getpid()));
            if (fs::create_directories(path_, ec) && !ec) {
                return;
            }
        }
        fallback_.emplace();
        path_ = fallback_->path();
    }
    ~BenchFolder() {
        if (!fallback_) {
            std::error_code ec;
            fs::remove_all(path_, ec);
        }
    }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

    const fs::path& path() const { return path_; }
    fs::path operator/(std::string_view child) const { return path_ / child; }

private:
    fs::path path_;
    std::optional<testsupport::TempDir> fallback_;
};

struct Data {
    BenchFolder dir;
    fs::path file;
    fs::path runLengthFile; // the explosion's run-length frames only
    bool real = false;
    classGAF gaf;
};

Data& data() {
    static Data d;
    if (d.file.empty()) {
        d.file = d.dir / "real200.gaf";
        std::vector<std::uint8_t> bytes;
        std::vector<std::vector<std::uint8_t>> files;
        for (const char* name : kRealFiles) {
            if (auto real = testsupport::realFile(std::string("gaf/") + name)) {
                files.push_back(testsupport::readFile(*real));
            }
        }
        if (files.size() == std::size(kRealFiles)) {
            bytes = twoHundredFrames(files);
            d.real = true;
            d.runLengthFile = d.dir / "boom200.gaf";
            testsupport::writeFile(d.runLengthFile, twoHundredFrames({files[3]}));
        } else {
            bytes = syntheticFrames();
        }
        testsupport::writeFile(d.file, bytes);
        d.gaf.Load(d.file);
    }
    return d;
}

void readFile(benchmark::State& state, const fs::path& file) {
    for (auto _ : state) {
        std::ifstream in(file, std::ios::binary);
        const auto size = fs::file_size(file);
        std::unique_ptr<std::uint8_t[]> bytes(new std::uint8_t[size]);
        in.read(reinterpret_cast<char*>(bytes.get()), std::streamsize(size));
        benchmark::DoNotOptimize(bytes.get());
    }
}

void loadFile(benchmark::State& state, const fs::path& file) {
    for (auto _ : state) {
        classGAF gaf;
        gaf.Load(file);
        benchmark::DoNotOptimize(gaf.Animations().data());
    }
}

void BM_read(benchmark::State& state) {
    readFile(state, data().file);
}
void BM_load(benchmark::State& state) {
    loadFile(state, data().file);
}
// The save of the explosion's 200 run-length frames (every frame encoded,
// the file written beside its target, flushed and renamed over it), the same
// without the flush, the file's bytes alone, and the load of the file, run in
// turn `runs` times each; the fastest run of each, in microseconds. Taken in
// turn, whatever else the machine does weighs on all of them alike.
struct SaveAndLoad {
    double save = 1e30;
    double unflushed = 1e30;
    double bytes = 1e30;
    double load = 1e30;
    bool ok = true;
};

SaveAndLoad saveAgainstLoad(int runs) {
    classGAF gaf;
    gaf.Load(data().runLengthFile);
    const fs::path out = data().dir / "written.gaf";
    const fs::path unflushed = data().dir / "unflushed.gaf";
    const fs::path temporary = data().dir / "unflushed.gaf.tmp";
    SaveAndLoad r;
    const auto time = [](double& fastest, auto&& work) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double, std::micro> took =
            std::chrono::steady_clock::now() - start;
        fastest = std::min(fastest, took.count());
    };
    for (int i = 0; i < runs; ++i) {
        time(r.load, [&] {
            classGAF loaded;
            loaded.Load(data().runLengthFile);
            r.ok = r.ok && loaded.Animations().size() == 1;
        });
        time(r.save, [&] {
            std::string error;
            r.ok = r.ok && SaveGafFile(out, gaf, error);
        });
        time(r.unflushed, [&] {
            const GafWriteResult bytes = GafFileBytes(gaf);
            std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
            file.write(reinterpret_cast<const char*>(bytes.bytes.data()),
                       std::streamsize(bytes.bytes.size()));
            file.close();
            fs::rename(temporary, unflushed);
            r.ok = r.ok && bytes.ok() && file;
        });
        time(r.bytes, [&] {
            const GafWriteResult bytes = GafFileBytes(gaf);
            benchmark::DoNotOptimize(bytes.bytes.data());
        });
    }
    return r;
}

// Exports and builds back every real GAF; counts those whose `gaf info` is kept.
struct RoundTrips {
    int tried = 0;
    int kept = 0;
    int identical = 0;
};

RoundTrips roundTrips() {
    RoundTrips r;
    const auto folder = testsupport::realFile("gaf");
    if (!folder) {
        return r;
    }
    Palette palette{};
    for (const auto& item : fs::directory_iterator(*folder)) {
        classGAF original;
        original.Load(item.path());
        const fs::path dir = data().dir / ("rt-" + std::to_string(r.tried));
        fs::create_directories(dir);
        std::string error;
        ++r.tried;
        if (!ExportGafFolder(original, dir, palette, ImageFormat::Bmp, error)) {
            continue;
        }
        const GafBuildResult built = BuildGafFromFolder(dir, palette, {});
        if (!built.gaf) {
            continue;
        }
        const GafWriteResult written = GafFileBytes(*built.gaf);
        classGAF back;
        back.LoadBytes(written.bytes);
        if (written.ok() && GafInfoJson(back) == GafInfoJson(original)) {
            ++r.kept;
            r.identical += written.bytes == testsupport::readFile(item.path());
        }
    }
    return r;
}

void BM_read_rle(benchmark::State& state) {
    readFile(state, data().runLengthFile);
}
void BM_load_rle(benchmark::State& state) {
    loadFile(state, data().runLengthFile);
}

// The run-length frames of the real explosion, for the two row decoders.
struct CodedFrame {
    int width, height;
    std::int64_t data;
};

struct CodedFrames {
    std::vector<std::uint8_t> file;
    std::vector<CodedFrame> frames;
    std::vector<std::vector<std::uint8_t>> pixels;
};

CodedFrames& codedFrames() {
    static CodedFrames c;
    if (c.file.empty() && data().real) {
        c.file = testsupport::readFile(data().runLengthFile);
        const std::uint32_t entry = get32(c.file, 12);
        const int count = std::int16_t(c.file[entry] | c.file[entry + 1] << 8);
        for (int f = 0; f < count; ++f) {
            const std::uint32_t record = get32(c.file, entry + 40 + 8 * f);
            const int width = std::int16_t(c.file[record] | c.file[record + 1] << 8);
            const int height = std::int16_t(c.file[record + 2] | c.file[record + 3] << 8);
            c.frames.push_back({width, height, get32(c.file, record + 16)});
            c.pixels.emplace_back(std::size_t(width) * height);
        }
    }
    return c;
}

void decodeRows(benchmark::State& state, RowDecoder decoder) {
    CodedFrames& c = codedFrames();
    for (auto _ : state) {
        for (std::size_t f = 0; f < c.frames.size(); ++f) {
            std::fill(c.pixels[f].begin(), c.pixels[f].end(), MaskIndex);
            DecodeRunLengthRows(c.file, c.frames[f].data, c.frames[f].width, c.frames[f].height,
                                c.pixels[f], decoder);
        }
        benchmark::ClobberMemory();
    }
}

void BM_rows_fast(benchmark::State& state) {
    decodeRows(state, RowDecoder::Fast);
}
void BM_rows_plain(benchmark::State& state) {
    decodeRows(state, RowDecoder::Exact);
}

struct Preview {
    IndexedSurface surface;
    std::vector<std::uint8_t> background;
    std::vector<std::uint8_t> copy;
};

Preview& preview() {
    static Preview p;
    if (p.background.empty()) {
        const PreviewSize size = PreviewSurfaceSize(data().gaf.Animations().at(0));
        p.surface.Initialize(size.width, size.height);
        p.background.assign(std::size_t(size.width) * size.height, BackIndex);
        p.copy.resize(p.background.size());
    }
    return p;
}

void BM_compose(benchmark::State& state) {
    Preview& p = preview();
    const auto& frames = data().gaf.Animations().at(0).Frames();
    std::size_t n = 0;
    for (auto _ : state) {
        ComposePreviewPicture(p.surface, p.background, frames[n++ % frames.size()]);
        benchmark::DoNotOptimize(p.surface.addrBits());
    }
}

void BM_memcpy(benchmark::State& state) {
    Preview& p = preview();
    for (auto _ : state) {
        std::memcpy(p.copy.data(), p.background.data(), p.background.size());
        benchmark::DoNotOptimize(p.copy.data());
        benchmark::ClobberMemory();
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!data().real) {
        // Made-up frames give other figures than the real files: none is printed.
        std::printf("SKIP gaf_load_vs_read (no real data: %s)\n",
                    testsupport::realFilePath("gaf").c_str());
        return 0;
    }
    preview();
    using Bench = void (*)(benchmark::State&);
    const std::pair<const char*, Bench> microseconds[] = {{"read_file", BM_read},
                                                          {"load_gaf", BM_load}};
    const std::pair<const char*, Bench> nanoseconds[] = {{"compose_preview", BM_compose},
                                                         {"memcpy_picture", BM_memcpy}};
    if (data().real) {
        benchmark::RegisterBenchmark("read_file_rle", BM_read_rle)
            ->Unit(benchmark::kMicrosecond)
            ->MinTime(0.2)
            ->Repetitions(5);
        benchmark::RegisterBenchmark("load_gaf_rle", BM_load_rle)
            ->Unit(benchmark::kMicrosecond)
            ->MinTime(0.2)
            ->Repetitions(5);
        const std::pair<const char*, Bench> rows[] = {{"rows_fast", BM_rows_fast},
                                                      {"rows_plain", BM_rows_plain}};
        for (const auto& [name, fn] : rows) {
            benchmark::RegisterBenchmark(name, fn)
                ->Unit(benchmark::kMicrosecond)
                ->MinTime(0.2)
                ->Repetitions(5);
        }
    }
    for (const auto& [name, fn] : microseconds) {
        benchmark::RegisterBenchmark(name, fn)
            ->Unit(benchmark::kMicrosecond)
            ->MinTime(0.2)
            ->Repetitions(5);
    }
    for (const auto& [name, fn] : nanoseconds) {
        benchmark::RegisterBenchmark(name, fn)
            ->Unit(benchmark::kNanosecond)
            ->MinTime(0.2)
            ->Repetitions(5);
    }
    FastestRuns collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    auto& ns = collector.times; // in each benchmark's own unit
    const auto& first = data().gaf.Animations().at(0);
    std::printf("DATA %s, %ju bytes, %zu frames, preview %d x %d\n",
                data().real ? "200 frames from the real GAFs in turn"
                            : "200 synthetic frames (no real data)",
                std::uintmax_t(fs::file_size(data().file)), first.Frames().size(),
                preview().surface.BmpWidth(), preview().surface.BmpHeight());
    std::printf("FILES written to and loaded from %s\n", data().dir.path().c_str());
    // A figure whose benchmarks a --benchmark_filter left out says so.
    const auto ran = [&](const char* figure, std::initializer_list<const char*> names) {
        for (const char* name : names) {
            if (!ns.count(name)) {
                std::printf("SKIP %s (not run: %s filtered out)\n", figure, name);
                return false;
            }
        }
        return true;
    };
    if (ran("gaf_load_vs_read", {"load_gaf", "read_file"})) {
        std::printf("RATIO gaf_load_vs_read %.2f (reported)\n", ns["load_gaf"] / ns["read_file"]);
        std::printf("TIME gaf_load_us %.1f read_us %.1f\n", ns["load_gaf"], ns["read_file"]);
    }
    if (ran("gaf_load_vs_read_run_length_only", {"load_gaf_rle", "read_file_rle"})) {
        std::printf("RATIO gaf_load_vs_read_run_length_only %.2f (reported: 200 run-length "
                    "frames of gaf/abboom.gaf, %.1f us against %.1f us)\n",
                    ns["load_gaf_rle"] / ns["read_file_rle"], ns["load_gaf_rle"],
                    ns["read_file_rle"]);
    }
    const SaveAndLoad saved = saveAgainstLoad(40);
    if (!saved.ok) {
        std::printf("SKIP gaf_write_vs_load (a save or load failed)\n");
    } else {
        std::printf("RATIO gaf_write_vs_load %.2f target <= 2 (200 run-length frames of "
                    "gaf/abboom.gaf: saved %.1f us, with the fsync every save makes; "
                    "loaded %.1f us; both in the folder named above, in turn, fastest of 40)\n",
                    saved.save / saved.load, saved.save, saved.load);
        std::printf("RATIO gaf_write_vs_load_without_fsync %.2f target <= 2 (the same bytes "
                    "written without the fsync: %.1f us; the file's bytes alone, encoding and "
                    "laying out: %.1f us)\n",
                    saved.unflushed / saved.load, saved.unflushed, saved.bytes);
    }
    const RoundTrips trips = roundTrips();
    std::printf("RATIO gaf_roundtrip_files %.2f target >= 1.0 (%d of %d real files keep "
                "every frame's pixels; %d byte for byte)\n",
                trips.tried ? double(trips.kept) / trips.tried : 0.0, trips.kept, trips.tried,
                trips.identical);
    if (ran("run_length_plain_vs_fast", {"rows_plain", "rows_fast"})) {
        std::printf("RATIO run_length_plain_vs_fast %.2f (reported: the 200 frames' rows, "
                    "%.1f us with the plain rule against %.1f us)\n",
                    ns["rows_plain"] / ns["rows_fast"], ns["rows_plain"], ns["rows_fast"]);
    }
    if (ran("compose_frame_vs_memcpy", {"compose_preview", "memcpy_picture"})) {
        std::printf("RATIO compose_frame_vs_memcpy %.2f (reported)\n",
                    ns["compose_preview"] / ns["memcpy_picture"]);
        std::printf("TIME compose_frame_ns %.0f memcpy_ns %.0f\n", ns["compose_preview"],
                    ns["memcpy_picture"]);
    }
    benchmark::Shutdown();
    return 0;
}
