// SPDX-License-Identifier: GPL-3.0-or-later
// Block processing: the prologue, the choice of the block's shape, the per-sample chain from
// input gain to output, and the epilogue. Runs under the engine lock; nothing here allocates
// or waits.
//
// The switches, modes and coefficients that other threads write are read once per block, and
// requests from setParameter are taken at the block start. The common shapes run block-wise
// (BlockwiseChain.cpp) and silence costs next to nothing (Silence.cpp); every other block runs
// the per-sample chain, compiled once for each combination of the two choices that shape the
// chain most (VCO on or off, filter placement). The chain's state is copied whole into a local
// object for the block and back after it.
#include "engine/ChainBlock.h"
#include "engine/DenormalGuard.h"
#include "engine/Drell.h"
#include "engine/FastMath.h"
#include "engine/PerSample.h"
#include "engine/SidePair.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr double kMaxPosition = 1e7; // quarter notes: 58 days at 120 beats per minute

// Whether every sample of the outputs (a null one has none) is a finite number. x - x is NaN
// once x is not finite: sums of these, four sums of four side by side, so that the additions
// do not wait on one another.
bool outputsAreFinite(float* const outputs[2], int frames) noexcept {
    using Quad = float __attribute__((vector_size(16)));
    Quad sums[4] = {};
    float sum = 0.0f;
    for (int k = 0; k < 2; ++k) {
        const float* out = outputs[k];
        if (out == nullptr) continue;
        int i = 0;
        for (; i + 8 <= frames; i += 8) {
            Quad x, y;
            std::memcpy(&x, out + i, sizeof x);
            std::memcpy(&y, out + i + 4, sizeof y);
            sums[2 * k] += x - x;
            sums[2 * k + 1] += y - y;
        }
        for (; i < frames; ++i) sum += out[i] - out[i];
    }
    const Quad all = (sums[0] + sums[1]) + (sums[2] + sums[3]);
    return sum + ((all[0] + all[1]) + (all[2] + all[3])) == 0.0f;
}

} // namespace

void Drell::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) noexcept {
    std::lock_guard lock(engineLock);
    DenormalGuard denormals;
    // The first block after a resume starts at the values the host has set since, the
    // host's tempo included: nothing glides or fades into them.
    const bool starting = settleAtNextBlock;
    if (starting) settleStart();
    beginBlock(inputs, outputs);
    if (starting) settleDelayTimes();
    if (blockIn[0] == nullptr || blockOut[0] == nullptr || sampleFrames <= 0) return;
    const int frames = sampleFrames;
    const bool inputQuiet = inputIsQuiet(frames);

    // Requests from setParameter reach the state this thread owns.
    applyRequests(chain);
    const BlockSettings b = readBlockSettings(chain);
    const bool reference = referenceChain;
    // Silence goes on while the input stays quiet and nothing glides; a reverb switched on
    // meanwhile may still hold a tail, so it ends silence too.
    if (!reference && silent && inputQuiet && b.settled &&
        (b.reverbOn == silentWithReverb || !b.reverbOn)) {
        runSilentBlock(chain, b, frames);
        return;
    }
    silent = false;
    // Memories cleared since the last block are zeroed as far as this block reads them.
    prepareMemories(frames, b.clocked);
    const QuietWatch before = watchQuiet();

    if (!reference && isBlockWise(b)) {
        // The block-wise shapes keep their state in arrays, and work on the chain in place.
        for (int s = 0; s < 2; ++s) chain.meterHigh[s] = chain.meterLow[s] = 0.0f;
        if (b.clocked)
            runClockedBlock(chain, b, frames);
        else
            runPlainBlock(chain, b, frames);
    } else {
        ChainState c = chain;
        for (int s = 0; s < 2; ++s) c.meterHigh[s] = c.meterLow[s] = 0.0f;
        runChain(c, b, 0, frames);
        chain = c;
    }
    ChainState& c = chain;
    // A filter that is off leaves the cutoff factor to the block's end.
    if (b.modOn && b.filter == kFilterOff) {
        ModulationSettings m = b.modulation;
        m.modSource = c.smoothed[sModSource];
        m.fltModDepth = c.smoothed[sFltModDepth];
        c.modulation.filterFactorAfterBlock(m);
    }
    // The block's extremes join the meter's (the editor may have cleared it meanwhile).
    for (int s = 0; s < 2; ++s) {
        if (c.meterHigh[s] > meterMax[s]) meterMax[s] = c.meterHigh[s];
        if (c.meterLow[s] < meterMin[s]) meterMin[s] = c.meterLow[s];
    }
    if (!b.clocked) {
        // The clocked writer's input history, from what the plain lines wrote.
        for (DelayLine& line : dlyLine) line.takeInputsFromMemory(frames);
        // With the VCO off the anti-alias filter waits settled on the last input.
        chain.antiAlias.preset(chain.lastA);
    }
    // No value that is not a number reaches the host; should a state ever hold one, the
    // sound is cleared before the next block, as switching off and on would clear it.
    const bool faulty = !outputsAreFinite(blockOut, frames);
    if (faulty) {
        for (float* out : blockOut)
            for (int i = 0; out != nullptr && i < frames; ++i)
                if (!std::isfinite(out[i])) out[i] = 0.0f;
    }
    if (faulty || !chainIsFinite()) startClean();
    updateQuiet(before, b, inputQuiet, frames);
}

