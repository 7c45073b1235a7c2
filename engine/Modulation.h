// Modulation sources: a stereo LFO with five waves and two envelope followers, blended into
// the clock factors of the two delay lines and the cutoff factor of the filter.
// State is owned by the audio thread; the effect passes the working values in per sample.
#pragma once

#include <array>
#include <cstdint>

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

class Modulation {
public:
    Modulation() noexcept;

    // Clears outputs and followers; master phase 0, sides at -/+ lfoOffset.
    void reset(float lfoOffset) noexcept;
    // A wave change restarts the LFO: master 0, sides at -/+ lfoOffset (wrapped).
    void restartLfo(float lfoOffset) noexcept;
    // An offset change places the sides around the running master phase (wrapped).
    void placeSides(float lfoOffset) noexcept;
    // Block prologue: samples until the random wave's next re-trigger on the host's grid.
    void prepareBlock(bool positionValid, float ppqPos, int lfoNumIdx, int dspRateInt,
                      float tempo) noexcept;
    // One sample: follows the envelopes of mag[0], mag[1] (always), runs the LFO and
    // produces vcoFactor and fltFactor when modOn, else sets them to 1.
    void process(const float mag[2], bool modOn, const ModulationSettings& s) noexcept;

    std::array<float, 1000> sineTable{};
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
    std::uint32_t randomState = 1; // instance-owned generator of the random wave
};
