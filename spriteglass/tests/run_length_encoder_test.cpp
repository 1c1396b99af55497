// The run-length encoder against an exhaustive search for the shortest row
// code, and against the reader's decoder.
#include "spriteglass/gaf_file.hpp"
#include "spriteglass/palette.hpp"
#include "spriteglass/run_length_encoder.hpp"
#include "spriteglass/run_length_rows.hpp"

#include <testsupport/testsupport.hpp>

#include <gtest/gtest.h>

#include <filesystem>

#include <algorithm>
#include <random>

using namespace spriteglass;

namespace {

// Length of the shortest code of the row, trying every code of every length
// at every position (skips only over MaskIndex, repeats only over equal pixels).
std::size_t shortestByExhaustiveSearch(const std::vector<std::uint8_t>& row) {
    const int width = int(row.size());
    std::vector<std::size_t> best(row.size() + 1, 0);
    for (int i = width - 1; i >= 0; --i) {
        const bool restTransparent =
            std::all_of(row.begin() + i, row.end(), [](std::uint8_t p) { return p == MaskIndex; });
        if (restTransparent) {
            best[i] = 0;
            continue;
        }
        std::size_t b = SIZE_MAX;
        for (int k = 1; k <= 127 && i + k <= width && row[i + k - 1] == MaskIndex; ++k) {
            b = std::min(b, 1 + best[i + k]);
        }
        for (int k = 1; k <= 64 && i + k <= width && row[i + k - 1] == row[i]; ++k) {
            b = std::min(b, 2 + best[i + k]);
        }
        for (int k = 1; k <= 64 && i + k <= width; ++k) {
            b = std::min(b, 1 + k + best[i + k]);
        }
        best[i] = b;
    }
    return best[0];
}

// Decodes one row by the plain rule, failing when a code passes the right edge.
bool decodeInsideRow(const std::vector<std::uint8_t>& code, int width,
                     std::vector<std::uint8_t>& row) {
    row.assign(std::size_t(width), MaskIndex);
    int x = 0;
    for (std::size_t t = 0; t < code.size();) {
        const std::uint8_t m = code[t++];
        const int k = (m & 1) ? m >> 1 : (m >> 2) + 1;
        if (x + k > width) {
            return false;
        }
        if (m & 2 && !(m & 1)) {
            std::fill_n(row.begin() + x, k, code.at(t++));
        } else if (!(m & 1)) {
            for (int j = 0; j < k; ++j) {
                row[std::size_t(x + j)] = code.at(t++);
            }
        }
        x += k;
    }
    return true;
}

// Rows of runs: transparent, equal and mixed stretches of random lengths up
// to past both code limits (64 and 127).
std::vector<std::uint8_t> randomRow(std::mt19937& rng) {
    std::vector<std::uint8_t> row;
    const int width = std::uniform_int_distribution<int>(1, 400)(rng);
    while (int(row.size()) < width) {
        const int length = std::uniform_int_distribution<int>(1, rng() % 4 == 0 ? 200 : 5)(rng);
        switch (rng() % 3) {
        case 0:
            row.insert(row.end(), std::size_t(length), MaskIndex);
            break;
        case 1:
            row.insert(row.end(), std::size_t(length), std::uint8_t(rng() % 4));
            break;
        default:
            for (int j = 0; j < length; ++j) {
                row.push_back(std::uint8_t(rng() % 3 == 0 ? MaskIndex : rng() % 5));
            }
        }
    }
    row.resize(std::size_t(width));
    return row;
}

// Rows where the choices are close: few values, transparent ones among
// them, runs of 1 to 4 and now and then one near a code's limit (63 to 66,
// 126 to 129), stretches crossing the 64-pixel literal blocks.
std::vector<std::uint8_t> closeCallRow(std::mt19937& rng) {
    std::vector<std::uint8_t> row;
    const int width = std::uniform_int_distribution<int>(1, 300)(rng);
    const std::uint8_t values[] = {MaskIndex, 1, 2, 3};
    while (int(row.size()) < width) {
        int length = std::uniform_int_distribution<int>(1, 4)(rng);
        if (rng() % 40 == 0) {
            length = (rng() % 2 ? 63 : 126) + int(rng() % 4);
        }
        row.insert(row.end(), std::size_t(length), values[rng() % 4]);
    }
    row.resize(std::size_t(width));
    return row;
}

// Rows of literal stretches around one block (60 to 70 pixels of no two
// neighbours equal) between short runs that may or may not take their code
// (one transparent pixel, two others) and runs that always do, with widths
// on both sides of the 64-pixel steps the fast encoder works in.
std::vector<std::uint8_t> blockEdgeRow(std::mt19937& rng) {
    std::vector<std::uint8_t> row;
    const int widths[] = {63, 64, 65, 127, 128, 129, 191, 192, 193};
    const int width =
        rng() % 2 ? widths[rng() % 9] : std::uniform_int_distribution<int>(1, 260)(rng);
    while (int(row.size()) < width) {
        switch (rng() % 5) {
        case 0: // a literal stretch near a block's length
            for (int j = 0, n = 60 + int(rng() % 11); j < n; ++j) {
                row.push_back(std::uint8_t(1 + (j + rng() % 2) % 2 * 2 + j % 2));
            }
            break;
        case 1:
            row.push_back(MaskIndex);
            break;
        case 2:
            row.insert(row.end(), 2, std::uint8_t(5 + rng() % 2));
            break;
        case 3:
            row.insert(row.end(), std::size_t(1 + rng() % 4), std::uint8_t(rng() % 2 ? 7 : 8));
            break;
        default:
            row.insert(row.end(), std::size_t(2 + rng() % 3), MaskIndex);
        }
    }
    row.resize(std::size_t(width));
    return row;
}

// The row's code is as short as the exhaustive search finds, stays inside the
// row, decodes back to it, and is the same from both encoders.
void expectShortestAndExact(const std::vector<std::uint8_t>& row, const std::string& what) {
    std::vector<std::uint8_t> code = {0xAB}; // appended after what is there
    EncodeRunLengthRow(row, code);
    ASSERT_EQ(code.front(), 0xAB) << what;
    code.erase(code.begin());
    std::vector<std::uint8_t> inOrder;
    EncodeRunLengthRow(row, inOrder, RowEncoder::InOrder);
    ASSERT_EQ(code, inOrder) << what;
    ASSERT_EQ(code.size(), shortestByExhaustiveSearch(row)) << what;
    std::vector<std::uint8_t> decoded;
    ASSERT_TRUE(decodeInsideRow(code, int(row.size()), decoded)) << what;
    ASSERT_EQ(decoded, row) << what;
}

} // namespace

