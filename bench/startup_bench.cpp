// Start-up of the programs, from the process start to the window drawn with
// its content, against a bare Qt window with a tree built here, measured in
// turn (anchor, program, anchor, ...) 7 times each; the medians give
//   RATIO startup_crateward_vs_bare      Crateward on a real archive   target <= 1.3
//   RATIO startup_crateward_30k_vs_bare  Crateward on 30,000 members   target <= 1.5
//   RATIO startup_spriteglass_vs_bare    Spriteglass on a real GAF     target <= 1.3
// Run it on an X server without a window manager: `xvfb-run -a bench_startup`.
// "Drawn" is the last drawing on the screen (X damage) before it stays still
// for 400 ms; each program is then ended. Programs run with their settings
// and data folders in a temporary folder.
#include "hpiutil/writer.hpp"
#include "testsupport/testsupport.hpp"

#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRuns = 7;
constexpr auto kStill = std::chrono::milliseconds(400);
constexpr auto kGiveUp = std::chrono::seconds(20);

struct XScreenWatch {
    Display* display = nullptr;
    int damageEvent = 0;
};

// Milliseconds from the start of `argv` to the last drawing before the
// screen stays still, or a negative number when nothing was drawn.
double startUp(XScreenWatch& screen, const std::vector<std::string>& argv) {
    Display* d = screen.display;
    XSync(d, False);
    while (XPending(d)) {
        XEvent e;
        XNextEvent(d, &e);
    }
    std::vector<char*> args;
    for (const auto& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    const auto start = Clock::now();
    pid_t pid = -1;
    if (posix_spawn(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) {
        return -1;
    }
    Clock::time_point last{};
    bool drawn = false;
    for (;;) {
        const auto now = Clock::now();
        if ((drawn && now - last >= kStill) || now - start >= kGiveUp) {
            break;
        }
        const auto until = drawn ? last + kStill : start + kGiveUp;
        pollfd p{ConnectionNumber(d), POLLIN, 0};
        const auto wait =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - now).count() + 1;
        if (!XPending(d) && ::poll(&p, 1, int(wait)) <= 0) {
            continue;
        }
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type == screen.damageEvent + XDamageNotify) {
                last = Clock::now();
                drawn = true;
            }
        }
    }
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return drawn ? std::chrono::duration<double, std::milli>(last - start).count() : -1;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main() {
    XScreenWatch screen;
    screen.display = XOpenDisplay(nullptr);
    if (!screen.display) {
        std::printf("SKIP startup (no X display: run under xvfb-run)\n");
        return 0;
    }
    int damageError = 0;
    if (!XDamageQueryExtension(screen.display, &screen.damageEvent, &damageError)) {
        std::printf("SKIP startup (the X server has no damage extension)\n");
        return 0;
    }
    // Every drawing on the screen reports.
    XDamageCreate(screen.display, DefaultRootWindow(screen.display), XDamageReportRawRectangles);

    testsupport::TempDir home;
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    setenv("CRATEWARD_HOME", (home / "crateward").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (home / "runtime").c_str(), 1);
    fs::create_directories(home / "runtime");
    fs::permissions(home / "runtime", fs::perms::owner_all);
    setenv("QT_QPA_PLATFORM", "xcb", 1);

    const fs::path bin = fs::canonical("/proc/self/exe").parent_path();
    const fs::path big = home / "big.hpi";
    {
        hpiutil::ArchiveWriter w;
        const std::vector<std::uint8_t> small(16, 'x');
        for (int i = 0; i < 30000; ++i) {
            (void)w.addBuffer(
                "units\\d" + std::to_string(i / 100) + "\\f" + std::to_string(i) + ".fbi", small);
        }
        (void)w.write(big, hpiutil::Method::Zlib);
    }
    struct Case {
        const char* figure;
        std::vector<std::string> argv;
        double target;
    };
    std::vector<Case> cases;
    if (auto archive = testsupport::realFile("archives/ArmSLab.ufo")) {
        cases.push_back(
            {"startup_crateward_vs_bare", {(bin / "crateward").string(), *archive}, 1.3});
    } else {
        std::printf("SKIP startup_crateward_vs_bare (no real data: %s)\n",
                    testsupport::realFilePath("archives").c_str());
    }
    cases.push_back({"startup_crateward_30k_vs_bare", {(bin / "crateward").string(), big}, 1.5});
    if (auto gaf = testsupport::realFile("gaf/abboom.gaf")) {
        cases.push_back(
            {"startup_spriteglass_vs_bare", {(bin / "spriteglass").string(), *gaf}, 1.3});
    } else {
        std::printf("SKIP startup_spriteglass_vs_bare (no real data: %s)\n",
                    testsupport::realFilePath("gaf").c_str());
    }
    const std::vector<std::string> bare = {(bin / "bench_startup_bare").string()};
    (void)startUp(screen, bare); // warm the file cache
    for (const Case& c : cases) {
        (void)startUp(screen, c.argv);
        std::vector<double> anchor, program;
        for (int r = 0; r < kRuns; ++r) {
            anchor.push_back(startUp(screen, bare));
            program.push_back(startUp(screen, c.argv));
        }
        const double a = median(anchor), p = median(program);
        std::printf("RATIO %s %.2f target <= %.1f (%.0f ms against %.0f ms)\n", c.figure, p / a,
                    c.target, p, a);
        std::fflush(stdout);
    }
    XCloseDisplay(screen.display);
    return 0;
}
