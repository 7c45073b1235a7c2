#include "cli/Renderer.h"

#include "cli/RenderHost.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace cli {

namespace {

// Frames handed to the host at a time: whole blocks, at least a few thousand frames, so
// that tiny block sizes do not mean tiny file reads.
long long chunkFrames(int blockSize) {
    const long long block = std::max(1, blockSize);
    return std::max<long long>(1, 4096 / block) * block;
}

// Fills up to `frames` frames from the source; fewer only at its end.
long long readFully(AudioSource& source, float* left, float* right, long long frames,
                    std::string& error) {
    long long total = 0;
    while (total < frames) {
        long long n = source.read(left + total, right + total, frames - total, error);
        if (n < 0) return -1;
        if (n == 0) break;
        total += n;
    }
    return total;
}

} // namespace

std::optional<long long> maxOutputFrames(const AudioSource& source,
                                         std::optional<double> tailSeconds) {
    std::optional<long long> input = source.totalFrames();
    if (!input) return std::nullopt;
    return *input + std::llround(tailSeconds.value_or(kMaxAutoTailSeconds) * source.sampleRate());
}

RenderResult render(RenderHost& host, AudioSource& source, AudioSink& sink,
                    const RenderPlan& plan) {
    RenderResult result;
    const double rate = source.sampleRate();
    const long long chunk = chunkFrames(host.blockSize());
    const float quietLevel = static_cast<float>(std::pow(10.0, kQuietDbfs / 20.0));
    const auto quietFrames = static_cast<long long>(std::llround(kQuietSeconds * rate));
    const auto tailFrames =
        static_cast<long long>(std::llround(plan.tailSeconds.value_or(kMaxAutoTailSeconds) * rate));
    const bool autoTail = !plan.tailSeconds;
    const bool mono = source.channels() == 1;
    host.setMonoInput(mono);

    std::vector<float> inL(static_cast<std::size_t>(chunk)), inR(inL.size());
    std::vector<float> outL(inL.size()), outR(inL.size());
    bool inputEnded = false;
    long long quietRun = 0;

    for (;;) {
        if (plan.cancel != nullptr && plan.cancel->load()) {
            result.error = "interrupted";
            return result;
        }
        long long got = 0;
        if (!inputEnded) {
            got = readFully(source, inL.data(), inR.data(), chunk, result.error);
            if (got < 0) return result;
            result.inputFrames += got;
            inputEnded = got < chunk;
        }
        // After the input: silence, for as long as the tail lasts.
        std::fill(inL.begin() + got, inL.end(), 0.0f);
        std::fill(inR.begin() + got, inR.end(), 0.0f);

        const long long end = result.inputFrames + (inputEnded ? tailFrames : chunk);
        const long long frames = std::min(chunk, end - result.outputFrames);
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
        if (!sink.write(outL.data(), outR.data(), keep, result.error)) return result;
        result.outputFrames += keep;

        if (plan.onProgress) {
            RenderProgress progress;
            progress.secondsDone = static_cast<double>(result.outputFrames) / rate;
            progress.inTail = inputEnded;
            std::optional<long long> total = source.totalFrames();
            if (inputEnded && !autoTail)
                progress.secondsTotal = static_cast<double>(result.inputFrames + tailFrames) / rate;
            else if (!inputEnded && total)
                progress.secondsTotal =
                    static_cast<double>(*total + (autoTail ? 0 : tailFrames)) / rate;
            plan.onProgress(progress);
        }
        if (quietEnough) break;
        if (inputEnded && result.outputFrames >= result.inputFrames + tailFrames) {
            result.tailCut = autoTail;
            break;
        }
    }
    return result;
}

} // namespace cli
