// The thumbnailer as a file manager runs it: each shipped .thumbnailer
// file's Exec line with %s, %i / %u and %o filled in, on real game files and
// on made and damaged ones.
#include "testsupport/gaf_writer.hpp"
#include "testsupport/hpi_raw_writer.hpp"
#include "testsupport/pcx_writer.hpp"
#include "testsupport/tdo_writer.hpp"
#include "testsupport/testsupport.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <zlib.h>

extern char** environ;

namespace fs = std::filesystem;
using namespace testsupport;

namespace {

struct Png {
    int width = 0;
    int height = 0;
    int colourType = -1;
    std::vector<std::uint8_t> transparency; // tRNS
    std::vector<std::uint8_t> rows;         // inflated, a filter byte before each row
};

std::uint32_t big32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// Enough of PNG to check what the thumbnailer writes: 8-bit palette or RGB.
std::optional<Png> readPng(const fs::path& file) {
    const std::vector<std::uint8_t> bytes = readFile(file);
    if (bytes.size() < 8 || std::memcmp(bytes.data(), "\x89PNG\r\n\x1a\n", 8) != 0) {
        return std::nullopt;
    }
    Png png;
    std::vector<std::uint8_t> packed;
    for (std::size_t at = 8; at + 12 <= bytes.size();) {
        const std::uint32_t length = big32(&bytes[at]);
        if (length > bytes.size() - at - 12) {
            return std::nullopt;
        }
        const std::string type(bytes.begin() + at + 4, bytes.begin() + at + 8);
        const std::uint8_t* data = &bytes[at + 8];
        if (type == "IHDR" && length >= 13) {
            png.width = int(big32(data));
            png.height = int(big32(data + 4));
            png.colourType = data[9];
        } else if (type == "tRNS") {
            png.transparency.assign(data, data + length);
        } else if (type == "IDAT") {
            packed.insert(packed.end(), data, data + length);
        }
        at += 12 + length;
    }
    const int channels = png.colourType == 2 ? 3 : 1;
    uLongf size = uLongf(png.height) * (uLongf(png.width) * channels + 1);
    png.rows.resize(size);
    if (uncompress(png.rows.data(), &size, packed.data(), uLong(packed.size())) != Z_OK ||
        size != png.rows.size()) {
        return std::nullopt;
    }
    return png;
}

// Distinct visible colours (palette indices or RGB triples) of the picture.
std::size_t visibleColours(const Png& png) {
    const int channels = png.colourType == 2 ? 3 : 1;
    const std::size_t stride = std::size_t(png.width) * channels + 1;
    std::set<std::vector<std::uint8_t>> colours;
    for (int y = 0; y < png.height; ++y) {
        EXPECT_EQ(png.rows[y * stride], 0) << "unexpected row filter";
        for (int x = 0; x < png.width; ++x) {
            const auto pixel = png.rows.begin() + std::ptrdiff_t(y * stride + 1 + x * channels);
            if (channels == 1 && *pixel < png.transparency.size() &&
                png.transparency[*pixel] == 0) {
                continue;
            }
            colours.insert(std::vector<std::uint8_t>(pixel, pixel + channels));
        }
    }
    return colours.size();
}

std::string execLine(const std::string& thumbnailer) {
    std::ifstream in(fs::path(THUMBNAILER_FILES) / thumbnailer);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("Exec=", 0) == 0) {
            return line.substr(5);
        }
    }
    return {};
}

