// The main window over a generated archive of 50,000 files in 5,000
// directories (one of them holding 5,000 files), in the offscreen platform:
//   open_tree_vs_library: OpenHPI against HPIOpen + the HPIGetFiles walk +
//                         HPIClose over the same archive;
//   list_5000_vs_library: a click on the 5,000-file node (list in report
//                         mode) against the HPIDir walk over it; the time
//                         with the report view's layout and drawing is
//                         printed beside it;
//   filter_50k_vs_library: typing "f" in the find box of the freshly opened
//                         archive until the list holds the 50,000 files
//                         that match (the archive's names read for the
//                         first find included) against the library's walk;
//                         a second character, with the names already read,
//                         is printed beside it.
// Times are the process's CPU time, steadier than wall time on a shared
// machine.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "file_view_control.hpp"
#include "file_view_model.hpp"
#include "frm_main.hpp"
#include "hpiutil/hpiutil.h"
#include "hpiutil/writer.hpp"

namespace {

namespace fs = std::filesystem;

const char* kBig = "big";

struct Fixture {
    fs::path dir;
    fs::path archive;
};

Fixture& fixture() {
    static Fixture f = [] {
        Fixture made;
        made.dir = fs::temp_directory_path() / ("crateward_bench_" + std::to_string(::getpid()));
        fs::create_directories(made.dir / "home");
        made.archive = made.dir / "bench.hpi";
        hpiutil::ArchiveWriter writer;
        for (int i = 0; i < 5000; ++i) {
            (void)writer.addBuffer(std::string(kBig) + "\\file" + std::to_string(i) + ".txt", {1});
        }
        for (int d = 1; d < 5000; ++d) {
            const std::string folder = "d" + std::to_string(d % 100) + "\\sub" + std::to_string(d);
            for (int i = 0; i < 9 + (d < 46 ? 1 : 0); ++i) {
                (void)writer.addBuffer(folder + "\\f" + std::to_string(i) + ".fbi", {2});
            }
        }
        if (!writer.write(made.archive, hpiutil::Method::None)) {
            std::fprintf(stderr, "cannot write the benchmark archive\n");
            std::exit(1);
        }
        return made;
    }();
    return f;
}

crateward::frmMain& window() {
    static crateward::frmMain* w = [] {
        auto* made = new crateward::frmMain;
        made->resize(900, 700);
        made->show();
        (void)QTest::qWaitForWindowExposed(made);
        return made;
    }();
    return *w;
}

void BM_library_walk(benchmark::State& state) {
    const std::string path = fixture().archive.string();
    for (auto _ : state) {
        const std::int32_t h = HPIOpen(path.c_str());
        char name[HPI_NAME_BUFFER];
        std::int32_t type = 0, size = 0, index = 0, files = 0;
        while ((index = HPIGetFiles(h, index, name, &type, &size)) != 0) {
            files += type == 0;
        }
        HPIClose(h);
        benchmark::DoNotOptimize(files);
    }
}

void BM_window_open(benchmark::State& state) {
    const QString path = QString::fromStdString(fixture().archive.string());
    crateward::frmMain& w = window();
    for (auto _ : state) {
        w.OpenHPI(path);
    }
}

void BM_library_dir(benchmark::State& state) {
    const std::string path = fixture().archive.string();
    const std::int32_t h = HPIOpen(path.c_str());
    for (auto _ : state) {
        char name[HPI_NAME_BUFFER];
        std::int32_t type = 0, size = 0, index = 0, files = 0;
        while ((index = HPIDir(h, index, kBig, name, &type, &size)) != 0) {
            files += type == 0;
        }
        benchmark::DoNotOptimize(files);
    }
    HPIClose(h);
}

// range(0) 0: the click alone (the node's handler fills the list and the
// views are told); 1: the click and the pending events after it, where the
// report view lays the 5,000 rows out and draws the visible ones.
void BM_window_list(benchmark::State& state) {
    crateward::frmMain& w = window();
    w.OpenHPI(QString::fromStdString(fixture().archive.string()));
    w.FileView->setViewMode(crateward::FileViewControl::Report);
    QTreeWidgetItem* node = w.Tree->topLevelItem(0)->child(0); // "big", sorted first
    w.Tree->scrollToItem(node);
    const QPoint at = w.Tree->visualItemRect(node).center();
    for (auto _ : state) {
        QTest::mouseClick(w.Tree->viewport(), Qt::LeftButton, {}, at);
        if (state.range(0) == 1) {
            QCoreApplication::processEvents();
        }
    }
}

// range(0) 0: the first letter after the archive opened; 1: a second
// character typed after it ("fb" after "f": the 45,036 ".fbi" files).
void BM_window_filter(benchmark::State& state) {
    crateward::frmMain& w = window();
    const QString path = QString::fromStdString(fixture().archive.string());
    w.FileView->setViewMode(crateward::FileViewControl::Report);
    auto* box = w.findChild<QLineEdit*>(QStringLiteral("FileFilter"));
    for (auto _ : state) {
        state.PauseTiming();
        w.OpenHPI(path);
        if (state.range(0) == 1) {
            QTest::keyClick(box, 'f');
        }
        state.ResumeTiming();
        QTest::keyClick(box, state.range(0) == 1 ? 'b' : 'f');
        state.PauseTiming();
        if (w.FileView->model()->count() < (state.range(0) == 1 ? 45036 : 50000)) {
            std::fprintf(stderr, "the find listed %d entries\n", w.FileView->model()->count());
            std::exit(1);
        }
        box->clear();
        state.ResumeTiming();
    }
}

class Collector : public benchmark::ConsoleReporter {
public:
    // Without colours, so the figure lines after the table start their lines.
    Collector() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& r : runs) {
            const std::string& args = r.run_name.args;
            ms[r.run_name.function_name + (args.empty() ? "" : "/" + args)] =
                r.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> ms;
};

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    const Fixture& f = fixture();
    setenv("CRATEWARD_HOME", (f.dir / "home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (f.dir / "config").c_str(), 1);
    const auto add = [](const char* name, void (*fn)(benchmark::State&)) {
        return benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kMillisecond);
    };
    add("library_walk", BM_library_walk);
    add("window_open", BM_window_open);
    add("library_dir", BM_library_dir);
    add("window_list", BM_window_list)->Arg(0)->Arg(1);
    add("window_filter", BM_window_filter)->Arg(0)->Arg(1);
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    auto& ms = collector.ms;
    std::printf("RATIO open_tree_vs_library %.2f target <= 3\n",
                ms["window_open"] / ms["library_walk"]);
    std::printf("RATIO list_5000_vs_library %.2f target <= 5\n",
                ms["window_list/0"] / ms["library_dir"]);
    std::printf("RATIO filter_50k_vs_library %.2f target <= 5\n",
                ms["window_filter/0"] / ms["library_walk"]);
    std::printf("TIME open_tree_ms %.2f library_walk_ms %.2f\n", ms["window_open"],
                ms["library_walk"]);
    std::printf("TIME list_5000_ms %.2f library_dir_ms %.2f\n", ms["window_list/0"],
                ms["library_dir"]);
    std::printf("TIME filter_50k_ms %.2f filter_45k_second_character_ms %.2f\n",
                ms["window_filter/0"], ms["window_filter/1"]);
    std::printf("TIME list_5000_drawn_ms %.2f (the click, layout and drawing; reported)\n",
                ms["window_list/1"]);
    std::fflush(stdout);
    fs::remove_all(f.dir);
    std::_Exit(0); // the window and the application are left to the process's end
}
