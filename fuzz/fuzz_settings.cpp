// The INI settings store on any existing file: the input's first field is
// the file, the rest are section, key and value triples written in turn.
// A write that succeeds reads back; every key written before under another
// name keeps its value; reading numbers and flags of anything is safe.
// Anything else is a bug.
#include "common/settings_store.hpp"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path& scratch() {
    static const fs::path p = [] {
        std::error_code ec;
        const fs::path base =
            fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
        return base / ("fuzz_settings-" + std::to_string(::getpid()));
    }();
    return p;
}

std::vector<std::string> fields(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> out(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            out.emplace_back();
        } else {
            out.back() += char(data[i]);
        }
    }
    return out;
}

struct Written {
    std::string section, key, value;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const common::SettingsStore store(scratch());
    const std::string app = "Fuzz";
    const auto parts = fields(data, size);
    fs::create_directories(store.fileOf(app).parent_path());
    {
        std::ofstream out(store.fileOf(app), std::ios::binary | std::ios::trunc);
        out << parts[0];
    }
    std::vector<Written> written;
    for (std::size_t i = 1; i + 2 < parts.size() && written.size() < 16; i += 3) {
        const Written w{parts[i], parts[i + 1], parts[i + 2]};
        (void)store.readNumber(app, w.section, w.key, 7);
        (void)store.readFlag(app, w.section, w.key, true);
        if (!store.write(app, w.section, w.key, w.value)) {
            continue;
        }
        if (store.read(app, w.section, w.key, "\x01missing") != w.value) {
            __builtin_trap();
        }
        std::erase_if(written, [&](const Written& o) {
            return common::sameName(o.section, w.section) && common::sameName(o.key, w.key);
        });
        written.push_back(w);
        for (const Written& o : written) {
            if (store.read(app, o.section, o.key, "\x01missing") != o.value) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