std::string fileUri(const fs::path& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string uri = "file://";
    for (unsigned char c : fs::absolute(path).string()) {
        if (std::isalnum(c) || std::strchr("/-._~", c)) {
            uri += char(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri;
}

// A file manager waits for the thumbnailer; it takes well under a second
// (the sanitizer build runs several times slower).
#ifdef THUMBNAILER_SANITIZED
constexpr double MaxSeconds = 5.0;
#else
constexpr double MaxSeconds = 1.0;
#endif

struct Run {
    int status = -1;
    double seconds = 0;
};

// Runs the Exec line of `thumbnailer` as a file manager does: split into
// words, each field code replaced, the program found as the one built here.
Run runThumbnailer(const std::string& thumbnailer, const fs::path& input, const fs::path& output,
                   int size, bool asUri = false) {
    std::istringstream words(execLine(thumbnailer));
    std::vector<std::string> arguments;
    for (std::string word; words >> word;) {
        if (arguments.empty()) {
            EXPECT_EQ(word, "crateward-thumbnailer");
            word = THUMBNAILER_PROGRAM;
        } else if (word == "%s") {
            word = std::to_string(size);
        } else if (word == "%i" || word == "%u") {
            word = asUri || word == "%u" ? fileUri(input) : input.string();
        } else if (word == "%o") {
            word = output.string();
        }
        arguments.push_back(word);
    }
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    Run run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (argv.size() < 2 || posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ)) {
        ADD_FAILURE() << "cannot start " << THUMBNAILER_PROGRAM;
        return run;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

void expectThumbnail(const std::string& thumbnailer, const fs::path& input, int size,
                     bool asUri = false) {
    SCOPED_TRACE(input.string());
    TempDir dir;
    const fs::path output = dir / "thumbnail.png";
    const Run run = runThumbnailer(thumbnailer, input, output, size, asUri);
    ASSERT_EQ(run.status, 0);
    EXPECT_LT(run.seconds, MaxSeconds);
    const std::optional<Png> png = readPng(output);
    ASSERT_TRUE(png.has_value());
    EXPECT_EQ(std::max(png->width, png->height), size);
    EXPECT_GE(visibleColours(*png), 2u) << "the thumbnail is blank";
}

void expectNothing(const std::string& thumbnailer, const fs::path& input) {
    SCOPED_TRACE(input.string());
    TempDir dir;
    const fs::path output = dir / "thumbnail.png";
    const Run run = runThumbnailer(thumbnailer, input, output, 128);
    EXPECT_EQ(run.status, 1);
    EXPECT_LT(run.seconds, MaxSeconds);
    EXPECT_FALSE(fs::exists(output));
}

std::vector<std::uint8_t> truncated(std::vector<std::uint8_t> bytes, std::size_t keep) {
    bytes.resize(std::min(bytes.size(), keep));
    return bytes;
}

std::vector<std::uint8_t> unitPicture() {
    PcxFixture picture;
    picture.width = 64;
    picture.height = 64;
    for (int i = 0; i < 64 * 64; ++i) {
        picture.pixels.push_back(std::uint8_t(i % 61));
    }
    picture.palette = rampPalette();
    return makePcx(picture);
}

std::string text(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

TEST(Thumbnailer, RealSpritesPicturesAndArchivesAtEachSize) {
    const std::map<std::string, std::string> files = {
        {"gaf/abboom.gaf", "crateward-gaf.thumbnailer"},
        {"gaf/ArmImp.gaf", "crateward-gaf.thumbnailer"},
        {"gaf/emg shell.gaf", "crateward-gaf.thumbnailer"},
        {"pcx/ArmRaz.pcx", "crateward-pcx.thumbnailer"},
        {"pcx/cortitan.pcx", "crateward-pcx.thumbnailer"},
        {"archives/ArmBani.ufo", "crateward-hpi.thumbnailer"},
        {"archives/ArmSLab.ufo", "crateward-hpi.thumbnailer"},
    };
    for (const auto& [name, thumbnailer] : files) {
        const std::optional<fs::path> file = realFile(name);
        if (!file) {
            GTEST_SKIP() << "real game files are absent";
        }
        for (int size : {128, 256}) {
            expectThumbnail(thumbnailer, *file, size);
        }
    }
    // The same through a file:// URI (a name with a space in it).
    if (const std::optional<fs::path> file = realFile("gaf/emg shell.gaf")) {
        expectThumbnail("crateward-gaf.thumbnailer", *file, 128, true);
    }
}

TEST(Thumbnailer, AnArchiveShowsItsFirstUnitsPictureElseAnyUnitPicture) {
    TempDir dir;
    PcxFixture grey;
    grey.width = 8;
    grey.height = 8;
    grey.pixels.assign(64, 3);
    grey.palette = rampPalette();
    // The unit named in units\ wins over a picture that comes first in unitpics\.
    writeFile(dir / "unit.hpi",
              makeRawHpi({rawDir("unitpics", {rawFile("AAA.pcx", text(makePcx(grey))),
                                              rawFile("ARMDEMO.PCX", text(unitPicture()))}),
                          rawDir("units", {rawFile("armdemo.fbi", "[UNITINFO]{}")})}));
    expectThumbnail("crateward-hpi.thumbnailer", dir / "unit.hpi", 128);
    writeFile(dir / "loose.ufo",
              makeRawHpi({rawDir("unitpics", {rawFile("other.pcx", text(unitPicture()))})}));
    expectThumbnail("crateward-hpi.thumbnailer", dir / "loose.ufo", 128);
    // No unit picture at all, or one that is not a picture: nothing to show.
    writeFile(dir / "none.hpi", makeRawHpi({rawFile("readme.txt", "hello")}));
    expectNothing("crateward-hpi.thumbnailer", dir / "none.hpi");
    writeFile(dir / "bad.hpi",
              makeRawHpi({rawDir("unitpics", {rawFile("x.pcx", "not a picture")})}));
    expectNothing("crateward-hpi.thumbnailer", dir / "bad.hpi");
}

TEST(Thumbnailer, DamagedAndEmptyFilesExitQuicklyAndWriteNothing) {
    TempDir dir;
    // A sprite whose only frame is transparent throughout.
    writeFile(dir / "clear.gaf",
              makeGaf({{"clear", {rawFrame(8, 8, std::vector<std::uint8_t>(64, 9))}}}));
    expectNothing("crateward-gaf.thumbnailer", dir / "clear.gaf");
    writeFile(dir / "empty.gaf", std::string_view{});
    expectNothing("crateward-gaf.thumbnailer", dir / "empty.gaf");
    writeFile(dir / "noise.pcx", randomBytes(5000, 7));
    expectNothing("crateward-pcx.thumbnailer", dir / "noise.pcx");
    writeFile(dir / "short.pcx", truncated(unitPicture(), 300));
    expectNothing("crateward-pcx.thumbnailer", dir / "short.pcx");
    expectNothing("crateward-gaf.thumbnailer", dir / "missing.gaf");

    const std::optional<fs::path> archive = realFile("archives/ArmBani.ufo");
    const std::optional<fs::path> sprites = realFile("gaf/abboom.gaf");
    if (!archive || !sprites) {
        GTEST_SKIP() << "real game files are absent";
    }
    writeFile(dir / "short.ufo", truncated(readFile(*archive), 20000));
    expectNothing("crateward-hpi.thumbnailer", dir / "short.ufo");
    std::vector<std::uint8_t> scrambled = readFile(*archive);
    for (std::size_t i = 40; i < scrambled.size(); i += 97) {
        scrambled[i] ^= 0x5A;
    }
    writeFile(dir / "scrambled.ufo", scrambled);
    expectNothing("crateward-hpi.thumbnailer", dir / "scrambled.ufo");
    writeFile(dir / "short.gaf", truncated(readFile(*sprites), 60));
    expectNothing("crateward-gaf.thumbnailer", dir / "short.gaf");
}

#ifdef THUMBNAIL_MODELS
// Drawing goes through Mesa, whose own allocations the leak checker of the
// sanitizer build reports: there only the models with nothing to show run.
#ifdef THUMBNAILER_SANITIZED
constexpr bool drawing = false;
#else
constexpr bool drawing = true;
#endif

TEST(Thumbnailer, ModelsAreDrawnAndEmptyOrDamagedOnesShowNothing) {
    TempDir dir;
    writeFile(dir / "triangles.3do", makeTdo(tdoTriangles("base", 6)));
    if (drawing) {
        expectThumbnail("crateward-3do.thumbnailer", dir / "triangles.3do", 128);
    }
    writeFile(dir / "empty.3do", std::string_view{});
    expectNothing("crateward-3do.thumbnailer", dir / "empty.3do");
    writeFile(dir / "noise.3do", randomBytes(3000, 11));
    expectNothing("crateward-3do.thumbnailer", dir / "noise.3do");

    for (const char* name : {"3do/armcom.3do", "3do/cormlk.3do"}) {
        const std::optional<fs::path> file = realFile(name);
        if (!file) {
            GTEST_SKIP() << "real game files are absent";
        }
        if (drawing) {
            expectThumbnail("crateward-3do.thumbnailer", *file, 256);
        }
        writeFile(dir / "short.3do", truncated(readFile(*file), 52));
        expectNothing("crateward-3do.thumbnailer", dir / "short.3do");
    }
}
#endif
