// Meshdraw figures, measured in the same run:
//   TIME draw_20k_faces_ms      one DrawView of 20,000 filled faces (software GL here)
//   RATIO add_object_vs_memcpy  Add3DObject of a 10,000-face object / memcpy of its bytes
// The drawing figure needs an X display (run under xvfb-run); without one it
// is reported as skipped.
#include "meshdraw.h"

#include <X11/Xlib.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Mesh {
    std::vector<GLFace> faces;
    std::vector<GLVertex> vertices;
    std::vector<GLIndex> indices;
};

// A square grid of (cells + 1)^2 vertices in the plane z = 0, two triangles per
// cell, side units across.
Mesh triangleGrid(int cells, float side) {
    Mesh mesh;
    const float step = side / cells;
    for (int r = 0; r <= cells; ++r) {
        for (int c = 0; c <= cells; ++c) {
            mesh.vertices.push_back({-side / 2 + c * step, -side / 2 + 20 + r * step, 0});
        }
    }
    auto at = [cells](int r, int c) { return static_cast<GLIndex>(r * (cells + 1) + c); };
    for (int r = 0; r < cells; ++r) {
        for (int c = 0; c < cells; ++c) {
            const GLIndex corners[2][3] = {{at(r, c), at(r, c + 1), at(r + 1, c + 1)},
                                           {at(r, c), at(r + 1, c + 1), at(r + 1, c)}};
            for (const auto& triangle : corners) {
                GLFace face{};
                face.colour = static_cast<std::uint8_t>((r * 7 + c * 3) & 0xff);
                face.vertexCount = 3;
                face.firstIndex = static_cast<std::int32_t>(mesh.indices.size());
                mesh.indices.insert(mesh.indices.end(), triangle, triangle + 3);
                mesh.faces.push_back(face);
            }
        }
    }
    return mesh;
}

// 10,000 quads of their own four vertices each.
Mesh separateQuads(int count) {
    Mesh mesh;
    for (int k = 0; k < count; ++k) {
        const float x = static_cast<float>(k % 100);
        const float y = static_cast<float>(k / 100);
        GLFace face{};
        face.colour = static_cast<std::uint8_t>(k);
        face.vertexCount = 4;
        face.firstIndex = static_cast<std::int32_t>(mesh.indices.size());
        for (int v = 0; v < 4; ++v) {
            mesh.indices.push_back(static_cast<GLIndex>((mesh.vertices.size() + v) & 0x7fff));
        }
        mesh.vertices.push_back({x, y, 0});
        mesh.vertices.push_back({x + 1, y, 0});
        mesh.vertices.push_back({x + 1, y + 1, 0});
        mesh.vertices.push_back({x, y + 1, 0});
        mesh.faces.push_back(face);
    }
    return mesh;
}

template <class T> SafeArray arrayOf(std::vector<T>& elements) {
    return SafeArrayOver(elements.data(), static_cast<int32_t>(elements.size()),
                         static_cast<int32_t>(sizeof(T)));
}

int32_t addMesh(Mesh& mesh) {
    SafeArray faces = arrayOf(mesh.faces);
    SafeArray vertices = arrayOf(mesh.vertices);
    SafeArray indices = arrayOf(mesh.indices);
    SafeArray* f = &faces;
    SafeArray* v = &vertices;
    SafeArray* i = &indices;
    return Add3DObject(&f, &v, &i, 0, 0, 0);
}

void initializePalette() {
    std::vector<GLPaletteEntry> palette(256);
    for (int k = 0; k < 256; ++k) {
        palette[k] = GLPaletteEntry{static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(k * 3),
                                    static_cast<std::uint8_t>(255 - k), 0};
    }
    SafeArray array = arrayOf(palette);
    SafeArray* ref = &array;
    Initialize(&ref);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// Add3DObject of the object against memcpy of the same bytes into buffers
// that already exist.
double addVersusMemcpy() {
    Mesh mesh = separateQuads(10000);
    std::vector<GLFace> faceCopy(mesh.faces.size());
    std::vector<GLVertex> vertexCopy(mesh.vertices.size());
    std::vector<GLIndex> indexCopy(mesh.indices.size());
    std::vector<double> adds;
    std::vector<double> copies;
    for (int round = 0; round < 300; ++round) {
        const auto start = Clock::now();
        if (addMesh(mesh) != 0) {
            std::fprintf(stderr, "Add3DObject failed\n");
            std::exit(1);
        }
        const auto added = Clock::now();
        RemoveAllObjects();
        std::memcpy(faceCopy.data(), mesh.faces.data(), mesh.faces.size() * sizeof(GLFace));
        std::memcpy(vertexCopy.data(), mesh.vertices.data(),
                    mesh.vertices.size() * sizeof(GLVertex));
        std::memcpy(indexCopy.data(), mesh.indices.data(), mesh.indices.size() * sizeof(GLIndex));
        benchmark::DoNotOptimize(faceCopy.data());
        benchmark::DoNotOptimize(vertexCopy.data());
        benchmark::DoNotOptimize(indexCopy.data());
        benchmark::ClobberMemory();
        const auto copied = Clock::now();
        adds.push_back(seconds(start, added));
        copies.push_back(seconds(added, copied));
    }
    return median(adds) / median(copies);
}

// Milliseconds of one DrawView of 20,000 filled faces in a 640 x 480 view,
// or a negative value when there is no display.
double drawMilliseconds() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return -1;
    }
    const int screen = DefaultScreen(display);
    Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, 640, 480, 0, 0,
                                        WhitePixel(display, screen));
    XMapWindow(display, window);
    XSync(display, False);
    double result = -1;
    if (CreateView(window, 640, 480) == 1) {
        Set3DView(0, 255);
        RemoveAllObjects();
        Mesh grid = triangleGrid(100, 100); // 20,000 triangles
        addMesh(grid);
        for (int k = 0; k < 3; ++k) {
            DrawView();
        }
        std::vector<double> draws;
        for (int k = 0; k < 30; ++k) {
            const auto start = Clock::now();
            DrawView();
            draws.push_back(seconds(start, Clock::now()) * 1000);
        }
        result = median(draws);
    }
    Cleanup3D();
    XDestroyWindow(display, window);
    XCloseDisplay(display);
    return result;
}

void BM_Add3DObject10kFaces(benchmark::State& state) {
    Mesh mesh = separateQuads(10000);
    for (auto _ : state) {
        benchmark::DoNotOptimize(addMesh(mesh));
        state.PauseTiming();
        RemoveAllObjects();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Add3DObject10kFaces);

void BM_MemcpySameBytes(benchmark::State& state) {
    Mesh mesh = separateQuads(10000);
    const std::size_t bytes = mesh.faces.size() * sizeof(GLFace) +
                              mesh.vertices.size() * sizeof(GLVertex) +
                              mesh.indices.size() * sizeof(GLIndex);
    std::vector<char> source(bytes, 1);
    std::vector<char> target(bytes);
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), bytes);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MemcpySameBytes);

} // namespace

int main(int argc, char** argv) {
    initializePalette();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const double ratio = addVersusMemcpy();
    std::printf("RATIO add_object_vs_memcpy %.2f target <= 4\n", ratio);
    const double draw = drawMilliseconds();
    if (draw < 0) {
        std::printf("TIME draw_20k_faces_ms skipped (no X display; run under xvfb-run)\n");
    } else {
        std::printf("TIME draw_20k_faces_ms %.2f target <= 16\n", draw);
    }
    return 0;
}
