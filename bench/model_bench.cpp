// Meshglass benchmark. Prints, measured in the same run:
//   RATIO load_build_vs_read: reading the real models armcom.3do and
//     corbhmth.3do (819 polygons together) and turning their piece trees into
//     renderer records, over reading the same files' bytes.
// Without the real models it prints "SKIP load_build_vs_read (no real data:
// <folder>)" instead: a made-up model's figure would not be this one.
#include "meshglass/ModelFile.hpp"
#include "meshglass/class3do.hpp"

#include <testsupport/testsupport.hpp>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <map>

namespace fs = std::filesystem;
using namespace meshglass;

namespace {

struct Data {
    std::vector<fs::path> files;
    bool real = false;
};

Data& data() {
    static Data d = [] {
        Data found;
        for (const char* name : {"3do/armcom.3do", "3do/corbhmth.3do"}) {
            if (auto path = testsupport::realFile(name)) {
                found.files.push_back(*path);
            }
        }
        found.real = found.files.size() == 2;
        return found;
    }();
    return d;
}

// Counts what it is given, as a renderer that copies the records would touch it.
class CountingRenderer : public ModelRenderer {
public:
    void RemoveAllObjects() override { faces = 0; }
    std::int32_t Add3DObject(const RenderObject& object) override {
        faces += object.faces.size();
        benchmark::DoNotOptimize(object.indices.data());
        return 0;
    }
    void DrawView() override {}
    std::size_t faces = 0;
};

void BM_read(benchmark::State& state) {
    for (auto _ : state) {
        for (const fs::path& path : data().files) {
            std::ifstream in(path, std::ios::binary);
            std::vector<char> bytes(fs::file_size(path));
            in.read(bytes.data(), std::streamsize(bytes.size()));
            benchmark::DoNotOptimize(bytes.data());
        }
    }
}

void BM_load_build(benchmark::State& state) {
    CountingRenderer renderer;
    for (auto _ : state) {
        for (const fs::path& path : data().files) {
            auto file = ModelFile::open(path);
            auto root = LoadModel(*file);
            BuildModel(*root, renderer);
            benchmark::DoNotOptimize(renderer.faces);
        }
    }
}

class Collector : public benchmark::ConsoleReporter {
public:
    // Without colours, so the figure lines after the table start their lines.
    Collector() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            us[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> us;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!data().real) {
        std::printf("SKIP load_build_vs_read (no real data: %s)\n",
                    testsupport::realFilePath("3do").c_str());
        return 0;
    }
    benchmark::RegisterBenchmark("read_file", BM_read)->Unit(benchmark::kMicrosecond)->MinTime(0.5);
    benchmark::RegisterBenchmark("load_build", BM_load_build)
        ->Unit(benchmark::kMicrosecond)
        ->MinTime(0.5);
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    std::printf("DATA real armcom.3do + corbhmth.3do, 819 polygons\n");
    std::printf("RATIO load_build_vs_read %.2f target <= 10\n",
                collector.us["load_build"] / collector.us["read_file"]);
    std::printf("TIME load_build_us %.1f read_us %.1f\n", collector.us["load_build"],
                collector.us["read_file"]);
    benchmark::Shutdown();
    return 0;
}
