// SPDX-License-Identifier: GPL-3.0-or-later
// The phrase tessel-render plays when it is given no input file: a few plucked notes of a
// simple melody, a drum hit and a burst of noise, about four seconds of stereo, so a new
// user hears the effect at once. Synthesised in code and seeded: the same every time.
#pragma once

#include "cli/AudioStream.h"

namespace cli {

inline constexpr double kDemoPhraseSeconds = 4.0;
// The loudest sample of the phrase (-6 dBFS), leaving headroom for the effect.
inline constexpr float kDemoPhrasePeak = 0.5f;

StereoBuffer makeDemoPhrase(double sampleRateHz);

} // namespace cli
