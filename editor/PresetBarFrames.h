// SPDX-License-Identifier: GPL-3.0-or-later
// The values through which the preset bar's buttons, switches and rocker show their state,
// and the bitmap frame each value shows.
#pragma once

#include <algorithm>
#include <cstdint>

namespace presetbar {

// Three-frame buttons and switches: at rest, under the pointer, pressed or switched on.
inline constexpr float kRestValue = 0.0f;
inline constexpr float kHoverValue = 0.34f;
inline constexpr float kPressedValue = 0.67f;
inline constexpr float kOnValue = 2.0f / 3.0f;
inline constexpr int32_t kButtonFrames = 3;

// The rocker: pointer over a half (-0.5 left, +0.5 right), a half pressed (-1, +1).
inline constexpr float kRockerHoverLeft = -0.5f;
inline constexpr float kRockerHoverRight = 0.5f;

// Frame 0..2 of a three-frame button for its value.
inline int32_t buttonFrame(float value) {
    if (!(value > 0.0f)) return 0;
    return std::clamp(int32_t(3.0f * value + 0.5f), 0, kButtonFrames - 1);
}

// Frame 0..4 of the rocker: rest, hover left, hover right, left pressed, right pressed.
inline int32_t rockerFrame(float value) {
    if (value <= -1.0f) return 3;
    if (value >= 1.0f) return 4;
    if (value < 0.0f) return 1;
    if (value > 0.0f) return 2;
    return 0;
}

} // namespace presetbar
