// SPDX-License-Identifier: GPL-3.0-or-later
// The sample rates the engine runs at. Every edition and tool checks a host's or a file's
// rate against this one range.
#pragma once

namespace samplerates {

inline constexpr double kMinHz = 4096.0;
inline constexpr double kMaxHz = 384000.0;
// A VST 2 host may still ask for another rate: the engine then runs at this one.
inline constexpr double kFallbackHz = 44100.0;

constexpr bool isSupported(double hz) noexcept {
    return hz >= kMinHz && hz <= kMaxHz; // false for NaN
}

} // namespace samplerates