bool Drell::isBlockWise(const BlockSettings& b) noexcept {
    // With the modulation on, the clock may follow the LFO block-wise where the source is set
    // to the LFO (the envelopes' share of the clock is then next to nothing).
    const bool lfoOnly = b.modOn && b.clocked && b.modulation.lfoWave != 4 &&
                         std::fabs(b.settledValues[0][sModSource]) < 1e-8f &&
                         std::fabs(b.settledValues[1][sModSource]) < 1e-8f;
    return b.settled && !b.fading && b.filter == kFilterOff && !b.driveOn &&
           (!b.modOn || lfoOnly) && !b.reverbOn;
}

void Drell::runChain(ChainState& c, const BlockSettings& b, int first, int frames) noexcept {
    // Sample by sample, compiled once for each combination of the two choices that shape the
    // chain most (VCO, filter placement).
    switch (b.filter) {
    case kFilterIn:
        b.clocked ? runBlock<true, kFilterIn>(c, b, first, frames)
                  : runBlock<false, kFilterIn>(c, b, first, frames);
        break;
    case kFilterFb:
        b.clocked ? runBlock<true, kFilterFb>(c, b, first, frames)
                  : runBlock<false, kFilterFb>(c, b, first, frames);
        break;
    case kFilterFx:
        b.clocked ? runBlock<true, kFilterFx>(c, b, first, frames)
                  : runBlock<false, kFilterFx>(c, b, first, frames);
        break;
    default:
        b.clocked ? runBlock<true, kFilterOff>(c, b, first, frames)
                  : runBlock<false, kFilterOff>(c, b, first, frames);
        break;
    }
}

template <bool Clocked, int Filter>
void Drell::runBlock(ChainState& c, const BlockSettings& b, int first, int frames) noexcept {
    const float* inL = blockIn[0] + first;
    const float* inR = blockIn[1] + first;
    float* outL = blockOut[0] + first;
    float* outR = blockOut[1] != nullptr ? blockOut[1] + first : nullptr;
    // The chain's state in a local copy, which the stores to the memories and outputs cannot
    // reach: its recursions then stay in registers instead of going through memory.
    ChainState local = c;
    for (int i = 0; i < frames; ++i) {
        const Frame w = processSample<Clocked, Filter>(local, b, inL[i], inR[i]);
        if (outR != nullptr) {
            outL[i] = w.l;
            outR[i] = w.r;
        } else {
            outL[i] = 0.5f * w.r + 0.5f * w.l; // one output carries both sides
        }
    }
    c = local;
}

// The per-sample shapes the block-wise ones fall back to for short delays.
template void Drell::runBlock<false, Drell::kFilterOff>(ChainState&, const BlockSettings&, int,
                                                        int) noexcept;
template void Drell::runBlock<true, Drell::kFilterOff>(ChainState&, const BlockSettings&, int,
                                                       int) noexcept;

