// SPDX-License-Identifier: GPL-3.0-or-later
// How the engine follows the host's processing state and sample rate: resume, suspend, the
// reset both share, and the buffers and coefficients that depend on the rate.
#include "engine/Drell.h"
#include "engine/SampleRates.h"
#include "engine/StateCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <span>

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
    if (latency != inputMeter.length()) setMeterLength(latency);

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
    inputMeter.setLength(n);
    chain.meter = {};
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
    inputMeter.clear();
    inputMeter.clearPeaks();
    for (int s = 0; s < 2; ++s) {
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
    inputMeter.prepareBlock(chain.meter, frames);
}

bool Drell::chainIsFinite() const noexcept {
    // Every recursive state of the chain, each stage answering for its own; the memories are
    // covered by what they feed.
    return chain.isFinite() && dlyLine[0].isFinite() && dlyLine[1].isFinite() && reverb.isFinite();
}

bool Drell::ChainState::isFinite() const noexcept {
    return statecheck::allFinite(smoothed, fbSignal, fadeGain, lastA) && svf.isFinite() &&
           antiAlias.isFinite() && drive.isFinite() && modulation.isFinite();
}

void Drell::ChainState::settleAfter(const float (&settledValues)[2][kSmoothedLanes], int first,
                                    int n) noexcept {
    std::memcpy(smoothed, settledValues[(first + n - 1) & 1], sizeof smoothed);
    if ((n & 1) != 0) flipGuards();
}

void Drell::readInputPeaks(float* peakL, float* peakR) {
    inputMeter.takePeaks(peakL, peakR);
}
