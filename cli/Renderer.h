// SPDX-License-Identifier: GPL-3.0-or-later
// The render loop: input through the effect into the output, then the effect's tail after
// the input has ended.
#pragma once

#include "cli/AudioStream.h"

#include <atomic>
#include <functional>
#include <optional>
#include <string>

namespace cli {

class RenderHost;

// The automatic tail ends once the output has stayed below this level for the plan's
// quiet stretch.
inline constexpr double kQuietDbfs = -90.0;
// A tail cut while the effect still sounds fades out over its last half second (or over
// the whole tail when that is shorter).
inline constexpr double kTailFadeSeconds = 0.5;

// The gain of frame i of an n-frame fade: a half cosine from just below 1 to exactly 0.
double tailFadeGain(long long i, long long n);

struct RenderProgress {
    double secondsDone = 0.0;
    std::optional<double> secondsTotal; // none while the length is not known yet
    bool inTail = false;
};

struct RenderPlan {
    // The tail after the input: exactly this long when given; otherwise until the output
    // has been quiet for quietSeconds, and at most autoLimitSeconds.
    std::optional<double> tailSeconds;
    double quietSeconds = 1.0;
    double autoLimitSeconds = 30.0;
    const std::atomic<bool>* cancel = nullptr; // set from outside to stop the render
    std::function<void(const RenderProgress&)> onProgress;
};

struct RenderResult {
    long long inputFrames = 0;
    long long outputFrames = 0;
    // The tail reached its length (the limit, or --tail) while the effect still sounded,
    // and its last frames were faded out.
    bool tailFaded = false;
    // The input ended before the length its header promised; the reason when a read
    // failed.
    std::optional<long long> promisedInputFrames;
    std::string inputProblem;
    // Output samples beyond full scale (either channel), and the largest magnitude.
    long long overs = 0;
    float peak = 0.0f;
    std::string error;
    bool ok() const { return error.empty(); }
};

// The most frames a render of source can write with the given plan; none when the
// source's length is not known.
std::optional<long long> maxOutputFrames(const AudioSource& source, const RenderPlan& plan);

// The host must be configured for the source's sample rate and started. Reads the source
// in whole blocks of the host's block size, so the effect sees the same block boundaries
// as a host that plays input and tail as one stream.
RenderResult render(RenderHost& host, AudioSource& source, AudioSink& sink, const RenderPlan& plan);

} // namespace cli