void Drell::beginBlock(float** inputs, float** outputs) noexcept {
    // Channels: a mono source feeds both sides; a missing right output gets the average.
    blockIn[0] = inputs != nullptr ? inputs[0] : nullptr;
    blockIn[1] = blockIn[0];
    if (inputs != nullptr && inputs[1] != nullptr && isInputConnected(1)) blockIn[1] = inputs[1];
    blockOut[0] = outputs != nullptr ? outputs[0] : nullptr;
    blockOut[1] = nullptr;
    if (outputs != nullptr && outputs[1] != nullptr && isOutputConnected(1))
        blockOut[1] = outputs[1];

    // The drive's running sums lose their accumulated rounding error.
    chain.drive.rebuildSums();

    // A host tempo inside the range the engine follows replaces the engine's.
    if (const VstTimeInfo* info = getTimeInfo(kVstTempoValid)) {
        const double bpm = info->tempo; // NaN fails the range test
        if (bpm >= temposync::kMinTempoBpm && bpm <= temposync::kMaxTempoBpm &&
            static_cast<float>(bpm) != tempo)
            takeTempo(static_cast<float>(bpm));
    }

    // The host's position in quarter notes times the random wave's re-trigger; positions
    // beyond any real song (or not numbers at all) count as no position.
    const VstTimeInfo* position = getTimeInfo(kVstPpqPosValid);
    const bool positionValid = position != nullptr && std::fabs(position->ppqPos) < kMaxPosition;
    const float ppq = positionValid ? static_cast<float>(position->ppqPos) : 0.0f;
    chain.modulation.prepareBlock(positionValid, ppq, lfoNumIdx, dspRateInt, tempo);

    const float nyquist = dspRate / 2.0f;
    if (chain.smoothed[sCutoff] > nyquist) chain.smoothed[sCutoff] = nyquist;
}

Drell::BlockSettings Drell::readBlockSettings(const ChainState& c) const noexcept {
    BlockSettings b;
    // Targets written since the last block start their glide now. Settled when two more
    // samples lead back to the values of the next one, bit for bit. The steps are those of
    // smoothStep, taken four lanes at a time in registers.
    using Lanes = float __attribute__((vector_size(16)));
    using Bits = std::uint32_t __attribute__((vector_size(16)));
    const auto target = [this](int i) {
        return i < kNumSmoothed ? static_cast<float>(smoothTarget[i]) : 0.0f;
    };
    const float pole = smoothPole;
    const float guard = c.guard10;
    Bits differ = {};
    for (int i = 0; i < kSmoothedLanes; i += 4) {
        const Lanes glide =
            smoothGain * Lanes{target(i), target(i + 1), target(i + 2), target(i + 3)};
        Lanes current;
        std::memcpy(&current, c.smoothed + i, sizeof current);
        const Lanes next = pole * current + glide + -guard;
        const Lanes after = pole * next + glide + guard;
        const Lanes again = pole * after + glide + -guard;
        std::memcpy(b.glide + i, &glide, sizeof glide);
        std::memcpy(b.settledValues[0] + i, &next, sizeof next);
        std::memcpy(b.settledValues[1] + i, &after, sizeof after);
        Bits x, y;
        std::memcpy(&x, &again, sizeof x);
        std::memcpy(&y, &next, sizeof y);
        differ |= x ^ y;
    }
    b.smoothPole = pole;
    b.settled = (differ[0] | differ[1] | differ[2] | differ[3]) == 0;
    b.clocked = vcoOn != 0;
    b.filter = fltOn == 0 ? kFilterOff : kFilterIn + fltMode;
    b.filterType = fltType;
    b.driveOn = drvOn != 0;
    b.modOn = modOn != 0;
    b.reverbOn = rvbOn != 0;
    b.reverbOnOutput = rvbMode == 1;
    b.bypass = bypass != 0;
    b.fading =
        c.dlyTimePending[0] || c.dlyTimePending[1] || c.fadeGain[0] < 1.0f || c.fadeGain[1] < 1.0f;
    for (int s = 0; s < 2; ++s) {
        b.fbSign[s] = fbSign[s];
        b.dlySign[s] = dlySign[s];
    }
    b.vcoManual = vcoManual;
    b.rvbAmt = rvbAmt;
    b.dspRate = dspRate;
    b.cutoffCeiling = cutoffCeiling;
    ModulationSettings& m = b.modulation;
    m.lfoWave = lfoWave;
    m.lfoInc = lfoInc;
    m.envPole = envPole;
    m.envGain = envGain;
    m.envSens = envSens;
    m.avgLen = avgLen;
    m.smoothPole = smoothPole;
    m.smoothGain = smoothGain;
    return b;
}

