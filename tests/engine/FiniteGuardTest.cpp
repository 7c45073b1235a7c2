// SPDX-License-Identifier: GPL-3.0-or-later
// The finite guard: should any recursive state of the chain stop being a number, the block's
// end restarts the sound clean, and no such value reaches the host. Each state is spoilt in
// turn, with its stage switched off where that leaves the state untouched by the block, so
// that only the guard can mend it.
#include "support/EffectHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

struct DrellProbe {
    static auto& chain(Drell& d) { return d.chain; }
    static DelayLine& line(Drell& d, int side) { return d.dlyLine[side]; }
    static Reverb& reverb(Drell& d) { return d.reverb; }
};

namespace {

struct State {
    const char* name;
    std::function<float&(Drell&)> at;
};

// A line's clock rate, spoilt through its cursor.
float& clockRate(Drell& d, int side, DelayLine::Cursor& held) {
    held = DrellProbe::line(d, side).cursor();
    return held.rate;
}

} // namespace

TEST(FiniteGuard, EveryStateThatStopsBeingANumberIsCleared) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    DelayLine::Cursor held;
    const std::vector<State> states = {
        {"filter low-pass state",
         [](Drell& d) -> float& { return DrellProbe::chain(d).svf.svfLow[0]; }},
        {"filter band-pass state",
         [](Drell& d) -> float& { return DrellProbe::chain(d).svf.svfBand[1]; }},
        {"filter high-pass state",
         [](Drell& d) -> float& { return DrellProbe::chain(d).svf.svfHigh[0]; }},
        {"anti-alias state",
         [](Drell& d) -> float& { return DrellProbe::chain(d).antiAlias.aaState[1][2][1]; }},
        {"drive ring",
         [](Drell& d) -> float& { return DrellProbe::chain(d).drive.driveRing[1][0]; }},
        {"drive sum", [](Drell& d) -> float& { return DrellProbe::chain(d).drive.driveSum[0]; }},
        {"envelope",
         [](Drell& d) -> float& { return DrellProbe::chain(d).modulation.envState[1]; }},
        {"LFO phase",
         [](Drell& d) -> float& { return DrellProbe::chain(d).modulation.lfoPhase[0]; }},
        {"cutoff factor",
         [](Drell& d) -> float& { return DrellProbe::chain(d).modulation.fltFactor; }},
        {"feedback signal", [](Drell& d) -> float& { return DrellProbe::chain(d).fbSignal[1]; }},
        {"last input to the lines",
         [](Drell& d) -> float& { return DrellProbe::chain(d).lastA[0]; }},
        {"fade gain", [](Drell& d) -> float& { return DrellProbe::chain(d).fadeGain[1]; }},
        {"smoothed value", [](Drell& d) -> float& { return DrellProbe::chain(d).smoothed[3]; }},
        {"reverb damping state", [](Drell& d) -> float& { return DrellProbe::reverb(d).rvbLp[4]; }},
        {"reverb tone state",
         [](Drell& d) -> float& { return DrellProbe::reverb(d).toneState[2][1]; }},
    };
    const auto render = [](Drell& d, int blocks, bool& finite) {
        std::vector<float> inL(256), inR(256), outL(256), outR(256);
        for (int block = 0; block < blocks; ++block) {
            for (int i = 0; i < 256; ++i) inL[i] = inR[i] = std::sin(0.05f * static_cast<float>(i));
            run(d, inL.data(), inR.data(), 256, outL.data(), outR.data());
            for (int i = 0; i < 256; ++i) finite = finite && std::isfinite(outL[i] + outR[i]);
        }
    };
    for (const State& state : states) {
        EffectHost host;
        auto drell = host.make();
        resumeAt(*drell, 44100.0f);
        bool warm = true;
        render(*drell, 4, warm);
        state.at(*drell) = nan;
        bool finite = true;
        render(*drell, 2, finite);
        EXPECT_TRUE(finite) << state.name << ": a value that is not a number reached the host";
        EXPECT_TRUE(std::isfinite(state.at(*drell))) << state.name << ": left spoilt";
    }
    // The delay lines' clocks, through their cursors.
    for (int side = 0; side < 2; ++side) {
        EffectHost host;
        auto drell = host.make();
        resumeAt(*drell, 44100.0f);
        clockRate(*drell, side, held) = nan;
        DrellProbe::line(*drell, side).take(held);
        bool finite = true;
        render(*drell, 2, finite);
        EXPECT_TRUE(finite);
        EXPECT_TRUE(std::isfinite(DrellProbe::line(*drell, side).clockRate())) << "side " << side;
    }
}
