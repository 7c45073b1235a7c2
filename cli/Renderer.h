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

// Without an explicit tail the render goes on until the output has stayed below this
// level for kQuietSeconds, and stops at kMaxAutoTailSeconds after the input at the latest.
inline constexpr double kQuietDbfs = -90.0;
inline constexpr double kQuietSeconds = 1.0;
inline constexpr double kMaxAutoTailSeconds = 30.0;

struct RenderProgress {
    double secondsDone = 0.0;
    std::optional<double> secondsTotal; // none while the length is not known yet
    bool inTail = false;
};

struct RenderPlan {
    std::optional<double> tailSeconds;         // none: until the output dies away
    const std::atomic<bool>* cancel = nullptr; // set from outside to stop the render
    std::function<void(const RenderProgress&)> onProgress;
};

struct RenderResult {
    long long inputFrames = 0;
    long long outputFrames = 0;
    bool tailCut = false; // the automatic tail reached its limit while still sounding
    std::string error;
    bool ok() const { return error.empty(); }
};

// The most frames a render of source can write with the given tail; none when the
// source's length is not known.
std::optional<long long> maxOutputFrames(const AudioSource& source,
                                         std::optional<double> tailSeconds);

// The host must be configured for the source's sample rate and started. Reads the source
// in whole blocks of the host's block size, so the effect sees the same block boundaries
// as a host that plays input and tail as one stream.
RenderResult render(RenderHost& host, AudioSource& source, AudioSink& sink, const RenderPlan& plan);

} // namespace cli
