// SPDX-License-Identifier: GPL-3.0-or-later
// How the engine follows the host's processing state and sample rate: resume, suspend, the
// reset both share, and the buffers and coefficients that depend on the rate.
#include "engine/Drell.h"
#include "engine/SampleRates.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>

namespace {

constexpr VstInt32 kDefaultMeterLength = 1024;
constexpr VstInt32 kMaxMeterLength = 44100;

// A rate the engine cannot run (NaN included) counts as 44100 Hz.
float usableRate(float sr) noexcept {
    return samplerates::isSupported(sr) ? sr : static_cast<float>(samplerates::kFallbackHz);
}

} // namespace

void Drell::resume() {
    // Memories for a new sample rate are made before the lock is taken, so that the lock is
    // held only to swap them in; the old ones are freed after it is released.
    RateMemories memories;
    float wanted = dspRate;
    {
        std::lock_guard peek(engineLock); // the host may set the rate from another thread
        wanted = usableRate(getSampleRate());
    }
    if (wanted != dspRate) memories = RateMemories::forRate(wanted);
    std::lock_guard lock(engineLock);
    CPresetSystemEffect::resume();

    // The host's tempo, held to what the engine can follow.
    if (!hostIsAdapter) {
        if (const VstTimeInfo* info = getTimeInfo(kVstTempoValid)) {
            const double bpm = info->tempo;
            if (std::isfinite(bpm))
                takeTempo(static_cast<float>(
                    std::clamp<double>(bpm, temposync::kMinTempoBpm, temposync::kMaxTempoBpm)));
        }
    }

    const float asked = getSampleRate();
    const float sr = usableRate(asked);
    if (!samplerates::isSupported(asked) && !rateReported) {
        // Said once per instance: the host plays on, with the timing of the fallback rate.
        rateReported = true;
        std::fprintf(stderr,
                     "Tessel: a sample rate of %.0f Hz is not supported (%.0f to %.0f Hz);"
                     " running at %.0f Hz\n",
                     static_cast<double>(asked), samplerates::kMinHz, samplerates::kMaxHz,
                     samplerates::kFallbackHz);
    }
    if (sr != dspRate) setEngineRate(sr, memories);

    VstInt32 latency = getOutputLatency();
    if (latency < 1 || latency > kMaxMeterLength) latency = kDefaultMeterLength;
    if (latency != meterLen) setMeterLength(latency);

    // The memories are empty, so there is nothing to glide from. Hosts set their values
    // after switching the effect on too, so the first block settles once more.
    startClean();
    settleAtNextBlock = true;
    processingOn = true;
}

void Drell::suspend() {
    std::lock_guard lock(engineLock);
    processingOn = false;
    settleAtNextBlock = false;
    startClean();
}

void Drell::setSampleRate(float rate) {
    // The rebuild happens here, on the caller's thread and under the lock, never in a block.
    std::lock_guard lock(engineLock);
    CPresetSystemEffect::setSampleRate(rate);
    if (processingOn && usableRate(rate) != dspRate) {
        suspend();
        resume();
    }
}

void Drell::startClean() noexcept {
    settleSmoothedValues();
    // A fade in progress is cut short: the read positions take the present times at once.
    for (int s = 0; s < 2; ++s) {
        chain.fadeGain[s] = 1.0f;
        chain.dlyTimePending[s] = false;
        dlyTimeRequest[s] = false;
    }
    placeReadPositions();
    reset();
}

void Drell::settleStart() noexcept {
    settleAtNextBlock = false;
    startClean();
}

void Drell::settleDelayTimes() noexcept {
    for (int s = 0; s < 2; ++s)
        if (dlyTimeRequest[s].exchange(false))
            dlyLine[s].placeRead(dlyLine[s].offsetFor(dlyTimeMs[s], dspRate));
}

Drell::RateMemories Drell::RateMemories::forRate(float sr) {
    RateMemories m;
    for (auto& line : m.delay)
        line.assign(static_cast<std::size_t>(5 * static_cast<int>(sr) + 1), 0.0f);
    m.reverbPool = Reverb::poolFor(sr);
    return m;
}

void Drell::setEngineRate(float sr, RateMemories& memories) {
    dspRate = sr;
    dspRateInt = static_cast<int>(sr);
    fadeStep = static_cast<float>(std::pow(0.001, 10.0 / static_cast<double>(sr)));
    cutoffCeiling = sr / 2.75f;
    smoothPole = std::exp(-2.0f * std::numbers::pi_v<float> * 30.0f / sr);
    smoothGain = 1.0f - smoothPole;
    chain.antiAlias.design(sr);

    // The reverb memories and taps for the rate.
    reverb.allocate(sr, memories.reverbPool);
    setReverbType(params[kRvbType]);

    // Delay memories that hold 5000 ms; read positions for the present times.
    for (int s = 0; s < 2; ++s) {
        dlyLine[s].allocate(5 * dspRateInt + 1, memories.delay[s]);
        chain.dlyTimePending[s] = false;
        dlyTimeRequest[s] = false;
    }
    placeReadPositions();

    // Drive length, envelope follower and LFO increment follow the rate.
    avgLen = Drive::lengthForRate(dspRateInt);
    chain.drive.setLength(avgLen);
    setEnvelopeSpeed(params[kModEnvSpeed]);
    lfoInc = Modulation::phaseIncrement(lfoRateHz, sr);
    // The cutoff limit of half the rate moves with it.
    smoothTarget[sCutoff] = cutoffFor(params[kFltCutoff]);
}

