// The format's minimal archives, byte for byte.
#pragma once

#include "testsupport/testsupport.hpp"

namespace vectors {

// One root file A.TXT holding ABABABAB, LZ77, no cipher, inner flag 0.
inline std::vector<std::uint8_t> minimalLz77() {
    return testsupport::fromHex(R"(
48 41 50 49 00 00 01 00 34 00 00 00 00 00 00 00
14 00 00 00 01 00 00 00 1C 00 00 00 25 00 00 00
2B 00 00 00 00 41 2E 54 58 54 00 34 00 00 00 08
00 00 00 01 1A 00 00 00 53 51 53 48 02 01 00 07
00 00 00 08 00 00 00 A3 00 00 00 0C 41 42 14 00
00 00 43 6F 70 79 72 69 67 68 74 20 31 39 39 37
20 43 61 76 65 64 6F 67 20 45 6E 74 65 72 74 61
69 6E 6D 65 6E 74)");
}

// The same archive with header key 0xBF.
inline std::vector<std::uint8_t> minimalLz77Key() {
    return testsupport::fromHex(R"(
48 41 50 49 00 00 01 00 34 00 00 00 BF 00 00 00
14 00 00 00 EB EB E8 E9 FA E7 E4 E5 C7 E3 E0 E1
F5 DF DC DD DA 9A F6 8D 8E 83 D4 E1 D2 D3 D0 D9
CE CF CC CC D0 CB C8 C9 95 96 97 8D C0 C2 C0 C6
BE BF BC B5 BA BB B8 1A B6 B7 B4 B9 F3 F1 A4 B1
AE AF 43 6F 70 79 72 69 67 68 74 20 31 39 39 37
20 43 61 76 65 64 6F 67 20 45 6E 74 65 72 74 61
69 6E 6D 65 6E 74)");
}

// minimalLz77 with the inner encoding (flag 1).
inline std::vector<std::uint8_t> minimalLz77Encoded() {
    auto a = minimalLz77();
    a[0x3E] = 0x01;
    a[0x47] = 0xC7;
    const auto payload = testsupport::fromHex("0C 41 42 1A 08 0A 0C");
    std::copy(payload.begin(), payload.end(), a.begin() + 0x4B);
    return a;
}

// minimalLz77Key with the inner encoding.
inline std::vector<std::uint8_t> minimalLz77EncodedKey() {
    auto a = minimalLz77Key();
    a[0x3E] = 0xC1;
    a[0x47] = 0x7E;
    const auto payload = testsupport::fromHex("AA B9 A4 A3");
    std::copy(payload.begin(), payload.end(), a.begin() + 0x4E);
    return a;
}

// The ZLIB variant: key 0, flag 0 (123 bytes).
inline std::vector<std::uint8_t> minimalZlib() {
    auto a = minimalLz77();
    a.resize(0x34);
    a[0x33] = 0x02;
    auto tail = testsupport::fromHex(R"(
1F 00 00 00 53 51 53 48 02 02 00 0C 00 00 00 08 00 00 00 08 03 00 00
78 9C 73 74 72 04 43 00 09 3C 02 0D)");
    a.insert(a.end(), tail.begin(), tail.end());
    auto lz = minimalLz77();
    a.insert(a.end(), lz.end() - 36, lz.end());
    return a;
}

} // namespace vectors
