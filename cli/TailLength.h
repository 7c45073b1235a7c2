// SPDX-License-Identifier: GPL-3.0-or-later
// How long the automatic tail has to run, worked out from the effect's settings as the
// host sees them (parameter names and value texts). Sound can stay silent inside a delay
// line for one pass: the line's time, stretched by the VCO's slowest clock (the manual
// factor with the modulation's widest swing below it, down to an eighth of the normal
// rate). The tail therefore ends only after the output has been quiet for longer than
// the longest pass, plus the reverb's longest loop when the reverb is on. How long the
// echoes keep returning follows from the feedback: each pass scales them by at most the
// larger feedback gain, and the reverb adds its own decay.
#pragma once

#include <optional>

namespace cli {

class RenderHost;

// Tails never run longer than this unless asked for with --tail, and always at least
// kMinAutoLimitSeconds when the settings could still be sounding.
inline constexpr double kMinAutoLimitSeconds = 30.0;
inline constexpr double kMaxAutoLimitSeconds = 300.0;
// The shortest quiet stretch that ends a tail.
inline constexpr double kMinQuietSeconds = 1.0;

struct TailEstimate {
    double longestPassSeconds = 0.0; // the longest time between sound entering and leaving a line
    double quietSeconds = kMinQuietSeconds; // the quiet stretch that ends the tail
    // How long an echo of a full-scale sound takes to fall below the quiet level; none
    // when the settings keep it at full level (feedback at 0 dB).
    std::optional<double> ringSeconds;
    double limitSeconds = kMinAutoLimitSeconds; // the longest automatic tail
};

TailEstimate estimateTail(const RenderHost& host);

} // namespace cli
