// SPDX-License-Identifier: GPL-3.0-or-later
// The MIDI controller map's numbers: 128 controller numbers, the mark of an empty entry, the
// channel mode controllers that are never learned, and the map of a new installation.
#pragma once

#include "engine/Parameters.h"
#include "host/vst2.h"

inline constexpr VstInt32 kNumControllers = 128;
inline constexpr VstInt32 kNotAssigned = 999;
// Controllers 120..127 are channel mode messages: never learned.
inline constexpr VstInt32 kFirstModeController = 120;

// How the host sees a controller assignment (parameters 48..95): (cc + 0.5) / 129 for
// controller cc, 1 for none; and the controller a host value stands for (NaN counts as 0).
inline float hostValueOfController(VstInt32 cc) noexcept {
    if (cc < 0 || cc >= kNumControllers) return 1.0f;
    return (static_cast<float>(cc) + 0.5f) / static_cast<float>(kNumControllers + 1);
}
inline VstInt32 controllerOfHostValue(float value) noexcept {
    const auto cc = static_cast<VstInt32>(sanitizeValue(value) * (kNumControllers + 1));
    return cc < kNumControllers ? cc : kNotAssigned;
}

// Controllers of parameters 0..47 in a new installation; none has a standard meaning.
inline constexpr VstInt32 kDefaultControllers[kNumParams] = {
    20, 22, 21, 23, 24, 25, 26, 27, 28, 29, 30, 31,  41,  44,  45,  46,
    47, 48, 49, 50, 51, 52, 53, 54, 56, 57, 58, 59,  60,  61,  62,  63,
    75, 76, 77, 78, 79, 85, 86, 87, 88, 89, 90, 102, 103, 104, 105, 106};
