// SPDX-License-Identifier: GPL-3.0-or-later
// Modulation sources: a stereo LFO with five waves and two envelope followers, blended into
// the clock factors of the two delay lines and the cutoff factor of the filter.
// State is owned by the audio thread; the effect passes the working values in per sample.
#pragma once

#include "engine/FastMath.h"
#include "engine/PerSample.h"
#include "engine/SidePair.h"

#include <cstdint>
#include <numbers>

// Working values the modulation reads every sample (set by the effect's parameter mapping).
struct ModulationSettings {
    int lfoWave = 0;          // 0 sine, 1 square, 2 triangle, 3 saw, 4 random
    float lfoInc = 0.0f;      // radians per sample
    float modSource = 1.0f;   // 0 LFO only .. 1 envelope only
    float fltModDepth = 0.0f; // -1..1
    float vcoMod = 0.0f;      // -1..1
    float envPole = 0.0f;
    float envGain = 0.0f;
    float envSens = 1.0f;
    int avgLen = 4;
    float smoothPole = 0.0f;
    float smoothGain = 1.0f;
};

// What moves a delay line's clock, from the LFO's share of the sources and the envelope's
// output, in any lane type: the clock path counts the envelope 1/avgLen as much as the filter
// path, and the sum is held to 1 before it scales the depth of the clock factor.
template <typename T>
TESSEL_PER_SAMPLE T clockArgument(T lfoPart, T envMod, float avgLen) noexcept {
    const T m = lfoPart + envMod / avgLen;
    return m > 1.0f ? T{} + 1.0f : m;
}
template <typename T>
TESSEL_PER_SAMPLE T clockFactorOf(T argument, T vcoMod) noexcept {
    return fastmath::exp2(argument * vcoMod);
}

class Modulation {
public:
    static constexpr float kPi = 3.14159265358979f;
    static constexpr float kHalfPi = 1.57079632679490f;
    static constexpr std::uint32_t kRandomSeed = 1;

    Modulation() noexcept;

    // The LFO's phase step in radians per sample at hz: 2 pi hz / rate, in double precision.
    static float phaseIncrement(float hz, float rate) noexcept {
        return static_cast<float>(2.0 * std::numbers::pi * static_cast<double>(hz) /
                                  static_cast<double>(rate));
    }

    // A phase advanced steps times by inc and wrapped, as sample by sample (the same bits),
    // mostly in a few steps.
    static float advancePhaseBy(float p, float inc, long steps) noexcept;

    // Clears outputs and followers; master phase 0, sides at -/+ lfoOffset.
    void reset(float lfoOffset) noexcept;
    // A wave change restarts the LFO: master 0, sides at -/+ lfoOffset (wrapped).
    void restartLfo(float lfoOffset) noexcept;
    // An offset change places the sides around the running master phase (wrapped).
    void placeSides(float lfoOffset) noexcept;
    // Block prologue: samples until the random wave's next re-trigger on the host's grid.
    void prepareBlock(bool positionValid, float ppqPos, int lfoNumIdx, int dspRateInt,
                      float tempo) noexcept;
    // One sample when modOn: follows the envelopes of mag[0], mag[1], runs the LFO and
    // produces vcoFactor, and fltFactor when filterReads (otherwise the block's last sample
    // leaves it to filterFactorAfterBlock). With modOn false nothing reads the envelopes, so
    // they hold, and the factors are 1.
    inline void process(const float mag[2], bool modOn, const ModulationSettings& s,
                        bool filterReads = true) noexcept;
    // The same sample with the LFO's outputs made beforehand (runLfoStretch), the modulation
    // on.
    inline void processWithLfo(const float mag[2], const ModulationSettings& s, float lfoL,
                               float lfoR, bool filterReads) noexcept;
    // Neutral factors: 1 moves neither the clock nor the cutoff (the modulation is off).
    void neutralFactors() noexcept { vcoFactor[0] = vcoFactor[1] = fltFactor = 1.0f; }
    // Whether every state is a number, and the followers' largest magnitude.
    bool isFinite() const noexcept;
    float envelopePeak() const noexcept;
    // The LFO's next n samples of each side into left and right, the wave chosen once, for
    // a block whose clock follows the LFO alone (the source set to the LFO): the caller
    // makes the clock factors from them, as clockFactors would. followOnly runs separately.
    inline void runLfoStretch(const ModulationSettings& s, int n, float* left,
                              float* right) noexcept;
    // What moves one delay line's clock over n samples (the argument of clockFactors'
    // 2^x before the depth scales it), four samples at a time: from the LFO's samples and
    // the envelope's output of each sample, or one held. even and odd are the settings of
    // the stretch's even and odd samples.
    static void clockArguments(const ModulationSettings& even, const ModulationSettings& odd,
                               float heldEnv, const float* env, const float* lfo, int n,
                               float* argument) noexcept;
    // vcoFactor from the LFO's and envelopes' outputs; returns the LFO's share.
    inline FloatPair clockFactors(const ModulationSettings& s) noexcept;
    // The envelope followers' sample alone.
    void followOnly(const float mag[2], const ModulationSettings& s) noexcept {
        followEnvelopes(mag, s);
    }
    // frames samples of silence at once: the followers have decayed to nothing, the LFO's
    // phases advance by the frames' sum (the smoothed waves settled on where they are now),
    // a re-trigger due meanwhile comes with the last sample, which runs as an ordinary one
    // and sets the factors.
    void skipSilence(int frames, const ModulationSettings& s) noexcept;
    // The cutoff factor from the sources' present state, as the last sample would have made
    // it: run after a block in which the filter was off.
    void filterFactorAfterBlock(const ModulationSettings& s) noexcept {
        const float x = (1.0f - s.modSource) * lfoOut[0] + envMod[0];
        fltFactor = fastmath::exp2(s.fltModDepth * 3.0f * x);
    }

