// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Modulation.h"
#include "engine/StateCheck.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

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
    // A power of two from its float exponent field.
    const auto power = [](std::uint32_t field) {
        const std::uint32_t bits = field << 23;
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return static_cast<double>(f);
    };
    // Mostly every step of a block lies inside one binade with room to spare (a margin of
    // steps far above rounding), and no step is a tie. The rounded step is then one float
    // addition less the start (exact), which keeps the chain from one block's phase to the
    // next short.
    if (steps > 0 && std::fabs(p) >= 4.0f * inc && std::fabs(p) >= 1e-30f) {
        std::uint32_t bits;
        std::memcpy(&bits, &p, sizeof bits);
        const std::uint32_t field = (bits >> 23) & 0xFFu;
        const double x = p, step = inc;
        const double d = static_cast<double>((p + inc) - p);
        const double halfGrid = power(field - 24);
        const double edge = x > 0.0 ? power(field + 1) : -power(field);
        const double beyond = x + static_cast<double>(steps + 3) * d;
        // step - d is exact: both are floats, within a factor of two or d is zero.
        if (std::fabs(step - d) != halfGrid && beyond + step < edge && (x < 0.0 || beyond <= kPi))
            return static_cast<float>(x + static_cast<double>(steps) * d);
    }
    while (steps > 0) {
        long k = 0;
        if (std::fabs(p) >= 4.0f * inc && std::fabs(p) >= 1e-30f) {
            const double x = p, step = inc;
            std::uint32_t bits;
            std::memcpy(&bits, &p, sizeof bits);
            const std::uint32_t field = (bits >> 23) & 0xFFu; // |p| in [2^(field-127), 2 * that)
            const double grid = power(field - 23);
            const double units = step * power(277 - field); // step / grid, exactly
            const double whole = static_cast<double>(static_cast<long>(units));
            const double fraction = units - whole;
            const double d = (fraction < 0.5 ? whole : whole + 1.0) * grid;
            if (fraction != 0.5) {
                if (d == 0.0) return p; // each addition leaves p as it is
                // The exact sums stay inside the binade (towards zero for negative p), and
                // the results at or below the wrap.
                const double edge = x > 0.0 ? power(field + 1) : -power(field);
                long room = static_cast<long>((edge - step - x) / d);
                if (x > 0.0) room = std::min(room, static_cast<long>((kPi - x) / d));
                k = std::min(room - 1, steps);
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

bool Modulation::isFinite() const noexcept {
    return statecheck::allFinite(lfoPhaseMaster, lfoPhase, lfoOut, shAcc, envState, envMod,
                                 vcoFactor, fltFactor);
}

float Modulation::envelopePeak() const noexcept {
    const float high = std::max(std::fabs(envState[0]), std::fabs(envState[1]));
    return high == high ? high : 1.0f;
}

void Modulation::clockArguments(const ModulationSettings& even, const ModulationSettings& odd,
                                float heldEnv, const float* env, const float* lfo, int n,
                                float* argument) noexcept {
    using Quad = float __attribute__((vector_size(16)));
    const float len = static_cast<float>(even.avgLen);
    const Quad lfoShare = 1.0f - Quad{even.modSource, odd.modSource, even.modSource, odd.modSource};
    for (int i = 0; i < n; i += 4) {
        Quad l, e = Quad{} + heldEnv;
        std::memcpy(&l, lfo + i, sizeof l);
        if (env != nullptr) std::memcpy(&e, env + i, sizeof e);
        const Quad m = clockArgument(lfoShare * l, e, len);
        std::memcpy(argument + i, &m, sizeof m);
    }
}
