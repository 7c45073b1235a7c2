#include "engine/Modulation.h"

#include <array>
#include <cmath>

namespace {

constexpr double kTwoPi = 6.283185307179586;

// One period over entries 0..998; entry 999 closes it (sin(2 pi) = 0).
const std::array<float, 1000>& sharedSineTable() noexcept {
    static const std::array<float, 1000> table = [] {
        std::array<float, 1000> t{};
        for (int i = 0; i < 1000; ++i)
            t[static_cast<std::size_t>(i)] = static_cast<float>(std::sin(kTwoPi * i / 999.0));
        return t;
    }();
    return table;
}

} // namespace

Modulation::Modulation() noexcept : sineTable(sharedSineTable().data()) {
    sineScale = static_cast<float>(999.0 / kTwoPi);
}

void Modulation::reset(float lfoOffset) noexcept {
    lfoOut[0] = lfoOut[1] = 0.0f;
    shAcc = 0.0f;
    envState[0] = envState[1] = 0.0f;
    envMod[0] = envMod[1] = 0.0f;
    // Neutral factors: a clock or cutoff factor of 0 would stop the clocked delay.
    vcoFactor[0] = vcoFactor[1] = 1.0f;
    fltFactor = 1.0f;
    shCountdown = 0;
    positionValid = false;
    randomState = kRandomSeed;
    restartLfo(lfoOffset);
}

void Modulation::restartLfo(float lfoOffset) noexcept {
    lfoPhaseMaster = 0.0f;
    lfoPhase[0] = wrapPhase(-lfoOffset);
    lfoPhase[1] = wrapPhase(lfoOffset);
}

void Modulation::placeSides(float lfoOffset) noexcept {
    lfoPhase[0] = wrapPhase(lfoPhaseMaster - lfoOffset);
    lfoPhase[1] = wrapPhase(lfoPhaseMaster + lfoOffset);
}

void Modulation::prepareBlock(bool valid, float ppqPos, int lfoNumIdx, int dspRateInt,
                              float tempo) noexcept {
    positionValid = valid;
    shCountdown = 0; // 0 never triggers: no grid this block
    // Position 0 of the numerator has no grid; absurd positions or tempi are ignored.
    if (!valid || lfoNumIdx <= 0 || !(std::fabs(ppqPos) < 1.0e8f) || !(tempo > 0.0f)) return;
    const int grid = 4 * lfoNumIdx; // quarter notes between re-triggers
    // Next whole multiple of the grid after the block start, as the count of samples to it.
    const int nextIndex = static_cast<int>(std::trunc(ppqPos / static_cast<float>(grid) + 1.0f));
    const float quarters = static_cast<float>(nextIndex * lfoNumIdx * 4) - ppqPos;
    const float samples = quarters * 60.0f * static_cast<float>(dspRateInt) / tempo;
    if (samples >= 1.0f && samples < 2.0e9f) shCountdown = static_cast<int>(samples);
}