    // Uniform draw 0..32767 from the instance's own generator (a 32-bit linear congruential
    // generator, upper bits), so renders repeat exactly and instances stay independent.
    int nextRandom() noexcept {
        randomState = randomState * 1103515245u + 12345u;
        return static_cast<int>((randomState >> 16) & 0x7FFFu);
    }

    // One period of the sine in 1000 entries, shared by every instance (filled once, never
    // written again), so that the effect can copy the modulation state cheaply per block.
    const float* sineTable = nullptr;
    float sineScale = 0.0f;
    float lfoPhaseMaster = 0.0f;
    float lfoPhase[2] = {0.0f, 0.0f};
    float lfoOut[2] = {0.0f, 0.0f};
    float shAcc = 0.0f;
    int shCountdown = 0;
    bool positionValid = false;
    float envState[2] = {0.0f, 0.0f};
    float envMod[2] = {0.0f, 0.0f};
    float vcoFactor[2] = {1.0f, 1.0f};
    float fltFactor = 1.0f;
    std::uint32_t randomState = kRandomSeed; // instance-owned generator of the random wave

private:
    // Into [-pi, pi]: one turn added below -pi, one taken off above pi.
    static float wrapPhase(float p) noexcept {
        if (p < -kPi) return p + 2.0f * kPi;
        if (p > kPi) return p - 2.0f * kPi;
        return p;
    }
    static float advancePhase(float p, float inc) noexcept {
        p += inc;
        return p > kPi ? p - 2.0f * kPi : p;
    }

    inline void followEnvelopes(const float mag[2], const ModulationSettings& s) noexcept;
    // One sample of the LFO of one wave.
    template <int Wave>
    inline void lfoSample(const ModulationSettings& s) noexcept;
    template <int Wave>
    inline void lfoSamples(const ModulationSettings& s, int n, float* left, float* right) noexcept;
};

TESSEL_PER_SAMPLE void Modulation::followEnvelopes(const float mag[2],
                                                   const ModulationSettings& s) noexcept {
    // Both sides as one pair.
    const float len = static_cast<float>(s.avgLen);
    // One-pole low-pass of |a| * envSens (envGain carries 1/avgLen, undone here).
    FloatPair env = loadPair(mag) * s.envGain * s.envSens * len + loadPair(envState) * s.envPole;
    // A non-finite input would otherwise poison the follower for good.
    env = env <= 3.0e38f ? env : FloatPair{0.0f, 0.0f};
    storePair(envState, flushed(env));
    storePair(envMod, (env - 0.5f) * 2.0f * s.modSource);
}

