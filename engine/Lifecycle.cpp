// How the engine follows the host's processing state and sample rate: resume, suspend, the
// reset both share, and the buffers and coefficients that depend on the rate.
#include "engine/Drell.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr float kMinRate = 4096.0f;
constexpr float kMaxRate = 200000.0f;
constexpr float kDefaultRate = 44100.0f;
constexpr VstInt32 kDefaultMeterLength = 1024;
constexpr VstInt32 kMaxMeterLength = 44100;

} // namespace

void Drell::resume() {
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

    // A rate the engine cannot run (NaN included) counts as 44100 Hz.
    float sr = getSampleRate();
    if (!(sr >= kMinRate && sr <= kMaxRate)) sr = kDefaultRate;
    if (sr != dspRate) setEngineRate(sr);

    VstInt32 latency = getOutputLatency();
    if (latency < 1 || latency > kMaxMeterLength) latency = kDefaultMeterLength;
    if (latency != meterLen) setMeterLength(latency);

    reset();
}

void Drell::suspend() {
    std::lock_guard lock(engineLock);
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

void Drell::setEngineRate(float sr) {
    dspRate = sr;
    dspRateInt = static_cast<int>(sr);
    fadeStep = static_cast<float>(std::pow(0.001, 10.0 / static_cast<double>(sr)));
    cutoffCeiling = sr / 2.75f;
    smoothPole = std::exp(-2.0f * std::numbers::pi_v<float> * 30.0f / sr);
    smoothGain = 1.0f - smoothPole;
    chain.antiAlias.design(sr);

    // The reverb memories and taps for the rate.
    reverb.allocate(sr);
    setReverbType(params[kRvbType]);

    // Delay memories that hold 5000 ms; read positions for the present times.
    for (int s = 0; s < 2; ++s) {
        dlyLine[s].allocate(5 * dspRateInt + 1);
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
}

void Drell::placeReadPositions() noexcept {
    for (int s = 0; s < 2; ++s) dlyLine[s].placeRead(dlyLine[s].offsetFor(dlyTimeMs[s], dspRate));
}

void Drell::settleSmoothedValues() noexcept {
    for (int i = 0; i < kNumSmoothed; ++i) chain.smoothed[i] = smoothTarget[i];
}

void Drell::reset() noexcept {
    // Clears the sound; positions, fades, guards and working values stay.
    reverb.reset();
    chain.svf.reset();
    for (auto& ring : meterRing)
        for (float& x : ring) x = 0.0f;
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
