#include "spriteglass/run_length_encoder.hpp"

#include "spriteglass/palette.hpp"

#include <algorithm>

namespace spriteglass {

namespace {

constexpr int kMaxSkip = 127; // m >> 1 of one control byte
constexpr int kMaxRun = 64;   // (m >> 2) + 1

enum Kind : std::uint8_t { Skip, Repeat, Literal };

struct Step {
    Kind kind;
    std::uint8_t length;
};

// A candidate literal end j with its cost from there, j + best[j].
struct Candidate {
    std::int32_t j;
    std::int32_t g;
};

// Work arrays of one row, kept between rows and frames.
struct Scratch {
    std::vector<std::int32_t> best; // shortest code of pixels [i, end)
    std::vector<Step> step;         // the first code of that shortest code
    std::vector<Candidate> window;
};

} // namespace

// Shortest code by dynamic programming from the row's end. best[i] never
// grows with i (dropping the front of a code never lengthens it), so a skip
// or a repeat is always best taken as long as its run allows; a literal of k
// pixels costs 1 + k + best[i + k], whose minimum over k <= 64 is kept by a
// sliding-window minimum of j + best[j].
void EncodeRunLengthRow(std::span<const std::uint8_t> row, std::vector<std::uint8_t>& out) {
    const std::uint8_t* p = row.data();
    int end = int(row.size());
    while (end > 0 && p[end - 1] == MaskIndex) {
        --end; // trailing transparent pixels need no code
    }
    if (end == 0) {
        return;
    }
    thread_local Scratch s;
    if (s.best.size() < std::size_t(end) + 1) {
        s.best.resize(std::size_t(end) + 1);
        s.step.resize(std::size_t(end) + 1);
        s.window.resize(std::size_t(end) + 1);
    }
    std::int32_t* best = s.best.data();
    Step* step = s.step.data();
    // Candidate literal ends j, front the smallest j + best[j]; j decreases
    // towards the back.
    Candidate* window = s.window.data();
    int front = 0;
    int back = 0;
    best[end] = 0;
    int run = 0;
    constexpr std::int32_t kNever = 1 << 30;
    for (int i = end - 1; i >= 0; --i) {
        const std::uint8_t pixel = p[i];
        run = (i + 1 < end && p[i + 1] == pixel) ? run + 1 : 1;
        const std::int32_t g = i + 1 + best[i + 1];
        while (back > front && window[back - 1].g >= g) {
            --back;
        }
        window[back++] = {i + 1, g};
        front += window[front].j > i + kMaxRun;
        const int literalEnd = window[front].j;
        std::int32_t cost = 1 + window[front].g - i;
        Step choice{Literal, std::uint8_t(literalEnd - i)};
        const int repeat = std::min(run, kMaxRun);
        const std::int32_t repeatCost = run >= 2 ? 2 + best[i + repeat] : kNever;
        if (repeatCost <= cost) {
            cost = repeatCost;
            choice = {Repeat, std::uint8_t(repeat)};
        }
        const int skip = std::min(run, kMaxSkip);
        const std::int32_t skipCost = pixel == MaskIndex ? 1 + best[i + skip] : kNever;
        if (skipCost <= cost) {
            cost = skipCost;
            choice = {Skip, std::uint8_t(skip)};
        }
        best[i] = cost;
        step[i] = choice;
    }
    const std::size_t start = out.size();
    out.resize(start + std::size_t(best[0]));
    std::uint8_t* o = out.data() + start;
    for (int i = 0; i < end;) {
        const int k = step[i].length;
        switch (step[i].kind) {
        case Skip:
            *o++ = std::uint8_t(k << 1 | 1);
            break;
        case Repeat:
            *o++ = std::uint8_t((k - 1) << 2 | 2);
            *o++ = p[i];
            break;
        case Literal:
            *o++ = std::uint8_t((k - 1) << 2);
            std::copy(p + i, p + i + k, o);
            o += k;
            break;
        }
        i += k;
    }
}

bool EncodeRunLengthRows(std::span<const std::uint8_t> pixels, int width, int height,
                         std::vector<std::uint8_t>& out) {
    const std::size_t start = out.size();
    for (int r = 0; r < height; ++r) {
        const std::size_t countAt = out.size();
        out.resize(countAt + 2);
        EncodeRunLengthRow(pixels.subspan(std::size_t(r) * std::size_t(width), std::size_t(width)),
                           out);
        const std::size_t n = out.size() - countAt - 2;
        if (n > std::size_t(MaxRowCodeBytes)) {
            out.resize(start);
            return false;
        }
        out[countAt] = std::uint8_t(n);
        out[countAt + 1] = std::uint8_t(n >> 8);
    }
    return true;
}

} // namespace spriteglass