template <int Wave>
TESSEL_PER_SAMPLE void Modulation::lfoSample(const ModulationSettings& s) noexcept {
    if constexpr (Wave == 0) { // sine, read without interpolation from the table's mid point on
        for (int side = 0; side < 2; ++side) {
            float pos = (lfoPhase[side] + kPi) * sineScale;
            if (!(pos >= 0.0f)) pos = 0.0f;
            if (pos > 999.0f) pos = 999.0f;
            lfoOut[side] = sineTable[static_cast<int>(pos)];
        }
    } else if constexpr (Wave == 1) { // square with edges softened by the parameter smoother
        for (int side = 0; side < 2; ++side) {
            const float target = lfoPhase[side] > 0.0f ? 1.0f : -1.0f;
            lfoOut[side] = s.smoothPole * lfoOut[side] + s.smoothGain * target;
        }
    } else if constexpr (Wave == 2) { // triangle
        for (int side = 0; side < 2; ++side) {
            const float p = lfoPhase[side];
            float t = p / kHalfPi;
            if (p < -kHalfPi)
                t = -t - 2.0f;
            else if (p > kHalfPi)
                t = 2.0f - t;
            lfoOut[side] = t;
        }
    } else if constexpr (Wave == 3) { // rising saw, smoothed
        for (int side = 0; side < 2; ++side) {
            const float target = lfoPhase[side] / kPi;
            lfoOut[side] = s.smoothPole * lfoOut[side] + s.smoothGain * target;
        }
    } else if constexpr (Wave == 4) {
        // random: a new value every quarter period, re-triggered on the host's grid
        if (positionValid && shCountdown > 0 && --shCountdown == 0) shAcc = kHalfPi;
        if (shAcc >= kHalfPi) {
            shAcc -= kHalfPi;
            lfoOut[0] = 2.0f * static_cast<float>(nextRandom()) / 32767.0f - 1.0f;
            lfoOut[1] = lfoPhase[0] == lfoPhase[1]
                            ? lfoOut[0]
                            : 2.0f * static_cast<float>(nextRandom()) / 32767.0f - 1.0f;
        }
        shAcc += s.lfoInc;
    }
    lfoPhase[0] = advancePhase(lfoPhase[0], s.lfoInc);
    lfoPhase[1] = advancePhase(lfoPhase[1], s.lfoInc);
    lfoPhaseMaster = advancePhase(lfoPhaseMaster, s.lfoInc);
}

template <int Wave>
TESSEL_PER_SAMPLE void Modulation::lfoSamples(const ModulationSettings& s, int n, float* left,
                                              float* right) noexcept {
    // On a local copy, which the output stores cannot reach, so the state stays in registers.
    Modulation m = *this;
    for (int i = 0; i < n; ++i) {
        m.lfoSample<Wave>(s);
        left[i] = m.lfoOut[0];
        right[i] = m.lfoOut[1];
    }
    *this = m;
}

TESSEL_PER_SAMPLE void Modulation::runLfoStretch(const ModulationSettings& s, int n, float* left,
                                                 float* right) noexcept {
    switch (s.lfoWave) {
    case 0:
        lfoSamples<0>(s, n, left, right);
        break;
    case 1:
        lfoSamples<1>(s, n, left, right);
        break;
    case 2:
        lfoSamples<2>(s, n, left, right);
        break;
    case 3:
        lfoSamples<3>(s, n, left, right);
        break;
    case 4:
        lfoSamples<4>(s, n, left, right);
        break;
    default:
        lfoSamples<-1>(s, n, left, right);
        break;
    }
}

TESSEL_PER_SAMPLE FloatPair Modulation::clockFactors(const ModulationSettings& s) noexcept {
    const FloatPair lfoPart = (1.0f - s.modSource) * loadPair(lfoOut);
    const FloatPair m = clockArgument(lfoPart, loadPair(envMod), static_cast<float>(s.avgLen));
    storePair(vcoFactor, clockFactorOf(m, FloatPair{} + s.vcoMod));
    return lfoPart;
}

TESSEL_PER_SAMPLE void Modulation::processWithLfo(const float mag[2], const ModulationSettings& s,
                                                  float lfoL, float lfoR,
                                                  bool filterReads) noexcept {
    followEnvelopes(mag, s);
    lfoOut[0] = lfoL;
    lfoOut[1] = lfoR;
    const FloatPair lfoPart = clockFactors(s);
    // The left side's sources steer the filter of both channels.
    if (filterReads) {
        const float x = lfoPart[0] + envMod[0];
        fltFactor = fastmath::exp2(s.fltModDepth * 3.0f * x);
    }
}

TESSEL_PER_SAMPLE void Modulation::process(const float mag[2], bool modOn,
                                           const ModulationSettings& s, bool filterReads) noexcept {
    if (!modOn) {
        neutralFactors();
        return;
    }
    float lfo[2];
    runLfoStretch(s, 1, &lfo[0], &lfo[1]);
    processWithLfo(mag, s, lfo[0], lfo[1], filterReads);
}
