// Pictures of models without a window, measured in the same run:
//   RATIO offscreen_vs_window_draw  drawing a 2,000-face textured model at
//                                   800 x 600 into Meshdraw's offscreen view and
//                                   reading it back / one DrawView of the same
//                                   store in an open window (target <= 1.5)
//   TIME render_process_ms          `3do render` of that model, from process
//                                   start to the PNG written
//   PEAK                            this process and the render process
// The window figure needs an X display (run under xvfb-run); without one the
// ratio is reported as skipped.
#include "meshdraw.h"

#include <testsupport/gaf_writer.hpp>
#include <testsupport/tdo_writer.hpp>
#include <testsupport/testsupport.hpp>

#include <X11/Xlib.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kFaces = 2000;
constexpr int kTextures = 20;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// kFaces quads on a 50 x 40 grid tilted towards the camera, each naming one
// of kTextures 64 x 64 textures.
struct Model {
    std::vector<GLFace> faces;
    std::vector<GLVertex> vertices;
    std::vector<GLIndex> indices;
    std::vector<std::vector<std::uint8_t>> textures;
};

Model texturedGrid() {
    Model model;
    for (int t = 0; t < kTextures; ++t) {
        std::vector<std::uint8_t> texels(64 * 64);
        for (std::size_t k = 0; k < texels.size(); ++k) {
            texels[k] = std::uint8_t(16 + t * 8 + (k % 7));
        }
        model.textures.push_back(std::move(texels));
    }
    for (int k = 0; k < kFaces; ++k) {
        const float x = float(k % 50) * 2 - 50;
        const float y = float(k / 50) * 2 - 20;
        GLFace face{};
        face.colour = std::uint8_t(k);
        face.vertexCount = 4;
        face.firstIndex = std::int32_t(model.indices.size());
        face.textureWidth = 64;
        face.textureHeight = 64;
        face.texture =
            reinterpret_cast<uintptr_t>(model.textures[std::size_t(k % kTextures)].data());
        for (int v = 0; v < 4; ++v) {
            model.indices.push_back(GLIndex((model.vertices.size() + std::size_t(v)) & 0x7fff));
        }
        model.vertices.push_back({x, y, y * 0.3f});
        model.vertices.push_back({x + 1.8f, y, y * 0.3f});
        model.vertices.push_back({x + 1.8f, y + 1.8f, (y + 1.8f) * 0.3f});
        model.vertices.push_back({x, y + 1.8f, (y + 1.8f) * 0.3f});
        model.faces.push_back(face);
    }
    return model;
}

template <class T> SafeArray arrayOf(std::vector<T>& elements) {
    return SafeArrayOver(elements.data(), std::int32_t(elements.size()), std::int32_t(sizeof(T)));
}

void initializePalette() {
    std::vector<GLPaletteEntry> palette(256);
    for (int k = 0; k < 256; ++k) {
        palette[std::size_t(k)] =
            GLPaletteEntry{std::uint8_t(k), std::uint8_t(k * 3), std::uint8_t(255 - k), 0};
    }
    SafeArray paletteArray = arrayOf(palette);
    SafeArray* p = &paletteArray;
    Initialize(&p);
}

void addModel(Model& model) {
    SafeArray faces = arrayOf(model.faces);
    SafeArray vertices = arrayOf(model.vertices);
    SafeArray indices = arrayOf(model.indices);
    SafeArray* f = &faces;
    SafeArray* v = &vertices;
    SafeArray* i = &indices;
    Add3DObject(&f, &v, &i, 0, 0, 0);
}

// Median milliseconds of one DrawView in an 800 x 600 window; negative
// without a display.
double windowDrawMs(Model& model) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return -1;
    }
    const int screen = DefaultScreen(display);
    Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, kWidth, kHeight,
                                        0, 0, WhitePixel(display, screen));
    XMapWindow(display, window);
    XSync(display, False);
    double result = -1;
    initializePalette();
    if (CreateView(window, kWidth, kHeight) == 1) {
        Set3DView(0, 255);
        MeshdrawSetViewDistance(140);
        addModel(model);
        std::vector<double> draws;
        for (int k = 0; k < 25; ++k) {
            const auto start = Clock::now();
            DrawView();
            if (k >= 5) {
                draws.push_back(millisecondsSince(start));
            }
        }
        result = median(draws);
    }
    Cleanup3D();
    XDestroyWindow(display, window);
    XCloseDisplay(display);
    return result;
}

