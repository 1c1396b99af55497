// The demo unit's sounds (8-bit mono PCM at 22,050 Hz, as most of the game's
// are) and its compiled script.
#include "demo_parts.hpp"

#include <cmath>
#include <numbers>
#include <string>

namespace demo {

namespace {

void put16(Bytes& v, unsigned x) {
    v.push_back(std::uint8_t(x));
    v.push_back(std::uint8_t(x >> 8));
}

void put32(Bytes& v, std::uint32_t x) {
    put16(v, x & 0xFFFF);
    put16(v, x >> 16);
}

void putText(Bytes& v, const std::string& s) {
    v.insert(v.end(), s.begin(), s.end());
}

constexpr unsigned Rate = 22050;

// A tone gliding from `from` to `to` Hz over `seconds`, fading out; `buzz`
// adds a square overtone.
Bytes tone(double from, double to, double seconds, double buzz) {
    const auto samples = unsigned(Rate * seconds);
    Bytes v;
    putText(v, "RIFF");
    put32(v, 36 + samples + samples % 2); // with the pad byte below
    putText(v, "WAVEfmt ");
    put32(v, 16);
    put16(v, 1); // PCM
    put16(v, 1); // mono
    put32(v, Rate);
    put32(v, Rate); // bytes a second
    put16(v, 1);    // block align
    put16(v, 8);    // bits a sample
    putText(v, "data");
    put32(v, samples);
    double phase = 0;
    for (unsigned i = 0; i < samples; ++i) {
        const double t = double(i) / samples;
        phase += 2 * std::numbers::pi * (from + (to - from) * t) / Rate;
        const double wave = std::sin(phase) + buzz * (std::sin(3 * phase) > 0 ? 1 : -1);
        const double level = 90.0 * (1.0 - t) / (1.0 + buzz);
        v.push_back(std::uint8_t(std::lround(128 + level * wave)));
    }
    if (samples % 2) {
        v.push_back(0); // RIFF chunks are padded to even sizes
    }
    return v;
}

} // namespace

Bytes SelectSound() {
    return tone(600, 1200, 0.18, 0.0);
}

Bytes FireSound() {
    return tone(1800, 300, 0.35, 0.4);
}

Bytes UnitScript() {
    // The compiled script's layout: an int32 header (version, script and
    // piece counts, code size in int32 words, static variables, a reserved
    // word, then the offsets of the script code index, the script name
    // offsets, the piece name offsets, the code and the names), the code,
    // the three offset arrays and the NUL-terminated names. The code words
    // are placeholders: the toolkit only carries this file.
    const std::string scripts[] = {"Create",       "AimPrimary",  "AimFromPrimary",
                                   "QueryPrimary", "FirePrimary", "Killed"};
    const std::string pieces[] = {"base", "turret", "barrel", "flare"};
    constexpr std::uint32_t HeaderWords = 11, WordsPerScript = 2;
    const std::uint32_t scriptCount = std::size(scripts), pieceCount = std::size(pieces);
    const std::uint32_t codeWords = scriptCount * WordsPerScript;
    const std::uint32_t codeOffset = HeaderWords * 4;
    const std::uint32_t indexOffset = codeOffset + codeWords * 4;
    const std::uint32_t scriptNamesOffset = indexOffset + scriptCount * 4;
    const std::uint32_t pieceNamesOffset = scriptNamesOffset + scriptCount * 4;
    const std::uint32_t namesOffset = pieceNamesOffset + pieceCount * 4;

    Bytes v;
    for (std::uint32_t word : {4u, scriptCount, pieceCount, codeWords, 1u, 0u, indexOffset,
                               scriptNamesOffset, pieceNamesOffset, codeOffset, namesOffset}) {
        put32(v, word);
    }
    for (std::uint32_t i = 0; i < codeWords; ++i) {
        put32(v, 0);
    }
    for (std::uint32_t i = 0; i < scriptCount; ++i) {
        put32(v, i * WordsPerScript); // each script's first code word
    }
    std::uint32_t name = namesOffset;
    for (const std::string& s : scripts) {
        put32(v, name);
        name += std::uint32_t(s.size() + 1);
    }
    for (const std::string& p : pieces) {
        put32(v, name);
        name += std::uint32_t(p.size() + 1);
    }
    for (const std::string& s : scripts) {
        putText(v, s);
        v.push_back(0);
    }
    for (const std::string& p : pieces) {
        putText(v, p);
        v.push_back(0);
    }
    return v;
}

} // namespace demo