void Drell::setMeterLength(int n) {
    meterLen = n;
    for (auto& ring : meterRing) ring = std::vector<float>(static_cast<std::size_t>(n), 0.0f);
    chain.meterPos = 0;
    meterStale = 0;
}

void Drell::placeReadPositions() noexcept {
    for (int s = 0; s < 2; ++s) dlyLine[s].placeRead(dlyLine[s].offsetFor(dlyTimeMs[s], dspRate));
}

void Drell::settleSmoothedValues() noexcept {
    for (int i = 0; i < kNumSmoothed; ++i) chain.smoothed[i] = smoothTarget[i];
}

void Drell::reset() noexcept {
    // Clears the sound; positions, fades, guards and working values stay. The memories are
    // cleared lazily: the delay lines and meter rings zero what each block is about to read
    // (prepareMemories), the reverb what its taps can reach. So a reset costs the same small
    // time at every rate, under the engine lock from resume and suspend, and on the audio
    // thread when a block restarts the sound after a fault.
    reverb.reset();
    chain.svf.reset();
    meterStale = meterLen;
    for (int s = 0; s < 2; ++s) {
        meterMin[s] = 0.0f;
        meterMax[s] = 0.0f;
        dlyLine[s].clear();
        chain.fbSignal[s] = 0.0f;
        chain.lastA[s] = 0.0f;
    }
    chain.drive.reset();
    chain.antiAlias.reset();
    chain.modulation.reset(lfoOffset);
}

void Drell::prepareMemories(int frames, bool clocked) noexcept {
    for (DelayLine& line : dlyLine) line.prepareBlock(frames, clocked);
    if (meterStale > 0) {
        // Each sample writes at meterPos, moves on and reads the next position: the block
        // reads up to frames positions past meterPos. Those not written since the reset are
        // zeroed first.
        const int count = std::min(frames + 1, meterStale);
        const int first = std::min(count, meterLen - chain.meterPos);
        for (auto& ring : meterRing) {
            std::fill_n(ring.begin() + chain.meterPos, first, 0.0f);
            std::fill_n(ring.begin(), count - first, 0.0f);
        }
        meterStale = std::max(0, meterStale - frames);
    }
}

bool Drell::chainIsFinite() const noexcept {
    // Every recursive state of the chain; the memories are covered by what they feed. x - x
    // is 0 for a finite x and NaN otherwise, so sums of these test many values at once: four
    // values per vector step, added in a tree held in registers, so that the additions do
    // not wait on one another and the test ends the block without a long chain of them.
    using Quad = float __attribute__((vector_size(16)));
    const auto zeroes = [](Quad q) { return q - q; };
    const auto at = [&zeroes](const float* p) {
        Quad q;
        std::memcpy(&q, p, sizeof q);
        return zeroes(q);
    };
    const ChainState& c = chain;
    const Modulation& m = c.modulation;
    const DelayLine& l0 = dlyLine[0];
    const DelayLine& l1 = dlyLine[1];
    const float* lp = reverb.rvbLp;
    const float* sm = c.smoothed;
    static_assert(kSmoothedLanes == 16);
    const float* aa = &c.antiAlias.aaState[0][0][0];
    static_assert(sizeof c.antiAlias.aaState == 16 * sizeof(float));
    const float* tone = &reverb.toneState[0][0];
    static_assert(sizeof reverb.toneState == 8 * sizeof(float));
    const Quad scalars = (zeroes(Quad{c.fbSignal[0], c.fbSignal[1], c.fadeGain[0], c.fadeGain[1]}) +
                          zeroes(Quad{l0.clkRate, l0.clkPhase, l1.clkRate, l1.clkPhase})) +
                         (zeroes(Quad{m.lfoPhase[0], m.lfoPhase[1], m.lfoOut[0], m.lfoOut[1]}) +
                          zeroes(Quad{m.envState[0], m.envState[1], m.envMod[0], m.envMod[1]}));
    const Quad moreScalars =
        (zeroes(Quad{m.vcoFactor[0], m.vcoFactor[1], c.drive.driveSum[0], c.drive.driveSum[1]}) +
         zeroes(Quad{m.lfoPhaseMaster, m.shAcc, m.fltFactor, lp[0]})) +
        (zeroes(Quad{lp[1], lp[2], lp[3], lp[4]}) + zeroes(Quad{lp[5], 0.0f, 0.0f, 0.0f}));
    const Quad smoothed = (at(sm) + at(sm + 4)) + (at(sm + 8) + at(sm + 12));
    const Quad antiAlias = (at(aa) + at(aa + 4)) + (at(aa + 8) + at(aa + 12));
    const Quad histories = (at(l0.inHist) + at(l0.outHist)) + (at(l1.inHist) + at(l1.outHist));
    const Quad tones = at(tone) + at(tone + 4);
    const Quad all = ((scalars + moreScalars) + (smoothed + antiAlias)) + (histories + tones);
    return (all[0] + all[1]) + (all[2] + all[3]) == 0.0f;
}