// Median milliseconds of DrawView and the read-back in the offscreen view.
double offscreenDrawMs(Model& model) {
    initializePalette();
    if (MeshdrawCreateOffscreenView(kWidth, kHeight) != 1) {
        return -1;
    }
    Set3DView(0, 255);
    MeshdrawSetViewDistance(140);
    addModel(model);
    std::vector<std::uint8_t> rgb(std::size_t(kWidth) * kHeight * 3);
    std::vector<double> draws;
    for (int k = 0; k < 25; ++k) {
        const auto start = Clock::now();
        DrawView();
        MeshdrawReadView(rgb.data(), std::int64_t(rgb.size()));
        if (k >= 5) {
            draws.push_back(millisecondsSince(start));
        }
    }
    Cleanup3D();
    return median(draws);
}

// The same grid as a 3DO file with its texture file, for `3do render`.
void writeModelFiles(const std::filesystem::path& folder) {
    using testsupport::fixed16;
    testsupport::TdoPieceSpec piece;
    piece.name = "grid";
    for (int k = 0; k < kFaces; ++k) {
        const double x = (k % 50) * 2 - 50;
        const double y = (k / 50) * 2 - 20;
        const auto first = std::int16_t(piece.vertices.size());
        piece.vertices.push_back({fixed16(x), fixed16(y), fixed16(y * 0.3)});
        piece.vertices.push_back({fixed16(x + 1.8), fixed16(y), fixed16(y * 0.3)});
        piece.vertices.push_back({fixed16(x + 1.8), fixed16(y + 1.8), fixed16((y + 1.8) * 0.3)});
        piece.vertices.push_back({fixed16(x), fixed16(y + 1.8), fixed16((y + 1.8) * 0.3)});
        testsupport::TdoPrimitiveSpec quad;
        quad.color = 1 + k % 200;
        quad.indices = {first, std::int16_t(first + 1), std::int16_t(first + 2),
                        std::int16_t(first + 3)};
        quad.texture = "tex" + std::to_string(k % kTextures);
        piece.primitives.push_back(quad);
    }
    std::filesystem::create_directories(folder / "textures");
    testsupport::writeFile(folder / "grid.3do", testsupport::makeTdo(piece));
    std::vector<testsupport::GafEntrySpec> entries;
    for (int t = 0; t < kTextures; ++t) {
        entries.push_back(
            {"tex" + std::to_string(t),
             {testsupport::rawFrame(
                 64, 64, std::vector<std::uint8_t>(64 * 64, std::uint8_t(16 + t * 8)))}});
    }
    testsupport::writeFile(folder / "textures" / "grid.gaf", testsupport::makeGaf(entries));
}

// Median milliseconds of `3do render` from spawn to exit; negative on failure.
double renderProcessMs(const std::filesystem::path& tool, const std::filesystem::path& folder) {
    const std::string model = (folder / "grid.3do").string();
    const std::string out = (folder / "grid.png").string();
    const std::string toolPath = tool.string();
    std::vector<double> runs;
    for (int k = 0; k < 7; ++k) {
        std::vector<std::string> args = {toolPath, "render", model, out, "--size", "800x600"};
        std::vector<char*> argv;
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        const auto start = Clock::now();
        pid_t pid = 0;
        if (posix_spawn(&pid, toolPath.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
            return -1;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        const double ms = millisecondsSince(start);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !std::filesystem::exists(out)) {
            return -1;
        }
        if (k >= 2) {
            runs.push_back(ms);
        }
    }
    return median(runs);
}

} // namespace

int main() {
    // The render process first, while this process is still small: a child
    // started from it counts its parent's peak until it replaces itself.
    testsupport::TempDir folder;
    writeModelFiles(folder.path());
    const auto tool = std::filesystem::canonical("/proc/self/exe").parent_path() / "3do";
    const double render = renderProcessMs(tool, folder.path());
    rusage children{};
    getrusage(RUSAGE_CHILDREN, &children);

    Model model = texturedGrid();
    const double window = windowDrawMs(model);
    const double offscreen = offscreenDrawMs(model);
    std::printf("TIME window_draw_ms %.2f\n", window);
    std::printf("TIME offscreen_draw_and_read_ms %.2f\n", offscreen);
    if (window > 0 && offscreen > 0) {
        std::printf("RATIO offscreen_vs_window_draw %.3f target <= 1.5\n", offscreen / window);
    } else {
        std::printf("RATIO offscreen_vs_window_draw skipped (%s)\n",
                    window <= 0 ? "no X display" : "no offscreen surface");
    }
    if (render >= 0) {
        std::printf("TIME render_process_ms %.1f\n", render);
    } else {
        std::printf("TIME render_process_ms failed (%s)\n", tool.c_str());
    }
    rusage self{};
    getrusage(RUSAGE_SELF, &self);
    std::printf("PEAK bench_kib %ld\n", self.ru_maxrss);
    std::printf("PEAK render_process_kib %ld\n", children.ru_maxrss);
    return 0;
}
