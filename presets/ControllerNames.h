// SPDX-License-Identifier: GPL-3.0-or-later
// Names of the 128 MIDI controller numbers as the preset bar shows them, plus "not assigned"
// (entry 128) and an empty entry (129) for no parameter. Numbers without a standard meaning
// read "control N".
#pragma once

#include <string_view>

inline constexpr int kControllerNameCount = 130;
inline constexpr int kNotAssignedNameIndex = 128;
inline constexpr int kNoControllerNameIndex = 129;

// Entry 0..129; any other index gives the empty entry.
std::string_view controllerName(int index);

// The entry a display value v stands for: min(floor(130 v), 129). Negative values give 0,
// NaN and values of 1 and above the empty entry.
int controllerNameIndex(float value);
std::string_view controllerNameForValue(float value);
