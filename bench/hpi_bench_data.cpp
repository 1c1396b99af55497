#include "hpi_bench_data.hpp"

#include <cstdlib>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

namespace bench {

namespace fs = std::filesystem;

namespace {

struct Rng {
    std::uint64_t x;
    std::uint32_t next() {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        return std::uint32_t(x >> 16);
    }
};

const char* kWords[] = {"UnitName=", "armcom",  ";\r\n",    "{\r\n",     "}\r\n",  "damage",
                        "weapon",    "=1;\r\n", "Side=ARM", "Category=", "LEVEL1", " ",
                        "Corpse=",   "_dead",   "piece ",   "turn ",     "move ",  "to x-axis "};

void fill(std::vector<std::uint8_t>& v, std::size_t n, int kind, Rng& r) {
    v.clear();
    v.reserve(n);
    if (kind == 0) {
        while (v.size() < n) {
            v.push_back(std::uint8_t(r.next()));
        }
    } else if (kind == 1) {
        // Runs and small tables: sprite rows, palettes, padding.
        while (v.size() < n) {
            const std::uint8_t value = std::uint8_t(r.next() % 16);
            const std::size_t len = 1 + r.next() % 40;
            v.insert(v.end(), len, value);
            if (r.next() % 4 == 0) {
                for (int i = 0; i < 8; ++i) {
                    v.push_back(std::uint8_t(i * 17 + value));
                }
            }
        }
    } else {
        while (v.size() < n) {
            const char* w = kWords[r.next() % (sizeof kWords / sizeof *kWords)];
            while (*w) {
                v.push_back(std::uint8_t(*w++));
            }
            if (r.next() % 5 == 0) {
                v.push_back(std::uint8_t('0' + r.next() % 10));
            }
        }
    }
    v.resize(n);
}

std::vector<fs::path> g_scratch;

void cleanup() {
    for (const auto& p : g_scratch) {
        std::error_code ec;
        fs::remove_all(p, ec);
    }
}

} // namespace

std::vector<TreeFile> mixedTree(std::size_t totalBytes, const fs::path& root) {
    Rng r{12345};
    std::vector<TreeFile> files;
    std::size_t sum = 0;
    const char* dirs[] = {"units",  "anims",    "objects3d", "scripts",
                          "sounds", "textures", "gamedata"};
    for (int i = 0; sum < totalBytes; ++i) {
        // Mostly small files, some large ones, as in real archives.
        std::size_t size = 500 + r.next() % 30000;
        if (i % 50 == 0) {
            size = 100000 + r.next() % 400000;
        }
        TreeFile f;
        const int kind = i % 4 == 0 ? 0 : (i % 4 == 1 ? 1 : 2);
        fill(f.bytes, size, kind, r);
        const std::string dir = std::string(dirs[i % 7]) + "\\sub" + std::to_string(i % 23);
        f.member = dir + "\\file" + std::to_string(i) + ".bin";
        f.disk = root / dirs[i % 7] / ("sub" + std::to_string(i % 23)) /
                 ("file" + std::to_string(i) + ".bin");
        fs::create_directories(f.disk.parent_path());
        std::ofstream(f.disk, std::ios::binary)
            .write(reinterpret_cast<const char*>(f.bytes.data()), std::streamsize(f.bytes.size()));
        sum += size;
        files.push_back(std::move(f));
    }
    return files;
}

void removeAtExit(const fs::path& path) {
    if (g_scratch.empty()) {
        std::atexit(cleanup);
    }
    g_scratch.push_back(path);
}

fs::path scratch(const std::string& name) {
    fs::path p =
        fs::temp_directory_path() / ("hpi-bench-" + std::to_string(::getpid()) + "-" + name);
    fs::create_directories(p);
    removeAtExit(p);
    return p;
}

double peakMiB() {
    struct rusage ru {};
    ::getrusage(RUSAGE_SELF, &ru);
    return double(ru.ru_maxrss) / 1024.0;
}

} // namespace bench