TEST(RunLengthEncoder, RandomRowsAreAsShortAsAnExhaustiveSearchAndStayInsideTheRow) {
    std::mt19937 rng(19);
    for (int n = 0; n < 3000; ++n) {
        expectShortestAndExact(randomRow(rng), "row " + std::to_string(n));
        expectShortestAndExact(closeCallRow(rng), "close row " + std::to_string(n));
    }
}

TEST(RunLengthEncoder, LiteralStretchesAroundABlockGiveTheSameShortestCodeFromBothEncoders) {
    std::mt19937 rng(64);
    for (int n = 0; n < 4000; ++n) {
        expectShortestAndExact(blockEdgeRow(rng), "row " + std::to_string(n));
    }
}

TEST(RunLengthEncoder, EveryRowOfTheRealFilesIsAsShortAsAnExhaustiveSearch) {
    const auto folder = testsupport::realFile("gaf");
    if (!folder) {
        GTEST_SKIP() << "no real files in " << testsupport::realFilePath("gaf");
    }
    std::size_t rows = 0;
    const auto check = [&](const classGAFFrame& frame, const std::string& what,
                           const auto& self) -> void {
        for (std::size_t i = 0; i < frame.Subframes().size(); ++i) {
            self(frame.Subframes()[i], what + " subframe " + std::to_string(i + 1), self);
        }
        const int width = frame.Fields().Width;
        for (int r = 0; r < frame.Fields().Height && frame.Subframes().empty(); ++r) {
            const auto first = frame.Pixels().begin() + std::ptrdiff_t(r) * width;
            expectShortestAndExact({first, first + width}, what + " row " + std::to_string(r));
            ++rows;
        }
    };
    for (const auto& item : std::filesystem::directory_iterator(*folder)) {
        classGAF gaf;
        gaf.Load(item.path());
        for (const auto& entry : gaf.Animations()) {
            for (std::size_t f = 0; f < entry.Frames().size(); ++f) {
                check(entry.Frames()[f],
                      item.path().filename().string() + " " + entry.Name() + " frame " +
                          std::to_string(f + 1),
                      check);
            }
        }
    }
    EXPECT_GT(rows, 1000u);
}

