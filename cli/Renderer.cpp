// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Renderer.h"

#include "cli/RenderHost.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace cli {

namespace {

// Frames handed to the host at a time: whole blocks, at least a few thousand frames, so
// that tiny block sizes do not mean tiny file reads.
long long chunkFrames(int blockSize) {
    const long long block = std::max(1, blockSize);
    return std::max<long long>(1, 4096 / block) * block;
}

// Fills up to `frames` frames from the source; fewer at its end or when a read fails
// (then with the reason in error).
long long readFully(AudioSource& source, float* left, float* right, long long frames,
                    std::string& error) {
    long long total = 0;
    while (total < frames) {
        long long n = source.read(left + total, right + total, frames - total, error);
        if (n <= 0) break;
        total += n;
    }
    return total;
}

// Writes to the sink and keeps count of what went beyond full scale.
class CountingWriter {
public:
    CountingWriter(AudioSink& sink, RenderResult& result) : sink(sink), result(result) {}
    bool write(const float* left, const float* right, long long frames) {
        for (long long i = 0; i < frames; ++i)
            for (float sample : {left[i], right[i]}) {
                const float magnitude = std::fabs(sample);
                result.peak = std::max(result.peak, magnitude);
                if (magnitude > 1.0f) ++result.overs;
            }
        if (!sink.write(left, right, frames, result.error)) return false;
        result.outputFrames += frames;
        return true;
    }

private:
    AudioSink& sink;
    RenderResult& result;
};

} // namespace

double tailFadeGain(long long i, long long n) {
    if (n <= 0) return 1.0;
    return 0.5 *
           (1.0 + std::cos(std::numbers::pi * static_cast<double>(i + 1) / static_cast<double>(n)));
}

std::optional<long long> maxOutputFrames(const AudioSource& source, const RenderPlan& plan) {
    std::optional<long long> input = source.totalFrames();
    if (!input) return std::nullopt;
    return *input +
           std::llround(plan.tailSeconds.value_or(plan.autoLimitSeconds) * source.sampleRate());
}

RenderResult render(RenderHost& host, AudioSource& source, AudioSink& sink,
                    const RenderPlan& plan) {
    RenderResult result;
    CountingWriter out(sink, result);
    const double rate = source.sampleRate();
    const long long chunk = chunkFrames(host.blockSize());
    const float quietLevel = static_cast<float>(std::pow(10.0, kQuietDbfs / 20.0));
    const bool autoTail = !plan.tailSeconds;
    const auto quietFrames = std::max<long long>(1, std::llround(plan.quietSeconds * rate));
    const auto tailFrames = std::max<long long>(
        0, std::llround(plan.tailSeconds.value_or(plan.autoLimitSeconds) * rate));
    const long long fadeFrames = std::min(std::llround(kTailFadeSeconds * rate), tailFrames);
    const bool mono = source.channels() == 1;
    host.setMonoInput(mono);

    std::vector<float> inL(static_cast<std::size_t>(chunk)), inR(inL.size());
    std::vector<float> outL(inL.size()), outR(inL.size());
    // The tail's last frames wait here until it is clear whether they must fade.
    std::vector<float> heldL, heldR;
    bool inputEnded = false;
    long long processed = 0, quietRun = 0;

    for (;;) {
        if (plan.cancel != nullptr && plan.cancel->load()) {
            result.error = "interrupted";
            return result;
        }
        long long got = 0;
        if (!inputEnded) {
            std::string readError;
            got = readFully(source, inL.data(), inR.data(), chunk, readError);
            result.inputFrames += got;
            inputEnded = got < chunk;
            if (!readError.empty()) {
                // Nothing readable at all is a failure; a file that breaks off later is
                // rendered as far as it goes, with a warning.
                if (result.inputFrames == 0) {
                    result.error = readError;
                    return result;
                }
                result.inputProblem = readError;
            }
            if (inputEnded) {
                std::optional<long long> promised = source.promisedFrames();
                if (!promised) promised = source.totalFrames();
                if (promised && *promised > result.inputFrames)
                    result.promisedInputFrames = promised;
            }
        }
        // After the input: silence, for as long as the tail lasts.
        std::fill(inL.begin() + got, inL.end(), 0.0f);
        std::fill(inR.begin() + got, inR.end(), 0.0f);

        const long long end = result.inputFrames + (inputEnded ? tailFrames : chunk);
        const long long frames = std::min(chunk, end - processed);
        if (frames <= 0) break;
        host.process(inL.data(), mono ? nullptr : inR.data(), outL.data(), outR.data(), frames);

        // Where the automatic tail stops: after the input, once the output has been quiet
        // for long enough.
        long long keep = frames;
        bool quietEnough = false;
        if (autoTail) {
            for (long long i = got; i < frames; ++i) {
                bool quiet = std::fabs(outL[static_cast<std::size_t>(i)]) < quietLevel &&
                             std::fabs(outR[static_cast<std::size_t>(i)]) < quietLevel;
                quietRun = quiet ? quietRun + 1 : 0;
                if (quietRun >= quietFrames) {
                    keep = i + 1;
                    quietEnough = true;
                    break;
                }
            }
        }
        // Frames before the fade window go out now; those inside it are held.
        const long long fadeStart = inputEnded ? end - fadeFrames : end;
        const long long now = std::clamp(fadeStart - processed, 0LL, keep);
        if (!out.write(outL.data(), outR.data(), now)) return result;
        heldL.insert(heldL.end(), outL.begin() + now, outL.begin() + keep);
        heldR.insert(heldR.end(), outR.begin() + now, outR.begin() + keep);
        processed += keep;

        if (plan.onProgress) {
            RenderProgress progress;
            progress.secondsDone = static_cast<double>(processed) / rate;
            progress.inTail = inputEnded;
            std::optional<long long> total = source.totalFrames();
            if (inputEnded && !autoTail)
                progress.secondsTotal = static_cast<double>(result.inputFrames + tailFrames) / rate;
            else if (!inputEnded && total)
                progress.secondsTotal =
                    static_cast<double>(*total + (autoTail ? 0 : tailFrames)) / rate;
            plan.onProgress(progress);
        }
        if (quietEnough || (inputEnded && processed >= result.inputFrames + tailFrames)) {
            // Cut while still sounding: the held frames fade out.
            auto loud = [&](float s) { return std::fabs(s) >= quietLevel; };
            const bool sounding = !quietEnough && (std::any_of(heldL.begin(), heldL.end(), loud) ||
                                                   std::any_of(heldR.begin(), heldR.end(), loud));
            if (sounding) {
                const auto n = static_cast<long long>(heldL.size());
                for (long long i = 0; i < n; ++i) {
                    const auto gain = static_cast<float>(tailFadeGain(i, n));
                    heldL[static_cast<std::size_t>(i)] *= gain;
                    heldR[static_cast<std::size_t>(i)] *= gain;
                }
                result.tailFaded = true;
            }
            if (!out.write(heldL.data(), heldR.data(), static_cast<long long>(heldL.size())))
                return result;
            break;
        }
    }
    return result;
}

} // namespace cli
