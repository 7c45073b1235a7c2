// SPDX-License-Identifier: GPL-3.0-or-later
// Block processing: the prologue, the choice of the block's shape, the per-sample chain from
// input gain to output, and the epilogue. Runs under the engine lock; nothing here allocates
// or waits. What other threads write is read once per block, and setParameter's requests are
// taken at the block start. With the smoothers settled and no delay-time fade the block runs
// block-wise (StretchChain.cpp), silence costs next to nothing (Silence.cpp); other blocks,
// and every block while the reference switch is on, run the per-sample chain here.
#include "engine/ChainBlock.h"
#include "engine/DenormalGuard.h"
#include "engine/StateCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr double kMaxPosition = 1e7; // quarter notes: 58 days at 120 beats per minute

// Whether every sample of the outputs (a null one has none) is a finite number.
bool outputsAreFinite(float* const outputs[2], int frames) noexcept {
    const auto finite = [frames](const float* out) {
        return out == nullptr ||
               statecheck::allFinite(std::span<const float>(out, static_cast<std::size_t>(frames)));
    };
    return finite(outputs[0]) && finite(outputs[1]);
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
    // The drive's running sums lose their accumulated rounding error (and catch up on the
    // samples that ran with the drive off, which do not keep them).
    if (b.driveOn) chain.drive.rebuildSums();
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

    chain.meter.high[0] = chain.meter.high[1] = chain.meter.low[0] = chain.meter.low[1] = 0.0f;
    if (!reference && b.settled && !b.fading) {
        dispatchShape(b, [&]<bool Clocked, int Filter>() {
            runStretches<Clocked, Filter>(chain, b, frames);
        });
    } else {
        dispatchShape(
            b, [&]<bool Clocked, int Filter>() { runBlock<Clocked, Filter>(chain, b, 0, frames); });
    }
    ChainState& c = chain;
    // A filter that is off leaves the cutoff factor to the block's end.
    if (b.modOn && b.filter == kFilterOff)
        c.modulation.filterFactorAfterBlock(b.modulationFor(c.smoothed));
    inputMeter.joinBlock(c.meter);
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

template <typename Run>
void Drell::dispatchShape(const BlockSettings& b, Run&& run) noexcept {
    // Compiled once for each combination of the two choices that shape the chain most.
    const auto placed = [&]<int Filter>() {
        b.clocked ? run.template operator()<true, Filter>()
                  : run.template operator()<false, Filter>();
    };
    if (b.filter == kFilterIn) return placed.template operator()<kFilterIn>();
    if (b.filter == kFilterFb) return placed.template operator()<kFilterFb>();
    if (b.filter == kFilterFx) return placed.template operator()<kFilterFx>();
    placed.template operator()<kFilterOff>();
}

template <bool Clocked, int Filter>
void Drell::runBlock(ChainState& chainState, const BlockSettings& b, int first,
                     int frames) noexcept {
    const float* inL = blockIn[0];
    const float* inR = blockIn[1];
    float* const out[2] = {blockOut[0], blockOut[1]};
    // The chain's state and the lines' cursors in locals, which the stores to the memories
    // and outputs cannot reach: their recursions then stay in registers.
    ChainState c = chainState;
    DelayLine::Cursor line[2] = {dlyLine[0].cursor(), dlyLine[1].cursor()};
    AntiAliasFilter::Voice aa = c.antiAlias.voice(); // the clocked memory's low-pass
    Reverb::Voice rv;                                // the reverb's running state, while it runs
    if (b.reverbOn) rv = reverb.voice();
    constexpr int kChunk = DelayLine::kMaxStretch;
    alignas(16) float lfo[2][kChunk];
    if (!b.modOn) std::fill(&lfo[0][0], &lfo[0][0] + 2 * kChunk, 0.0f); // read, never used
    for (int done = 0; done < frames; done += kChunk) {
        const int n = std::min(kChunk, frames - done);
        // The LFO depends on time alone: its samples are made ahead, the wave chosen once.
        if (b.modOn) c.modulation.runLfoStretch(b.modulation, n, lfo[0], lfo[1]);
        for (int i = 0; i < n; ++i) {
            const int k = first + done + i;
            const Frame w = processSample<Clocked, Filter>(c, line, aa, rv, b, lfo[0][i], lfo[1][i],
                                                           inL[k], inR[k]);
            chainblock::putFrame(out, k, w.l, w.r);
        }
    }
    if constexpr (Clocked) c.antiAlias.take(aa);
    chainState = c;
    for (int s = 0; s < 2; ++s) dlyLine[s].take(line[s]);
    if (b.reverbOn) reverb.take(rv, frames);
}

// The per-sample shapes the block-wise chain falls back to for short delays.
#define TESSEL_PER_SAMPLE_CHAIN(filter)                                                            \
    template void Drell::runBlock<false, Drell::filter>(ChainState&, const BlockSettings&, int,    \
                                                        int) noexcept;                             \
    template void Drell::runBlock<true, Drell::filter>(ChainState&, const BlockSettings&, int,     \
                                                       int) noexcept;
TESSEL_PER_SAMPLE_CHAIN(kFilterOff)
TESSEL_PER_SAMPLE_CHAIN(kFilterIn)
TESSEL_PER_SAMPLE_CHAIN(kFilterFb)
TESSEL_PER_SAMPLE_CHAIN(kFilterFx)
#undef TESSEL_PER_SAMPLE_CHAIN

void Drell::beginBlock(float** inputs, float** outputs) noexcept {
    // Channels: a mono source feeds both sides; a missing right output gets the average.
    blockIn[0] = inputs != nullptr ? inputs[0] : nullptr;
    blockIn[1] = blockIn[0];
    if (inputs != nullptr && inputs[1] != nullptr && isInputConnected(1)) blockIn[1] = inputs[1];
    blockOut[0] = outputs != nullptr ? outputs[0] : nullptr;
    blockOut[1] = nullptr;
    if (outputs != nullptr && outputs[1] != nullptr && isOutputConnected(1))
        blockOut[1] = outputs[1];

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
    b.fading = c.fading();
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
TESSEL_PER_SAMPLE Drell::Frame Drell::processSample(ChainState& c, Lines& line,
                                                    AntiAliasFilter::Voice& aa, Reverb::Voice& rv,
                                                    const BlockSettings& b, float lfoL, float lfoR,
                                                    float inL, float inR) noexcept {
    // Alternating guards keep recursive states out of the denormal range.
    c.flipGuards();
    // Every smoothed pair glides towards its target.
    smoothParameters(c, b);
    const float* sm = c.smoothed;
    // Input gain, limited; the input meter, delayed by the host's output latency.
    const FloatPair gained =
        chainblock::gainedInput(FloatPair{inL, inR}, FloatPair{} + sm[sInGain]);
    float x[2] = {gained[0], gained[1]};
    inputMeter.take(c.meter, x[0], x[1]);
    // Filter coefficients, the "in" filter, the anti-alias low-pass and the feedback: what
    // enters the lines. x is the dry tap after it.
    float a[2];
    linesInput<Clocked, Filter>(c, aa, b, sm, x, a);
    // Modulation: envelope followers of what enters the lines, LFO, clock and cutoff factors.
    if (b.modOn)
        modulate(c, b, sm, a, lfoL, lfoR, Filter != kFilterOff);
    else
        c.modulation.neutralFactors();
    // Drive: magnitudes feed its running mean; gain applied when on.
    c.drive.process(a, sm[sDrive], b.driveOn);
    c.lastA[0] = a[0];
    c.lastA[1] = a[1];
    // Delay lines, plain or clocked by the VCO; the clocked writer interpolates the inputs'
    // history (the plain lines' history is taken from their memories after the block).
    float y[2];
    if constexpr (!Clocked) {
        for (int s = 0; s < 2; ++s) y[s] = line[s].processPlain(a[s]);
    } else {
        const float manual = b.manualRate(sm);
        for (int s = 0; s < 2; ++s) {
            shiftIn(line[s].inHist, a[s]);
            y[s] = line[s].processClocked(manual * c.modulation.vcoFactor[s]);
        }
    }
    // Delay-time fade: out, jump the read position, back in.
    if (b.fading)
        for (int s = 0; s < 2; ++s) y[s] = fadeDelayTime(c, line, s, y[s]);
    // Feedback and wet signal, through the filter in "fb" and "fx" modes, with polarity.
    float w[2];
    linesOutput<Filter>(c, b, y, w);
    // Mix, reverb, output gain.
    const float guard8 = c.guard8;
    const FloatPair out = chainblock::mixed(
        FloatPair{w[0], w[1]}, FloatPair{x[0], x[1]}, FloatPair{} + sm[sMix],
        FloatPair{} + sm[sOutGain], b.reverbOnOutput, [&](FloatPair v) TESSEL_PER_SAMPLE_LAMBDA {
            float r[2] = {v[0], v[1]};
            if (b.reverbOn) runReverb(rv, r, guard8, b.rvbAmt);
            return FloatPair{r[0], r[1]};
        });
    // Bypass: the raw input of this sample, where it is a number at all.
    if (b.bypass) {
        const FloatPair raw = chainblock::finiteOrZero(FloatPair{inL, inR});
        return {raw[0], raw[1]};
    }
    return {out[0], out[1]};
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

TESSEL_PER_SAMPLE void Drell::smoothParameters(ChainState& c, const BlockSettings& b) noexcept {
    // A 30 Hz one-pole per pair: current = pole * current + gain * target + guard; four
    // lanes per vector step.
    static_assert(kSmoothedLanes == 16);
    for (int first = 0; first < kSmoothedLanes; first += 4) {
        const chainblock::Quad current = stretchmath::loadQuad(c.smoothed + first);
        const chainblock::Quad glide = stretchmath::loadQuad(b.glide + first);
        stretchmath::storeQuad(c.smoothed + first, b.smoothPole * current + glide + c.guard10);
    }
}

TESSEL_PER_SAMPLE float Drell::fadeDelayTime(ChainState& c, Lines& line, int side,
                                             float y) noexcept {
    float& gain = c.fadeGain[side];
    if (c.dlyTimePending[side]) {
        gain *= fadeStep;
        if (gain <= 0.001f) {
            // Silent enough: the read position jumps to the new time.
            c.dlyTimePending[side] = false;
            DelayLine& memory = dlyLine[side];
            memory.take(line[side]);
            memory.placeRead(memory.offsetFor(dlyTimeMs[side], dspRate));
            line[side] = memory.cursor();
        }
    } else if (gain < 1.0f) {
        gain /= fadeStep;
        if (gain > 1.0f) gain = 1.0f;
    }
    return y * gain;
}
