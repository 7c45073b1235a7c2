// The MIDI controller map's numbers: 128 controller numbers, the mark of an empty entry, the
// channel mode controllers that are never learned, and the map of a new installation.
#pragma once

#include "engine/Parameters.h"
#include "host/vst2.h"

inline constexpr VstInt32 kNumControllers = 128;
inline constexpr VstInt32 kNotAssigned = 999;
// Controllers 120..127 are channel mode messages: never learned.
inline constexpr VstInt32 kFirstModeController = 120;

// Controllers of parameters 0..47 in a new installation; none has a standard meaning.
inline constexpr VstInt32 kDefaultControllers[kNumParams] = {
    20, 22, 21, 23, 24, 25, 26, 27, 28, 29, 30, 31,  41,  44,  45,  46,
    47, 48, 49, 50, 51, 52, 53, 54, 56, 57, 58, 59,  60,  61,  62,  63,
    75, 76, 77, 78, 79, 85, 86, 87, 88, 89, 90, 102, 103, 104, 105, 106};
