// A tiny X program that shows the library's four views side by side: the
// front view filled, the top and right views as wireframes and the turned
// perspective view lit, with a cube, a pyramid and a textured quad.
//
//   meshdraw_host [PALETTE] [SECONDS]
//
// PALETTE is a palette.dat (768 bytes of red, green, blue); SECONDS ends the
// program after that time (it runs until killed otherwise).
#include "TestArrays.hpp"
#include "meshdraw.h"

#include <X11/Xlib.h>
#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

using meshdraw_test::arrayOf;
using meshdraw_test::ArrayRef;
using meshdraw_test::MeshObject;

namespace {

constexpr int paneWidth = 400;
constexpr int paneHeight = 300;
constexpr int margin = 10;
constexpr int labelHeight = 20;

std::vector<GLPaletteEntry> loadPalette(const char* path) {
    std::vector<GLPaletteEntry> palette = meshdraw_test::testPalette();
    std::ifstream file(path, std::ios::binary);
    unsigned char rgb[768];
    if (file.read(reinterpret_cast<char*>(rgb), sizeof rgb)) {
        for (int k = 0; k < 256; ++k) {
            palette[k] = GLPaletteEntry{rgb[3 * k + 2], rgb[3 * k + 1], rgb[3 * k], 0};
        }
    } else {
        std::fprintf(stderr, "meshdraw_host: no palette at %s, using a made-up one\n", path);
    }
    return palette;
}

void addCube(float x, float y, float z) {
    const float s = 10;
    MeshObject cube;
    cube.addPolygon({{-s, -s, -s}, {s, -s, -s}, {s, s, -s}, {-s, s, -s}}, 249);
    cube.addPolygon({{-s, -s, s}, {-s, s, s}, {s, s, s}, {s, -s, s}}, 250);
    cube.addPolygon({{-s, -s, -s}, {-s, s, -s}, {-s, s, s}, {-s, -s, s}}, 251);
    cube.addPolygon({{s, -s, -s}, {s, -s, s}, {s, s, s}, {s, s, -s}}, 252);
    cube.addPolygon({{-s, s, -s}, {s, s, -s}, {s, s, s}, {-s, s, s}}, 253);
    cube.addPolygon({{-s, -s, -s}, {-s, -s, s}, {s, -s, s}, {s, -s, -s}}, 254);
    cube.addToLibrary(x, y, z);
}

void addPyramid(float x, float y, float z) {
    const float s = 12;
    const GLVertex apex{0, 2 * s, 0};
    MeshObject pyramid;
    pyramid.addPolygon({{-s, 0, -s}, {s, 0, -s}, apex}, 210);
    pyramid.addPolygon({{s, 0, -s}, {s, 0, s}, apex}, 198);
    pyramid.addPolygon({{s, 0, s}, {-s, 0, s}, apex}, 212);
    pyramid.addPolygon({{-s, 0, s}, {-s, 0, -s}, apex}, 196);
    pyramid.addPolygon({{-s, 0, -s}, {-s, 0, s}, {s, 0, s}, {s, 0, -s}}, 83);
    pyramid.addToLibrary(x, y, z);
}

void addTexturedQuad(float x, float y, float z) {
    // An 8 x 8 checkerboard with a stripe, padded to 16 x 16 when uploaded.
    static std::uint8_t texels[8 * 8];
    for (int r = 0; r < 8; ++r) {
        for (int c = 0; c < 8; ++c) {
            texels[r * 8 + c] = ((r + c) % 2 == 0) ? 201 : 208;
        }
        texels[r * 8] = 252;
    }
    MeshObject quad;
    const int face = quad.addRectangle(-12, 0, 12, 24, 0, 1);
    quad.setTexture(face, texels, 8, 8);
    quad.addRectangle(-12, -2, 12, 0, 0, 90); // a plain strip under it
    quad.addToLibrary(x, y, z);
}

void drawAll() {
    SetView(0, 255);
    DrawFront();
    SetView(2, 255);
    DrawTop();
    DrawRight();
    DrawView();
}

void drawLabels(Display* display, Window window, GC gc) {
    const char* labels[] = {"front: filled (mode 0)", "top: wireframe (mode 2)",
                            "right: wireframe (mode 2)", "view: lit (mode 1), turned"};
    for (int k = 0; k < 4; ++k) {
        const int x = margin + (k % 2) * (paneWidth + margin);
        const int y = (k / 2) * (paneHeight + labelHeight + margin) + labelHeight - 5;
        XDrawString(display, window, gc, x, y, labels[k], static_cast<int>(std::strlen(labels[k])));
    }
}

} // namespace

int main(int argc, char** argv) {
    const char* palettePath = argc > 1 ? argv[1] : "palette.dat";
    const double seconds = argc > 2 ? std::atof(argv[2]) : 0;

    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "meshdraw_host: cannot open the X display\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    const int width = 2 * paneWidth + 3 * margin;
    const int height = 2 * (paneHeight + labelHeight) + 3 * margin;
    Window main = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, width, height, 0,
                                      BlackPixel(display, screen), 0xd0d0d0);
    XStoreName(display, main, "Meshdraw test host");
    XSelectInput(display, main, ExposureMask | StructureNotifyMask);
    Window panes[4];
    for (int k = 0; k < 4; ++k) {
        const int x = margin + (k % 2) * (paneWidth + margin);
        const int y = labelHeight + (k / 2) * (paneHeight + labelHeight + margin);
        panes[k] = XCreateSimpleWindow(display, main, x, y, paneWidth, paneHeight, 0, 0,
                                       WhitePixel(display, screen));
        XMapWindow(display, panes[k]);
    }
    XMapWindow(display, main);
    XSync(display, False);
    GC gc = XCreateGC(display, main, 0, nullptr);
    XSetForeground(display, gc, BlackPixel(display, screen));

    std::vector<GLPaletteEntry> palette = loadPalette(palettePath);
    ArrayRef paletteRef(arrayOf(palette));
    if (Initialize(paletteRef.get()) != 1) {
        std::fprintf(stderr, "meshdraw_host: Initialize failed\n");
        return 1;
    }
    const int ready =
        CreateFront(panes[0], paneWidth, paneHeight) + CreateTop(panes[1], paneWidth, paneHeight) +
        CreateView(panes[3], paneWidth, paneHeight) + CreateRight(panes[2], paneWidth, paneHeight);
    if (ready != 4) {
        std::fprintf(stderr, "meshdraw_host: only %d of 4 views could be made\n", ready);
    }
    Set3DView(1, 255);
    RotateView(0.45f, 0.6f, 0);
    addCube(-25, 0, 0);
    addPyramid(25, 0, 10);
    addTexturedQuad(0, 25, -15);
    drawAll();

    const auto start = std::chrono::steady_clock::now();
    pollfd watch[2] = {{ConnectionNumber(display), POLLIN, 0}, {MeshdrawEventFd(), POLLIN, 0}};
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == Expose && event.xexpose.count == 0) {
                drawLabels(display, main, gc);
            }
        }
        if (MeshdrawProcessEvents() > 0) {
            drawAll(); // an uncovered view was drawn again; give each its own mode back
        }
        if (seconds > 0 &&
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() >
                seconds) {
            break;
        }
        poll(watch, 2, 100);
    }
    Cleanup3D();
    XFreeGC(display, gc);
    XDestroyWindow(display, main);
    XCloseDisplay(display);
    return 0;
}