template <bool Clocked, int Filter>
TESSEL_PER_SAMPLE Drell::Frame Drell::processSample(ChainState& c, const BlockSettings& b,
                                                    float inL, float inR) noexcept {
    // Alternating guards keep recursive states out of the denormal range.
    c.guard8 = -c.guard8;
    c.guard10 = -c.guard10;
    // Every smoothed pair glides towards its target.
    smoothParameters(c, b);
    const float* sm = c.smoothed;
    // Input gain; a sample that is not a number (a host fault) counts as silence, so it
    // cannot lodge in the delay and reverb memories, and a huge one is limited.
    const FloatPair gained =
        chainblock::limitInput(sm[sInGain] * chainblock::finiteOrZero(inL, inR));
    float x[2] = {gained[0], gained[1]};
    // Input meter, delayed by the host's output latency.
    meterInput(c, x[0], x[1]);
    // Filter coefficients, and the filter before the delay in "in" mode.
    if constexpr (Filter != kFilterOff) {
        c.svf.updateCoefficients(sm[sCutoff], sm[sResonance], c.modulation.fltFactor, b.dspRate,
                                 b.cutoffCeiling);
        if constexpr (Filter == kFilterIn) c.svf.process(x, b.filterType);
    }
    // Dry tap, after the "in" filter.
    const float d[2] = {x[0], x[1]};
    // Anti-alias low-pass for the clocked memory.
    float a[2] = {x[0], x[1]};
    if constexpr (Clocked) c.antiAlias.process(a);
    // Feedback, split between the lines by each line's pan.
    crossPanFeedback(c, a);
    // Drive: magnitudes feed its running mean; gain applied when on.
    const float magnitude[2] = {std::fabs(a[0]), std::fabs(a[1])};
    c.drive.process(a, sm[sDrive], b.driveOn);
    // Modulation: envelope followers, LFO, clock and cutoff factors.
    ModulationSettings m = b.modulation;
    m.modSource = sm[sModSource];
    m.fltModDepth = sm[sFltModDepth];
    m.vcoMod = sm[sVcoMod];
    c.modulation.process(magnitude, b.modOn, m, Filter != kFilterOff);
    c.lastA[0] = a[0];
    c.lastA[1] = a[1];
    // Delay lines, plain or clocked by the VCO; the clocked writer interpolates the inputs'
    // history (the plain lines' history is taken from their memories after the block).
    float y[2];
    if constexpr (!Clocked) {
        y[0] = dlyLine[0].processPlain(a[0]);
        y[1] = dlyLine[1].processPlain(a[1]);
    } else {
        for (int s = 0; s < 2; ++s) dlyLine[s].pushInput(a[s]);
        // Our own 2^x: as exact as the C library's, and the same on every processor.
        const float manual = fastmath::exp2((1.0f - sm[sVcoMod]) * b.vcoManual);
        for (int s = 0; s < 2; ++s)
            y[s] = dlyLine[s].processClocked(manual * c.modulation.vcoFactor[s]);
    }
    // Delay-time fade: out, jump the read position, back in.
    if (b.fading)
        for (int s = 0; s < 2; ++s) y[s] = fadeDelayTime(c, s, y[s]);
    // Feedback and wet signal, through the filter in "fb" and "fx" modes, with polarity.
    float w[2];
    if constexpr (Filter == kFilterFb || Filter == kFilterFx) {
        float z[2] = {y[0], y[1]};
        c.svf.process(z, b.filterType);
        const float* fed = Filter == kFilterFb ? z : y;
        for (int s = 0; s < 2; ++s) {
            c.fbSignal[s] = fed[s] * b.fbSign[s];
            w[s] = z[s] * b.dlySign[s];
        }
    } else {
        for (int s = 0; s < 2; ++s) {
            c.fbSignal[s] = y[s] * b.fbSign[s];
            w[s] = y[s] * b.dlySign[s];
        }
    }
    // Hard limit of the loop to +-1 while the drive does not limit it.
    if (!b.driveOn) {
        for (float& f : c.fbSignal)
            if (std::fabs(f) > 1.0f) f /= std::fabs(f);
    }
    // Mix; with the reverb on the output the dry signal joins before it.
    const float wet = sm[sMix];
    const float dry = 1.0f - wet;
    w[0] *= wet;
    w[1] *= wet;
    if (b.reverbOnOutput) {
        w[0] += dry * d[0];
        w[1] += dry * d[1];
    }
    // Reverb.
    if (b.reverbOn) {
        w[0] = c.guard8 + w[0];
        w[1] = c.guard8 + w[1];
        reverb.process(w, b.rvbAmt);
    }
    // With the reverb on the delay signal only, the dry signal joins after it.
    if (!b.reverbOnOutput) {
        w[0] += dry * d[0];
        w[1] += dry * d[1];
    }
    // Output gain.
    w[0] *= sm[sOutGain];
    w[1] *= sm[sOutGain];
    // Bypass: the raw input of this sample, where it is a number at all.
    if (b.bypass) {
        const FloatPair raw = chainblock::finiteOrZero(inL, inR);
        return {raw[0], raw[1]};
    }
    return {w[0], w[1]};
}

