// SPDX-License-Identifier: GPL-3.0-or-later
// Silence. Once the input has stayed quiet and every memory and state of the chain lies below
// -200 dBFS, a block outputs exact zeros and does only what moves with time: the smoothers'
// and guards' alternation, the LFO and the clock phases, the host's tempo and position. The
// memories and filters stay as they are (they hold nothing audible), so the first block with
// sound runs the chain from there at its ordinary cost, without a click.
//
// Whether the memories are quiet is learnt without scanning them: after each block with a
// quiet input the values it wrote are checked, and a memory counts as quiet once every
// position has been written quietly in a row (a delay line by its clock's ticks, the reverb
// one position per sample). Echoes that keep going (a feedback of 100 % and more, or a
// reverb tail) keep writing, and keep the chain running.
#include "engine/ChainBlock.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// -200 dBFS.
constexpr float kQuiet = 1e-10f;
// The reverb's input carries the chain's alternating guard of +-1e-8, which keeps its
// memories stirring at about -160 dBFS for good; they count as quiet below -120 dBFS.
constexpr float kReverbQuiet = 1e-6f;

using Quad = float __attribute__((vector_size(16)));

// Largest magnitude among values [0, n); NaN counts as loud.
float peak(const float* p, int n) noexcept {
    Quad high = {};
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        Quad v;
        std::memcpy(&v, p + i, sizeof v);
        v = v < 0.0f ? -v : v;
        high = v > high || v != v ? v : high;
    }
    float result = std::max({high[0], high[1], high[2], high[3]});
    for (; i < n; ++i) {
        const float v = std::fabs(p[i]);
        if (!(v <= result)) result = v;
    }
    return result != result ? 1.0f : result;
}

// Largest magnitude among count positions of a ring of length len from position from.
float ringPeak(const float* ring, int len, int from, int count) noexcept {
    const int first = std::min(count, len - from);
    return std::max(peak(ring + from, first), peak(ring, count - first));
}

} // namespace

Drell::QuietWatch Drell::watchQuiet() const noexcept {
    return {{dlyLine[0].writePosition(), dlyLine[1].writePosition()}, reverb.rvbWrite};
}

bool Drell::inputIsQuiet(int frames) const noexcept {
    // Each 64 samples (fewer at the end, in steps of 8) against the level: a block with sound
    // stops at its first loud stretch, mostly at its first sample. The bits of a stretch's
    // samples ORed together, signs aside, are no smaller than those of its largest magnitude,
    // so a stretch of exact zeros or of values far below the level passes on that alone;
    // others take their largest magnitude. (A sample that is not a number counts as the
    // silence the chain makes of it.)
    using Bits = std::uint32_t __attribute__((vector_size(16)));
    static constexpr std::uint32_t kQuietBits = std::bit_cast<std::uint32_t>(kQuiet);
    const auto quiet = [frames](const float* in) {
        if (std::fabs(in[0]) > kQuiet) return false;
        int i = 0;
        while (i + 8 <= frames) {
            const int end = std::min(frames, i + 64) & ~7;
            Bits any[2] = {};
            for (int j = i; j < end; j += 8) {
                for (int k = 0; k < 2; ++k) {
                    Bits v;
                    std::memcpy(&v, in + j + 4 * k, sizeof v);
                    any[k] |= v;
                }
            }
            const Bits both = (any[0] | any[1]) & 0x7FFFFFFFu;
            if ((both[0] | both[1] | both[2] | both[3]) <= kQuietBits) {
                i = end;
                continue;
            }
            Quad high[2] = {};
            for (; i < end; i += 8) {
                for (int k = 0; k < 2; ++k) {
                    Bits v;
                    std::memcpy(&v, in + i + 4 * k, sizeof v);
                    v &= 0x7FFFFFFFu;
                    Quad magnitude;
                    std::memcpy(&magnitude, &v, sizeof magnitude);
                    high[k] = magnitude > high[k] ? magnitude : high[k];
                }
            }
            const Quad top = high[0] > high[1] ? high[0] : high[1];
            if (std::max({top[0], top[1], top[2], top[3]}) > kQuiet) return false;
        }
        for (; i < frames; ++i)
            if (std::fabs(in[i]) > kQuiet) return false;
        return true;
    };
    return quiet(blockIn[0]) && (blockIn[1] == blockIn[0] || quiet(blockIn[1]));
}

