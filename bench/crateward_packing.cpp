// Packing a generated tree of 10,000 files (100 folders of 100 files of
// 4 KiB of text-like bytes) with ZLIB through the pack dialog, in the
// offscreen platform with its progress shown, against `hpi pack` of the same
// tree (the command-line tool beside this program):
//   pack_dialog_vs_hpi_pack: the dialog's pack action (walk, add, pack with
//                            progress) over the tool's whole run.
// Wall times, the fastest of five runs each, alternated in one run.
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "frm_main.hpp"
#include "frm_pack_path.hpp"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

void makeTree(const fs::path& root) {
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    const char* words[] = {"unit",   "armcom", "weapon", "[UNITINFO]", "=",       ";",
                           "corpse", "\r\n",   "128",    "speed",      "TEXTURE", " "};
    for (int d = 0; d < 100; ++d) {
        const fs::path folder = root / ("folder" + std::to_string(d));
        fs::create_directories(folder);
        for (int f = 0; f < 100; ++f) {
            std::string text;
            while (text.size() < 4096) {
                state = state * 6364136223846793005ull + 1442695040888963407ull;
                text += words[(state >> 33) % 12];
            }
            text.resize(4096);
            std::ofstream(folder / ("file" + std::to_string(f) + ".tdf"), std::ios::binary) << text;
        }
    }
}

double seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

} // namespace

int main(int argc, char** argv) {
    const fs::path dir =
        fs::temp_directory_path() / ("crateward_pack_bench_" + std::to_string(::getpid()));
    fs::create_directories(dir / "home");
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    fs::create_directories(dir / "runtime");
    fs::permissions(dir / "runtime", fs::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", (dir / "runtime").c_str(), 1);
    setenv("CRATEWARD_HOME", (dir / "home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    QApplication app(argc, argv);
    const fs::path tree = dir / "tree";
    makeTree(tree);
    const fs::path tool = fs::canonical("/proc/self/exe").parent_path() / "hpi";
    if (!fs::exists(tool)) {
        std::fprintf(stderr, "%s is missing\n", tool.c_str());
        return 1;
    }
    const std::string command = "'" + tool.string() + "' pack -m zlib '" + tree.string() + "' '" +
                                (dir / "tool.hpi").string() + "'";

    crateward::frmMain window;
    window.show();
    double dialogBest = 1e9;
    double toolBest = 1e9;
    for (int run = 0; run < 5; ++run) {
        {
            crateward::packing::frmPackPath dialog(&window);
            dialog.show();
            (void)QTest::qWaitForWindowExposed(&dialog);
            dialog.DataInput[0]->setText(QString::fromStdString(tree.string()));
            dialog.DataInput[1]->setText(QString::fromStdString((dir / "dialog.hpi").string()));
            const auto start = Clock::now();
            const bool written = dialog.Label2_Click();
            dialogBest = std::min(dialogBest, seconds(start));
            if (!written) {
                std::fprintf(stderr, "the dialog's pack failed\n");
                return 1;
            }
        }
        const auto start = Clock::now();
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "hpi pack failed\n");
            return 1;
        }
        toolBest = std::min(toolBest, seconds(start));
    }
    std::printf("RATIO pack_dialog_vs_hpi_pack %.2f target <= 1.15\n", dialogBest / toolBest);
    std::printf("TIME pack_dialog_ms %.1f hpi_pack_ms %.1f (10,000 files, 40 MiB, ZLIB)\n",
                dialogBest * 1000, toolBest * 1000);
    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
