// Window placements in the settings stay in twips (the stored values other
// versions wrote), converted at 15 twips per pixel.
#pragma once

namespace crateward {

inline constexpr int kTwipsPerPixel = 15;

constexpr int px(long twips) {
    return int(twips / kTwipsPerPixel);
}
constexpr int twips(int pixels) {
    return pixels * kTwipsPerPixel;
}

// What to store for a placement value read as `stored` twips and now
// `pixels`: the value as read when its pixels did not change, so the stored
// twips do not drift by a rounding every run.
constexpr int keptTwips(int stored, int pixels) {
    return px(stored) == pixels ? stored : twips(pixels);
}

} // namespace crateward
