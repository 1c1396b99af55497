// The C contract as a caller drives it, on a fuzzed archive: open, list the
// whole tree and each folder, extract files, pack what was extracted into a
// new archive (method from the input) and read that back, close, and call
// again on the closed handle. Names never overrun the 255-byte buffers,
// listings end, progress values stay in range, what was packed reads back
// the same, and a closed handle does nothing. Any breach is a bug.
#include "hpiutil/hpiutil.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kMostExtracted = 8;
constexpr std::int32_t kMostListed = 1 << 20;

const fs::path& scratch() {
    static const fs::path p = [] {
        std::error_code ec;
        const fs::path base =
            fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
        const fs::path dir = base / ("fuzz_hpi_c_contract-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        return dir;
    }();
    return p;
}

void check(bool ok) {
    if (!ok) {
        __builtin_trap();
    }
}

// A name buffer of exactly the contract's size, on the heap so that the
// address sanitizer sees a write past it.
struct NameBuffer {
    std::unique_ptr<char[]> bytes{new char[HPI_NAME_BUFFER]};
    std::string text() const {
        check(std::memchr(bytes.get(), 0, HPI_NAME_BUFFER) != nullptr);
        return bytes.get();
    }
};

std::vector<std::uint8_t> fileBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::int32_t progress(std::int32_t unused, const char* fileName, std::int32_t filesDone,
                      std::int32_t filesTotal, std::int32_t fileProgress, std::int32_t fileMax,
                      std::int32_t archiveProgress, std::int32_t archiveMax) {
    check(unused == 0 && fileName && std::strlen(fileName) < HPI_NAME_BUFFER);
    check(0 <= filesDone && filesDone <= filesTotal);
    check(0 <= fileProgress && fileProgress <= fileMax);
    check(0 <= archiveProgress && archiveProgress <= archiveMax);
    return 0;
}

struct Listed {
    std::string path;
    std::int32_t type;
    std::int32_t size;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path input = scratch() / "in.hpi";
    {
        std::ofstream out(input, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    const std::int32_t h = HPIOpen(input.c_str());
    check(HPILastError() != nullptr);
    if (h == 0) {
        return 0;
    }

    NameBuffer name;
    std::vector<Listed> listed;
    std::int32_t type = -1, bytes = -1;
    for (std::int32_t i = 0; (i = HPIGetFiles(h, i, name.bytes.get(), &type, &bytes)) != 0;) {
        check(i == std::int32_t(listed.size()) + 1 && i < kMostListed);
        check(type == 0 || type == 1);
        listed.push_back({name.text(), type, bytes});
    }
    for (const Listed& dir : listed) {
        if (dir.type != 1) {
            continue;
        }
        std::int32_t n = 0;
        for (std::int32_t i = 0;
             (i = HPIDir(h, i, dir.path.c_str(), name.bytes.get(), &type, &bytes)) != 0;) {
            check(i == ++n && n <= std::int32_t(listed.size()));
            (void)name.text();
        }
    }
    (void)HPIDir(h, 0, "", name.bytes.get(), &type, &bytes);

    // Extract a few files, then pack them into a new archive.
    std::vector<std::pair<std::string, fs::path>> extracted;
    for (const Listed& file : listed) {
        if (file.type != 0 || int(extracted.size()) == kMostExtracted) {
            continue;
        }
        const fs::path out = scratch() / ("m" + std::to_string(extracted.size()));
        if (HPIExtractFile(h, file.path.c_str(), out.c_str())) {
            check(fs::exists(out));
            extracted.emplace_back(file.path, out);
        }
    }
    HPIClose(h);
    check(HPIGetFiles(h, 0, name.bytes.get(), &type, &bytes) == 0);
    check(HPIDir(h, 0, "", name.bytes.get(), &type, &bytes) == 0);
    check(HPIExtractFile(h, listed.empty() ? "x" : listed[0].path.c_str(),
                         (scratch() / "closed").c_str()) == 0);
    HPIClose(h);

    const fs::path repacked = scratch() / "out.hpi";
    const std::int32_t pack = HPICreate(repacked.c_str(), progress);
    check(pack != 0);
    std::vector<std::pair<std::string, fs::path>> packed;
    for (const auto& [member, file] : extracted) {
        if (HPIAddFile(pack, member.c_str(), file.c_str())) {
            packed.emplace_back(member, file);
        }
    }
    check(HPIPackArchive(pack, std::int32_t(data[0] % 3)) == 1);
    check(HPIPackArchive(pack, 0) == 0); // the handle ended with the pack
    const std::int32_t again = HPIOpen(repacked.c_str());
    check(again != 0);
    const fs::path back = scratch() / "back";
    for (const auto& [member, file] : packed) {
        check(HPIExtractFile(again, member.c_str(), back.c_str()) == 1);
        check(fileBytes(back) == fileBytes(file));
    }
    HPIClose(again);
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(scratch(), ec)) {
        fs::remove(entry.path(), ec);
    }
    return 0;
}