void Drell::applyRequests(ChainState& c) noexcept {
    for (int s = 0; s < 2; ++s)
        if (dlyTimeRequest[s].load() && dlyTimeRequest[s].exchange(false))
            c.dlyTimePending[s] = true;
    if (lfoRestartRequest.load() && lfoRestartRequest.exchange(false))
        c.modulation.restartLfo(lfoOffset);
    if (lfoPlaceRequest.load() && lfoPlaceRequest.exchange(false))
        c.modulation.placeSides(lfoOffset);
}

TESSEL_PER_SAMPLE void Drell::smoothStep(float smoothed[kSmoothedLanes], float guard10,
                                         const BlockSettings& b) noexcept {
    // A 30 Hz one-pole per pair: current = pole * current + gain * target + guard; four
    // lanes per vector step, the steps written out.
    using Lanes = float __attribute__((vector_size(16)));
    static_assert(kSmoothedLanes == 16);
    const auto step = [smoothed, guard10, &b](int first) {
        Lanes current, glide;
        std::memcpy(&current, smoothed + first, sizeof current);
        std::memcpy(&glide, b.glide + first, sizeof glide);
        current = b.smoothPole * current + glide + guard10;
        std::memcpy(smoothed + first, &current, sizeof current);
    };
    step(0);
    step(4);
    step(8);
    step(12);
}

TESSEL_PER_SAMPLE void Drell::smoothParameters(ChainState& c, const BlockSettings& b) noexcept {
    smoothStep(c.smoothed, c.guard10, b);
}

TESSEL_PER_SAMPLE void Drell::crossPanFeedback(const ChainState& c, float a[2]) noexcept {
    const float* sm = c.smoothed;
    const FloatPair f = chainblock::flushedProduct(c.fbSignal, sm[sFbGainL], sm[sFbGainR]);
    const float fL = f[0], fR = f[1];
    // Each pan sends its line's share to the right; the rest of the sum goes left.
    const float toRight = fL * sm[sFbPanL] + fR * sm[sFbPanR];
    a[1] = a[1] + toRight;
    a[0] = a[0] + ((fR + fL) - toRight);
}

TESSEL_PER_SAMPLE float Drell::fadeDelayTime(ChainState& c, int side, float y) noexcept {
    float& gain = c.fadeGain[side];
    if (c.dlyTimePending[side]) {
        gain *= fadeStep;
        if (gain <= 0.001f) {
            // Silent enough: the read position jumps to the new time.
            c.dlyTimePending[side] = false;
            DelayLine& line = dlyLine[side];
            line.placeRead(line.offsetFor(dlyTimeMs[side], dspRate));
        }
    } else if (gain < 1.0f) {
        gain /= fadeStep;
        if (gain > 1.0f) gain = 1.0f;
    }
    return y * gain;
}

void Drell::readInputPeaks(float* peakL, float* peakR) {
    float* peaks[2] = {peakL, peakR};
    for (int s = 0; s < 2; ++s) {
        const float low = -meterMin[s];
        const float high = meterMax[s];
        if (peaks[s] != nullptr) *peaks[s] = low > high ? low : high;
        meterMin[s] = 0.0f;
        meterMax[s] = 0.0f;
    }
}
