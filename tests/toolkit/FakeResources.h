// SPDX-License-Identifier: GPL-3.0-or-later
// A small stand-in for the panel art, so the toolkit's tests know every pixel. Bitmaps
// whose pixels are stored directly show (x, y, scale) in each pixel: red = x, green = y,
// blue = scale (device pixels of that scale). Palette bitmaps (filmstrips) show their
// frame number: one palette colour per frame, 0xFF000000 | id << 16 | frame << 8 | scale.
#pragma once

#include <cstdint>

namespace fake {

inline constexpr int32_t kBackground = 128;  // 875 × 171, direct
inline constexpr int32_t kAbout = 129;       // 875 × 171, direct
inline constexpr int32_t kKnobStrip = 130;   // 37 × 3636: 101 frames of 36, palette
inline constexpr int32_t kTwoFrames = 144;   // 25 × 44: 2 frames of 22, palette
inline constexpr int32_t kThreeFrames = 153; // 30 × 39: 3 frames of 13, palette
inline constexpr int32_t kFiveFrames = 174;  // 16 × 280: 5 frames of 56, palette
inline constexpr int32_t kPattern = 201;     // 16 × 8, direct
inline constexpr int32_t kHalfAlpha = 202;   // 8 × 4, direct: left half clear, right half
                                             // premultiplied red at alpha 128 (0x80800000)
inline constexpr int32_t kWrongSize = 203;   // 4 × 4 that loads at the wrong size
inline constexpr int32_t kFont = 3;          // fonts 3 and 6: every glyph a solid block
inline constexpr int32_t kSmallFont = 6;

// Glyphs of the fake fonts at scale 1 (times the scale at scale 2).
inline constexpr int32_t kGlyphWidth = 3;
inline constexpr int32_t kGlyphAdvance = 4;
inline constexpr int32_t kAscent = 5;
inline constexpr int32_t kDescent = 1;

constexpr uint32_t patternPixel(int32_t x, int32_t y, int32_t scale) {
    return 0xFF000000u | uint32_t(x & 255) << 16 | uint32_t(y & 255) << 8 | uint32_t(scale);
}
constexpr uint32_t framePixel(int32_t id, int32_t frame, int32_t scale) {
    return 0xFF000000u | uint32_t(id & 255) << 16 | uint32_t(frame & 255) << 8 | uint32_t(scale);
}

// How many images have been loaded so far (to see that loading is lazy).
int imageLoads();

} // namespace fake
