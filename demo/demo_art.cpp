// The demo unit's model, wreck, sprites and picture, drawn with palette
// indices of the game palette and written by the project's file writers.
#include "demo_canvas.hpp"
#include "demo_parts.hpp"

#include "testsupport/gaf_writer.hpp"
#include "testsupport/pcx_writer.hpp"
#include "testsupport/tdo_writer.hpp"

#include <cmath>

namespace demo {

namespace {

using testsupport::fixed16;
using testsupport::TdoPieceSpec;

// Game palette indices.
constexpr std::uint8_t Transparent = 9;
constexpr std::uint8_t Black = 0;
constexpr std::uint8_t ArmBlue = 103;
constexpr std::uint8_t DarkBlue = 107;
constexpr std::uint8_t LightBlue = 99;
constexpr std::uint8_t Steel = 85;
constexpr std::uint8_t DarkSteel = 91;
constexpr std::uint8_t Yellow = 208;
constexpr std::uint8_t Orange = 210;
constexpr std::uint8_t Ash = 93;
constexpr std::uint8_t Rust = 186;

// A box of six quads from (x0, y0, z0) to (x1, y1, z1), its top in `top`
// and the other faces in `side`, appended to the piece's arrays. Its faces
// name `texture` (an entry of textures\armdemo.gaf) when one is given; the
// colours stay for viewers that find no texture.
void addBox(TdoPieceSpec& piece, double x0, double y0, double z0, double x1, double y1, double z1,
            std::int32_t side, std::int32_t top, const char* texture = "") {
    const auto base = std::int16_t(piece.vertices.size());
    for (int i = 0; i < 8; ++i) {
        piece.vertices.push_back(
            {fixed16(i & 1 ? x1 : x0), fixed16(i & 2 ? y1 : y0), fixed16(i & 4 ? z1 : z0)});
    }
    const int faces[6][4] = {{2, 3, 7, 6}, {0, 4, 5, 1}, {0, 1, 3, 2},
                             {4, 6, 7, 5}, {0, 2, 6, 4}, {1, 5, 7, 3}};
    for (int f = 0; f < 6; ++f) {
        testsupport::TdoPrimitiveSpec quad;
        quad.color = f == 0 ? top : side;
        quad.texture = texture;
        for (int v : faces[f]) {
            quad.indices.push_back(std::int16_t(base + v));
        }
        piece.primitives.push_back(quad);
    }
}

TdoPieceSpec piece(const char* name, double x, double y, double z) {
    TdoPieceSpec p;
    p.name = name;
    p.position = {fixed16(x), fixed16(y), fixed16(z)};
    return p;
}

testsupport::GafFrameSpec rawFrame(const Canvas& c, int hotX, int hotY) {
    return testsupport::rawFrame(std::int16_t(c.width()), std::int16_t(c.height()), c.pixels(),
                                 std::int16_t(hotX), std::int16_t(hotY));
}

testsupport::GafFrameSpec codedFrame(const Canvas& c, int hotX, int hotY) {
    testsupport::GafFrameSpec frame = rawFrame(c, hotX, hotY);
    frame.compression = 1;
    frame.data = testsupport::codedRows(c.codedRows(Transparent));
    return frame;
}

// The tank seen from above and a little behind: hull, tracks, turret, barrel.
Canvas tankPicture(int size, std::uint8_t background) {
    Canvas c(size, size, background);
    const int s = size / 16;
    c.rect(3 * s, 4 * s, 13 * s - 1, 14 * s - 1, DarkSteel); // tracks
    c.rect(4 * s, 4 * s, 12 * s - 1, 14 * s - 1, ArmBlue);   // hull
    c.frame(4 * s, 4 * s, 12 * s - 1, 14 * s - 1, DarkBlue);
    c.ring(8 * s, 9 * s, 0, 3 * s, Steel); // turret
    c.ring(8 * s, 9 * s, 0, s, LightBlue);
    c.rect(8 * s - s / 2, s, 8 * s + s / 2, 7 * s, DarkSteel); // barrel
    c.rect(8 * s - s / 2, s, 8 * s + s / 2, s + s / 2, Yellow);
    return c;
}

} // namespace

Bytes UnitModel() {
    TdoPieceSpec base = piece("base", 0, 0, 0);
    addBox(base, -11, 0, -15, 11, 3, 15, DarkSteel, DarkSteel);              // tracks
    addBox(base, -9, 3, -13, 9, 9, 13, ArmBlue, LightBlue, "armdemo_plate"); // hull

    TdoPieceSpec turret = piece("turret", 0, 9, -2);
    addBox(turret, -6, 0, -6, 6, 5, 6, Steel, ArmBlue, "armdemo_plate");

    TdoPieceSpec barrel = piece("barrel", 0, 2.5, 6);
    addBox(barrel, -1.2, -1.2, 0, 1.2, 1.2, 14, DarkSteel, Steel);
    addBox(barrel, -1.6, -1.6, 12, 1.6, 1.6, 14, Yellow, Yellow, "armdemo_stripe");

    // The point the laser leaves from: a piece without polygons.
    TdoPieceSpec flare = piece("flare", 0, 0, 15);

    barrel.children.push_back(flare);
    turret.children.push_back(barrel);
    base.children.push_back(turret);
    return testsupport::makeTdo(base);
}

Bytes CorpseModel() {
    TdoPieceSpec base = piece("base", 0, 0, 0);
    addBox(base, -11, 0, -15, 11, 2, 15, Ash, Ash);
    addBox(base, -9, 2, -13, 9, 6, 13, Rust, Ash);
    addBox(base, -4, 6, -6, 5, 9, 4, Ash, Rust);
    return testsupport::makeTdo(base);
}

Bytes BuildMenuSprites() {
    // The build menu button: one 64x64 raw frame with the tank on black.
    testsupport::GafEntrySpec button{"ARMDEMO", {rawFrame(tankPicture(64, Black), 0, 0)}};

    // A beacon blinking on the turret: a ring that grows and fades, frames
    // alternately raw and run-length coded, index 9 around it.
    testsupport::GafEntrySpec beacon{"armdemo_beacon", {}};
    const std::uint8_t shades[6] = {Yellow, 209, Orange, 211, 212, 213};
    for (int i = 0; i < 6; ++i) {
        Canvas c(24, 24, Transparent);
        c.ring(12, 12, 2 + i, 4 + i, shades[i]);
        c.ring(12, 12, 0, 2, Yellow);
        auto frame = i % 2 ? codedFrame(c, 12, 12) : rawFrame(c, 12, 12);
        frame.tag = 2;
        beacon.frames.push_back(frame);
    }
    return testsupport::makeGaf({button, beacon});
}

Bytes TextureSprites() {
    // Hull plates: riveted blue metal and a hazard stripe, 32x32 raw.
    Canvas plate(32, 32, ArmBlue);
    plate.frame(0, 0, 31, 31, DarkBlue);
    for (int y = 3; y < 32; y += 8) {
        for (int x = 3; x < 32; x += 8) {
            plate.set(x, y, LightBlue);
        }
    }
    Canvas stripe(32, 32, Yellow);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            if ((x + y) % 16 < 8) {
                stripe.set(x, y, Black);
            }
        }
    }
    return testsupport::makeGaf(
        {{"armdemo_plate", {rawFrame(plate, 0, 0)}}, {"armdemo_stripe", {rawFrame(stripe, 0, 0)}}});
}

Bytes UnitPicture(const Palette& palette) {
    Canvas c = tankPicture(64, 141);
    c.frame(0, 0, 63, 63, LightBlue);
    testsupport::PcxFixture pcx;
    pcx.width = 64;
    pcx.height = 64;
    pcx.pixels = c.pixels();
    pcx.palette = palette;
    return testsupport::makePcx(pcx);
}

} // namespace demo
