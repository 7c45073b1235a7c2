// SPDX-License-Identifier: GPL-3.0-or-later
// The factory bank as a new instance holds it, and a bounded, audible output from every
// program.
#include "presets/FactoryPrograms.h"
#include "support/EffectHost.h"
#include "support/FakeServices.h"
#include "support/TestSignal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

TEST(FactoryBank, NewInstanceHoldsTheTableExactly) {
    FakeServices fakes;
    Drell effect(nullptr, fakes.services());
    for (int k = 0; k < kNumPrograms; ++k) {
        const CProgram* p = effect.getProgramAt(k);
        ASSERT_NE(p, nullptr);
        char name[kProgramNameChars + 1];
        std::memset(name, 'x', sizeof name);
        p->getName(name);
        EXPECT_STREQ(name, kFactoryPrograms[k].name) << "program " << k;
        for (std::size_t b = std::strlen(name); b < sizeof name; ++b)
            EXPECT_EQ(name[b], '\0') << "program " << k << " name byte " << b << " not zero";
        for (int i = 0; i < kNumParams; ++i)
            EXPECT_EQ(p->getParameter(static_cast<std::uint32_t>(i)),
                      static_cast<float>(kFactoryPrograms[k].values[i]))
                << "program " << k << ", " << kParameterTable[i].name;
    }
}

// Every program on the tests' signal: finite, audible, and below +6 dBFS.
TEST(FactoryBank, EveryProgramPlaysWithinBounds) {
    constexpr float kRate = 44100.0f;
    constexpr int kBlock = 512;
    constexpr int kFrames = 345 * kBlock; // four seconds
    std::vector<float> inL = testsignal::burstsAndSweep(kFrames, 5);
    std::vector<float> inR = testsignal::burstsAndSweep(kFrames, 6);
    std::vector<float> outL(kBlock), outR(kBlock);
    for (int k = 0; k < kNumPrograms; ++k) {
        EffectHost host;
        FakeServices fakes;
        auto effect = host.make(fakes.services());
        resumeAt(*effect, kRate);
        effect->selectProgram(k);
        double peak = 0.0, sum = 0.0;
        bool finite = true;
        for (int done = 0; done < kFrames; done += kBlock) {
            run(*effect, inL.data() + done, inR.data() + done, kBlock, outL.data(), outR.data());
            for (int i = 0; i < kBlock; ++i) {
                for (float s :
                     {outL[static_cast<std::size_t>(i)], outR[static_cast<std::size_t>(i)]}) {
                    finite = finite && std::isfinite(s);
                    peak = std::max(peak, static_cast<double>(std::fabs(s)));
                    sum += static_cast<double>(s) * s;
                }
            }
        }
        const double rmsDb = 10.0 * std::log10(sum / (2.0 * kFrames) + 1e-30);
        const char* name = effect->getProgramAt(k)->name();
        EXPECT_TRUE(finite) << "program " << k << " \"" << name << "\" gave non-finite samples";
        EXPECT_LT(peak, 2.0) << "program " << k << " \"" << name << "\" peaks above +6 dBFS";
        EXPECT_GT(rmsDb, -50.0) << "program " << k << " \"" << name << "\" is silent";
    }
}
