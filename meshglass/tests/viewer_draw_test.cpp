// The viewer on a real X server: a real model drawn through Meshdraw fills
// the view with more than its background, and a drag turns the picture.
// Skips without DISPLAY.
#include "MeshdrawRenderer.hpp"
#include "MeshglassProgram.hpp"
#include "PicViewBox.hpp"

#include "common/scripted_dialogs.hpp"

#include <testsupport/testsupport.hpp>

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

// Last: Xlib's macros (None, Bool, Status) clash with names in the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace meshglass;

namespace {

struct Picture {
    std::map<unsigned long, int> colours;
    std::vector<unsigned long> pixels;
};

// The screen's pixels under the widget (the renderer's child window
// included), read from the root window.
Picture grab(Display* display, const QWidget* widget) {
    const QPoint at = widget->mapToGlobal(QPoint(0, 0));
    XImage* image =
        XGetImage(display, DefaultRootWindow(display), at.x(), at.y(), unsigned(widget->width()),
                  unsigned(widget->height()), AllPlanes, ZPixmap);
    Picture picture;
    if (image == nullptr) {
        return picture;
    }
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            picture.pixels.push_back(pixel);
            ++picture.colours[pixel];
        }
    }
    XDestroyImage(image);
    return picture;
}

// Pixels other than the most common colour (the background).
int drawnPixels(const Picture& picture) {
    int most = 0;
    for (const auto& [colour, count] : picture.colours) {
        most = std::max(most, count);
    }
    return int(picture.pixels.size()) - most;
}

void settle(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qWait(20);
    }
}

TEST(ViewerDrawing, RealModelIsDrawnAndTurnsWithADrag) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        GTEST_SKIP() << "needs an X server: DISPLAY is not set";
    }
    TOOLKIT_REQUIRE_REAL("3do/armcom.3do", model);
    qputenv("QT_QPA_PLATFORM", "xcb");
    static int argc = 1;
    static char name[] = "meshglass_draw_tests";
    static char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    common::ScopedScriptedDialogs dialogs;
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    {
        MeshdrawRenderer renderer;
        MeshglassProgram program(renderer);
        program.Start(QString::fromStdString(model.string()));
        ASSERT_NE(program.main, nullptr);
        program.main->move(0, 0);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(program.main.get()));
        settle(500);
        program.main->PicView_Paint();
        XSync(display, False);
        const Picture first = grab(display, program.main->PicView);
        EXPECT_TRUE(dialogs->calls.empty());
        EXPECT_GT(drawnPixels(first), 500) << "colours seen: " << first.colours.size();

        // Drag 15 pixels right and 10 up with the left button held.
        PicViewBox* view = program.main->PicView;
        QTest::mousePress(view, Qt::LeftButton, {}, QPoint(200, 200));
        for (int step = 1; step <= 5; ++step) {
            QTest::mouseMove(view, QPoint(200 + 3 * step, 200 - 2 * step));
            settle(20);
        }
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(215, 190));
        settle(300);
        XSync(display, False);
        const Picture turned = grab(display, view);
        EXPECT_GT(drawnPixels(turned), 500);
        int changed = 0;
        for (std::size_t i = 0; i < std::min(first.pixels.size(), turned.pixels.size()); ++i) {
            changed += first.pixels[i] != turned.pixels[i];
        }
        EXPECT_GT(changed, 200);
        program.main->cmdExit_Click();
    }
    XCloseDisplay(display);
}

} // namespace
