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

void Modulation::skipSilence(int frames, const ModulationSettings& s) noexcept {
    envState[0] = envState[1] = 0.0f;
    const long steps = frames - 1;
    lfoPhaseMaster = advancePhaseBy(lfoPhaseMaster, s.lfoInc, steps);
    for (int side = 0; side < 2; ++side) {
        lfoPhase[side] = advancePhaseBy(lfoPhase[side], s.lfoInc, steps);
        if (s.lfoWave == 1) lfoOut[side] = lfoPhase[side] > 0.0f ? 1.0f : -1.0f;
        if (s.lfoWave == 3) lfoOut[side] = lfoPhase[side] / kPi;
    }
    const double skipped = static_cast<double>(s.lfoInc) * static_cast<double>(steps);
    if (s.lfoWave == 4) {
        if (positionValid && shCountdown > 0)
            shCountdown = shCountdown > frames - 1 ? shCountdown - (frames - 1) : 1;
        const double acc = static_cast<double>(shAcc) + skipped;
        // A new value due meanwhile is drawn by the last sample.
        shAcc = acc >= kHalfPi ? static_cast<float>(kHalfPi + std::fmod(acc - kHalfPi, kHalfPi))
                               : static_cast<float>(acc);
    }
    const float nothing[2] = {0.0f, 0.0f};
    process(nothing, true, s, true);
}

float Modulation::advancePhaseBy(float p, float inc, long steps) noexcept {
    // Within one binade of floats every value lies on that binade's grid, so each addition
    // p + inc rounds to p plus inc rounded to the grid: runs of additions that stay in the
    // binade (and below the wrap) are taken at once, exactly. Near zero, at the wrap and
    // where the rounding is a tie, single additions.
    if (!(inc > 0.0f) || !(std::fabs(p) <= 4.0f)) {
        for (; steps > 0; --steps) p = advancePhase(p, inc);
        return p;
    }
    while (steps > 0) {
        const double x = p, step = inc;
        long k = 0;
        if (std::fabs(p) >= 4.0f * inc) {
            int e;
            std::frexp(x, &e); // |p| in [2^(e-1), 2^e)
            const double grid = std::ldexp(1.0, e - 24);
            const double units = step / grid;
            const double whole = std::floor(units);
            const double rounded = units - whole < 0.5 ? whole : whole + 1.0;
            const double d = rounded * grid;
            if (units - whole != 0.5 && d == 0.0) return p; // each addition leaves p
            if (units - whole != 0.5) {
                // The exact sums stay inside the binade (towards zero for negative p), and
                // the results at or below the wrap.
                const double edge = x > 0.0 ? std::ldexp(1.0, e) : -std::ldexp(1.0, e - 1);
                const double room = edge - step - x;
                k = static_cast<long>(std::floor(room / d)); // additions before the edge
                if (x > 0.0) k = std::min(k, static_cast<long>(std::floor((kPi - x) / d)));
                k = std::min(k - 1, steps);
            }
            if (k > 0) {
                p = static_cast<float>(x + static_cast<double>(k) * d);
                steps -= k;
                continue;
            }
        }
        p = advancePhase(p, inc);
        --steps;
    }
    return p;
}