TEST(RunLengthEncoder, KnownRowsGiveTheirCodes) {
    const auto encode = [](std::vector<std::uint8_t> row) {
        std::vector<std::uint8_t> code;
        EncodeRunLengthRow(row, code);
        return code;
    };
    // The reader's example row: skip 2, three of 0x2A, literal 0x10 0x11.
    EXPECT_EQ(encode({9, 9, 0x2A, 0x2A, 0x2A, 0x10, 0x11}),
              (std::vector<std::uint8_t>{0x05, 0x0A, 0x2A, 0x04, 0x10, 0x11}));
    EXPECT_TRUE(encode(std::vector<std::uint8_t>(300, MaskIndex)).empty());
    EXPECT_EQ(encode({7, 9, 9, 9}), (std::vector<std::uint8_t>{0x00, 7})); // no trailing skip
    // 200 equal pixels: a repeat of 8 and three of 64; 130 transparent
    // pixels before them: a skip of 3 and one of 127 (a long run's shorter
    // code comes first).
    std::vector<std::uint8_t> row(130, MaskIndex);
    row.insert(row.end(), 200, 5);
    EXPECT_EQ(encode(row),
              (std::vector<std::uint8_t>{0x07, 0xFF, 0x1E, 5, 0xFE, 5, 0xFE, 5, 0xFE, 5}));
    // 65 pixels with no two neighbours equal: a literal of 64, then one of 1.
    std::vector<std::uint8_t> mixed;
    for (int i = 0; i < 65; ++i) {
        mixed.push_back(std::uint8_t(i % 2));
    }
    const std::vector<std::uint8_t> code = encode(mixed);
    ASSERT_EQ(code.size(), 67u);
    EXPECT_EQ(code[0], 0xFC);
    EXPECT_EQ(code[65], 0x00);
}

TEST(RunLengthEncoder, FramesDecodeBackThroughTheReadersDecoder) {
    std::mt19937 rng(7);
    for (const int width : {1, 3, 64, 65, 2048}) {
        const int height = 5;
        std::vector<std::uint8_t> pixels;
        for (int r = 0; r < height; ++r) {
            std::vector<std::uint8_t> row = randomRow(rng);
            row.resize(std::size_t(width), r == 2 ? MaskIndex : std::uint8_t(4));
            if (r == 2) {
                std::fill(row.begin(), row.end(), MaskIndex); // a row of transparent pixels only
            }
            pixels.insert(pixels.end(), row.begin(), row.end());
        }
        std::vector<std::uint8_t> file;
        ASSERT_TRUE(EncodeRunLengthRows(pixels, width, height, file));
        for (const RowDecoder decoder : {RowDecoder::Fast, RowDecoder::Exact}) {
            std::vector<std::uint8_t> decoded(pixels.size(), MaskIndex);
            ASSERT_TRUE(DecodeRunLengthRows(file, 0, width, height, decoded, decoder));
            EXPECT_EQ(decoded, pixels) << "width " << width;
        }
    }
}

TEST(RunLengthEncoder, RowsTooLongForTheirCountAreRefusedAndNothingIsLeftBehind) {
    // 32767 pixels with no two neighbours equal: 32767 bytes and 512 controls.
    const int width = 32767;
    std::vector<std::uint8_t> pixels(width);
    for (int i = 0; i < width; ++i) {
        pixels[std::size_t(i)] = std::uint8_t(i % 2);
    }
    std::vector<std::uint8_t> out = {1, 2, 3};
    EXPECT_FALSE(EncodeRunLengthRows(pixels, width, 1, out));
    EXPECT_EQ(out, (std::vector<std::uint8_t>{1, 2, 3}));
}
