// The whole toolkit on the demo archive, on a real X display with the
// production launcher: Crateward's double-clicks start the built Meshglass
// and Spriteglass, whose windows appear and draw, and the quick export to a
// stand-in unit viewer writes both archives and starts it in its folder.
#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "gui_harness.hpp"
#include "packing_harness.hpp"

namespace crateward::testing {
namespace {

namespace fs = std::filesystem;

// With a display the window harness comes up on it rather than offscreen.
const bool kOnDisplay = [] {
    const char* display = std::getenv("DISPLAY");
    if (display && *display) {
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        return true;
    }
    return false;
}();

const fs::path kPrograms = fs::path(CRATEWARD_PROGRAM).parent_path();

QImage screen() {
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(
        QImage::Format_RGB32);
}

// Clearly coloured pixels (not the greys of window backgrounds, frames
// and wireframes) that differ from `before`, outside `skip`.
int newColouredPixels(const QImage& before, const QImage& now, const QRect& skip) {
    int count = 0;
    for (int y = 0; y < now.height() && y < before.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(before.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(now.constScanLine(y));
        for (int x = 0; x < now.width() && x < before.width(); ++x) {
            if (a[x] == b[x] || skip.contains(x, y)) {
                continue;
            }
            const int r = qRed(b[x]), g = qGreen(b[x]), bl = qBlue(b[x]);
            if (std::max({r, g, bl}) - std::min({r, g, bl}) > 24) {
                ++count;
            }
        }
    }
    return count;
}

// Line pixels drawn over the model view's clear colour outside `skip`: dark
// pixels with the clear colour two pixels away on both sides.
int modelLinePixels(const QImage& now, QRgb clear, const QRect& skip) {
    int count = 0;
    for (int y = 0; y < now.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(now.constScanLine(y));
        for (int x = 2; x + 2 < now.width(); ++x) {
            const QRgb p = row[x];
            if (!skip.contains(x, y) && qGray(p) < 100 && (row[x - 2] & 0xFFFFFF) == clear &&
                (row[x + 2] & 0xFFFFFF) == clear) {
                ++count;
            }
        }
    }
    return count;
}

// The game palette's background colour (index 255) as Meshglass clears to.
QRgb clearColour() {
    const auto palette = testsupport::readFile(kPrograms / "palette.dat");
    return palette.size() < 768 ? 0 : qRgb(palette[765], palette[766], palette[767]) & 0xFFFFFF;
}

// Waits up to ten seconds until `measure` of the screen reaches `enough`.
template <typename Measure> int waitFor(Measure measure, int enough) {
    QElapsedTimer clock;
    clock.start();
    int seen = 0;
    while (clock.elapsed() < 10000) {
        QTest::qWait(250);
        seen = measure(screen());
        if (seen >= enough) {
            break;
        }
    }
    return seen;
}

// Saves the screen into $TOOLKIT_SHOTS when it is set (for looking at).
void keepShot(const char* name) {
    if (const char* folder = std::getenv("TOOLKIT_SHOTS")) {
        screen().save(QString::fromLocal8Bit(folder) + QLatin1Char('/') + QLatin1String(name));
    }
}

// Ends every process whose command line mentions `text`.
void endProcessesNaming(const std::string& text) {
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string pid = entry.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::ifstream in(entry.path() / "cmdline");
        const std::string line((std::istreambuf_iterator<char>(in)), {});
        if (line.find(text) != std::string::npos) {
            ::kill(std::stoi(pid), SIGTERM);
        }
    }
}

class EndToEnd : public WindowTest {};

TEST_F(EndToEnd, TheDemoArchiveOpensInTheViewersAndExportsToAUnitViewer) {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    }
    // The production launcher starts the real programs.
    launcher_.reset();
    const fs::path uvFolder = path("UV");
    fs::create_directories(uvFolder);
    const fs::path uv = uvFolder / "uv";
    testsupport::writeFile(uv, "#!/bin/sh\npwd > started-in\n");
    fs::permissions(uv, fs::perms::owner_all);
    settings().write("Crateward", "Programmes", "3DO", (kPrograms / "meshglass").string());
    settings().write("Crateward", "Programmes", "GAF", (kPrograms / "spriteglass").string());
    settings().write("Crateward", "Programmes", "UV", uv.string());

    frmMain& w = start(QString::fromStdString(DEMO_ARCHIVE));
    ASSERT_NE(w.archiveHandle(), 0);
    const std::string work = w.workingDirectory().toStdString();

    // Crateward keeps to the bottom right corner; the viewers open at the
    // top left, so what they draw is told apart from Crateward's window.
    const QScreen* display = QGuiApplication::primaryScreen();
    w.move(display->geometry().right() - w.frameGeometry().width(),
           display->geometry().bottom() - w.frameGeometry().height());
    QTest::qWait(300);
    const QRect crateward = w.frameGeometry().adjusted(-4, -4, 4, 4);
    const QRgb clear = clearColour();
    clickNode("objects3d");
    doubleClickEntry("armdemo.3do");
    EXPECT_GE(
        waitFor([&](const QImage& now) { return modelLinePixels(now, clear, crateward); }, 100),
        100)
        << "Meshglass drew no model";
    keepShot("meshglass.png");
    endProcessesNaming(work);

    QTest::qWait(500);
    const QImage before = screen();
    clickNode("anims");
    doubleClickEntry("armdemo_gadget.gaf");
    EXPECT_GE(
        waitFor([&](const QImage& now) { return newColouredPixels(before, now, crateward); }, 200),
        200)
        << "Spriteglass showed nothing";
    keepShot("spriteglass.png");
    endProcessesNaming(work);

    clickNode("units");
    clickEntry("armdemo.fbi");
    trigger("mnuExport");
    EXPECT_TRUE(messages().isEmpty());
    for (const char* side : {"arm", "cor"}) {
        const auto members = archiveContents(
            uvFolder / (std::string(side) == "arm" ? "Arm Crateward.ufo" : "Core Crateward.ufo"));
        EXPECT_EQ(members.size(), 3u);
        for (const std::string folder : {"units\\", "scripts\\", "objects3d\\"}) {
            const std::string ext = folder == "units\\"     ? ".fbi"
                                    : folder == "scripts\\" ? ".cob"
                                                            : ".3do";
            EXPECT_TRUE(members.count(folder + side + "CRWD" + ext)) << folder << side;
        }
    }
    QElapsedTimer clock;
    clock.start();
    while (!fs::exists(uvFolder / "started-in") && clock.elapsed() < 10000) {
        QTest::qWait(100);
    }
    QTest::qWait(200);
    const auto started = testsupport::readFile(uvFolder / "started-in");
    EXPECT_EQ(std::string(started.begin(), started.end()), uvFolder.string() + "\n");
}

} // namespace
} // namespace crateward::testing
