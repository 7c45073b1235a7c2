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
#include "engine/StateCheck.h"

#include <algorithm>
#include <cstring>

namespace {

// -200 dBFS.
constexpr float kQuiet = 1e-10f;
// The reverb's input carries the chain's alternating guard of +-1e-8, which keeps its
// memories stirring at about -160 dBFS for good; they count as quiet below -120 dBFS.
constexpr float kReverbQuiet = 1e-6f;

} // namespace

Drell::QuietWatch Drell::watchQuiet() const noexcept {
    return {{dlyLine[0].writePosition(), dlyLine[1].writePosition()}, reverb.rvbWrite};
}

bool Drell::inputIsQuiet(int frames) const noexcept {
    const auto quiet = [frames](const float* in) {
        return statecheck::isQuiet({in, static_cast<std::size_t>(frames)}, kQuiet);
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
        if (statecheck::ringPeak(line.memory(), line.length(), from, written) <= kQuiet)
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
            high = std::max(high, statecheck::ringPeak(reverb.line(k), size, from, written));
        if (high <= kReverbQuiet)
            quietReverbFrames += written;
        else
            quietReverbFrames = 0;
    }
    const bool memoriesQuiet = quietInputFrames >= inputMeter.length() &&
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
    const float high =
        std::max({statecheck::peak(c.fbSignal), statecheck::peak(c.lastA), c.antiAlias.peak(),
                  c.svf.peak(), c.drive.peak(), b.modOn ? c.modulation.envelopePeak() : 0.0f,
                  dlyLine[0].peak(), dlyLine[1].peak()});
    if (!(high <= kQuiet)) return false;
    return !b.reverbOn || reverb.peak() <= kReverbQuiet;
}

void Drell::runSilentBlock(ChainState& c, const BlockSettings& b, int frames) noexcept {
    // Zeros out, or the raw input in bypass (quiet, though not necessarily zero).
    if (!b.bypass) {
        for (float* out : blockOut)
            if (out != nullptr)
                std::memset(out, 0, sizeof(float) * static_cast<std::size_t>(frames));
    } else {
        for (int i = 0; i < frames; ++i) {
            const FloatPair raw = chainblock::finiteOrZero(FloatPair{blockIn[0][i], blockIn[1][i]});
            chainblock::putFrame(blockOut, i, raw[0], raw[1]);
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
