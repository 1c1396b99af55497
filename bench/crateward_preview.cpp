// The previews:
//   RATIO pcx_decode_vs_memcpy: decoding a 640 x 480 8-bit PCX made here
//     (bands of colour with noise: short runs and single pixels) against
//     copying its 307,200 pixel bytes.
//   RATIO pcx_decode_unitpic_vs_memcpy: the same for the real unit picture
//     pcx/ArmRaz.pcx (96 x 96, long runs); SKIP when the real files are absent.
//   TIME hexdump_30000_ms: building the lines of a 30,000-byte dump and
//     showing them in frmFicDump offscreen.
// Each side of a ratio is its fastest batch of many, the sides taking turns.
#include "fastest_alternating.hpp"
#include "fastest_runs.hpp"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/settings_store.hpp"
#include "frm_fic_dump.hpp"
#include "hex_dump_lines.hpp"
#include "pcx_image.hpp"
#include "testsupport/pcx_writer.hpp"
#include "testsupport/testsupport.hpp"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// A picture with the runs of a drawn one: bands of colour, one pixel in
// sixteen of noise.
const std::vector<std::uint8_t>& picture() {
    static const std::vector<std::uint8_t> pixels = [] {
        std::vector<std::uint8_t> p(std::size_t(kWidth) * kHeight);
        const auto noise = testsupport::randomBytes(p.size(), 7);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const std::size_t i = std::size_t(y) * kWidth + std::size_t(x);
                p[i] = noise[i] < 16 ? noise[i] : std::uint8_t((x / 9 + y / 7) % 256);
            }
        }
        return p;
    }();
    return pixels;
}

const std::vector<std::uint8_t>& pcxFile() {
    static const std::vector<std::uint8_t> file = [] {
        testsupport::PcxFixture fixture;
        fixture.width = kWidth;
        fixture.height = kHeight;
        fixture.pixels = picture();
        fixture.palette = testsupport::rampPalette();
        return testsupport::makePcx(fixture);
    }();
    return file;
}

// The real unit picture, or empty when the real files are absent.
const std::vector<std::uint8_t>& unitPicture() {
    static const std::vector<std::uint8_t> file = [] {
        const auto path = testsupport::realFile("pcx/ArmRaz.pcx");
        return path ? testsupport::readFile(*path) : std::vector<std::uint8_t>{};
    }();
    return file;
}

// Decoding `file` against copying the pixels it decodes to.
std::pair<double, double> decodeAgainstCopy(const std::vector<std::uint8_t>& file) {
    const auto pixels = crateward::pcx::DecodePcx(file)->indices;
    std::vector<std::uint8_t> out(pixels.size());
    // Calls per batch for about half a millisecond of each.
    const int copies = int(std::max<std::size_t>(1, (1u << 24) / pixels.size()));
    const int decodes = std::max(1, copies / 16);
    return bench::fastestAlternating(
        [&] {
            auto image = crateward::pcx::DecodePcx(file);
            benchmark::DoNotOptimize(image->indices.data());
        },
        decodes,
        [&] {
            std::memcpy(out.data(), pixels.data(), pixels.size());
            benchmark::DoNotOptimize(out.data());
            benchmark::ClobberMemory();
        },
        copies);
}

void BM_hexdump(benchmark::State& state) {
    static testsupport::TempDir dir;
    const common::SettingsStore settings(dir.path());
    const auto bytes = testsupport::randomBytes(crateward::kHexDumpLimit, 3);
    int lines = 0;
    for (auto _ : state) {
        // A new window each time: loading, filling, showing and painting it.
        auto* view = new crateward::frmFicDump(settings, nullptr);
        view->Liste->addItems(crateward::HexDumpLines(bytes));
        view->show();
        QApplication::processEvents();
        view->repaint();
        lines = view->Liste->count();
        view->hide();
        delete view;
    }
    if (lines != 1875) {
        state.SkipWithError("wrong line count");
    }
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RegisterBenchmark("hexdump", BM_hexdump)->Unit(benchmark::kMillisecond);
    FastestRuns collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    auto& t = collector.times;
    const auto [decode, copy] = decodeAgainstCopy(pcxFile());
    std::printf("RATIO pcx_decode_vs_memcpy %.2f target <= 20 (%.1f us against %.2f us)\n",
                decode / copy, decode, copy);
    if (!unitPicture().empty()) {
        const auto [unitDecode, unitCopy] = decodeAgainstCopy(unitPicture());
        std::printf("RATIO pcx_decode_unitpic_vs_memcpy %.2f (reported: %.2f us against %.3f us)\n",
                    unitDecode / unitCopy, unitDecode, unitCopy);
    } else {
        std::printf("SKIP pcx_decode_unitpic_vs_memcpy (no real data: %s)\n",
                    testsupport::realFilePath("pcx").c_str());
    }
    std::printf("TIME hexdump_30000_ms %.2f target <= 50\n", t["hexdump"]);
    return 0;
}