void Drell::updateQuiet(const QuietWatch& before, const BlockSettings& b, bool inputQuiet,
                        int frames) noexcept {
    if (!inputQuiet) {
        quietInputFrames = 0;
        quietDelayWrites[0] = quietDelayWrites[1] = 0;
        quietReverbFrames = 0;
        return;
    }
    quietInputFrames += frames;
    // What each delay line wrote: its write position moved by one per tick (a block long
    // enough to wrap the memory has written all of it).
    for (int s = 0; s < 2; ++s) {
        const DelayLine& line = dlyLine[s];
        const long longest = static_cast<long>(frames) * (b.clocked ? 8 : 1);
        int written = line.writePosition() - before.delayWrite[s];
        if (written < 0) written += line.length();
        int from = before.delayWrite[s];
        if (longest >= line.length()) {
            written = line.length();
            from = 0;
        }
        if (ringPeak(line.memory(), line.length(), from, written) <= kQuiet)
            quietDelayWrites[s] += written;
        else
            quietDelayWrites[s] = 0;
    }
    // The reverb's write positions move by one per sample while it runs.
    if (b.reverbOn) {
        const int size = reverb.rvbMask + 1;
        const bool all = frames >= size;
        const int written = all ? size : frames;
        float high = 0.0f;
        const int from = all ? 0 : before.reverbWrite;
        // Lines the present type does not write hold nothing it reads.
        const int first = reverb.rvbType == Reverb::kPlate ? Reverb::kLineB : Reverb::kLineA;
        for (int k = first; k < Reverb::kLines; ++k)
            high = std::max(high, ringPeak(reverb.line(k), size, from, written));
        if (high <= kReverbQuiet)
            quietReverbFrames += written;
        else
            quietReverbFrames = 0;
    }
    const bool memoriesQuiet = quietInputFrames >= meterLen &&
                               quietDelayWrites[0] >= dlyLine[0].length() &&
                               quietDelayWrites[1] >= dlyLine[1].length() &&
                               (!b.reverbOn || quietReverbFrames > reverb.rvbMask);
    if (memoriesQuiet && b.settled && !chain.fading() && statesAreQuiet(b)) {
        silent = true;
        silentWithReverb = b.reverbOn;
    }
}

bool Drell::statesAreQuiet(const BlockSettings& b) const noexcept {
    // The chain's own carried values and every stage's states; the reverb's only while it
    // runs, against its own level.
    const ChainState& c = chain;
    const float high = std::max(
        {peak(c.fbSignal, 2), peak(c.lastA, 2), c.antiAlias.peak(), c.svf.peak(), c.drive.peak(),
         b.modOn ? c.modulation.envelopePeak() : 0.0f, dlyLine[0].peak(), dlyLine[1].peak()});
    if (!(high <= kQuiet)) return false;
    return !b.reverbOn || reverb.peak() <= kReverbQuiet;
}

void Drell::runSilentBlock(ChainState& c, const BlockSettings& b, int frames) noexcept {
    // Zeros out, or the raw input in bypass (quiet, though not necessarily zero).
    float* outL = blockOut[0];
    float* outR = blockOut[1];
    if (!b.bypass) {
        for (float* out : blockOut)
            if (out != nullptr)
                std::memset(out, 0, sizeof(float) * static_cast<std::size_t>(frames));
    } else {
        for (int i = 0; i < frames; ++i) {
            const FloatPair raw = chainblock::finiteOrZero(FloatPair{blockIn[0][i], blockIn[1][i]});
            if (outR != nullptr) {
                outL[i] = raw[0];
                outR[i] = raw[1];
            } else {
                outL[i] = chainblock::foldDown(raw[0], raw[1]);
            }
        }
    }

    // The guards and the settled smoothers alternate on.
    c.settleAfter(b.settledValues, 0, frames);
    // A new delay time jumps at once: the memory holds nothing to fade.
    for (int s = 0; s < 2; ++s) {
        if (!c.dlyTimePending[s]) continue;
        c.dlyTimePending[s] = false;
        dlyLine[s].placeRead(dlyLine[s].offsetFor(dlyTimeMs[s], dspRate));
    }
    // The LFO runs on in time; the last sample is a real one, which also sets the factors.
    if (b.modOn)
        c.modulation.skipSilence(frames, b.modulationFor(c.smoothed));
    else
        c.modulation.neutralFactors();
    // The clocks run on at their present rates; their memories hold nothing, so the write
    // and read positions may stay where they are.
    if (b.clocked) {
        const float manual = b.manualRate(c.smoothed);
        for (int s = 0; s < 2; ++s)
            dlyLine[s].runClockSilently(manual * c.modulation.vcoFactor[s], frames);
    }
}
