#include "engine/Reverb.h"

#include "StageTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

std::unique_ptr<Reverb> makeReverb(int type, float rate, float damp = 0.1f) {
    auto r = std::make_unique<Reverb>();
    r->allocate(rate);
    r->setType(type, rate);
    r->setDamp(damp, type);
    return r;
}

bool allZeroOrNormal(const Reverb& r) {
    for (const auto& line : r.memory)
        for (float v : line)
            if (!stagetest::zeroOrNormal(v)) return false;
    for (float v : r.rvbLp)
        if (!stagetest::zeroOrNormal(v)) return false;
    for (const auto& side : r.toneState)
        for (float v : side)
            if (!stagetest::zeroOrNormal(v)) return false;
    return true;
}

} // namespace

TEST(Reverb, TapsStayInsideTheMemoriesAtEveryRate) {
    // A read index trails its write index by 1 .. mask samples: it never reads the sample
    // being written, and the mask keeps it inside the memory however the indices wrap.
    for (float rate : {4096.0f, 44100.0f, 96000.0f, 192000.0f, 200000.0f, 1e7f, -5.0f}) {
        for (int type : {Reverb::kSpring, Reverb::kPlate}) {
            Reverb r;
            r.allocate(rate);
            r.setType(type, rate);
            auto inside = [&](int trail) { return trail >= 1 && trail <= r.rvbMask; };
            for (int k = 0; k < 6; ++k) {
                EXPECT_TRUE(inside(r.rvbTrailA[k])) << "rate " << rate << " A" << k;
                EXPECT_TRUE(inside(r.rvbTrailB[k])) << "rate " << rate << " B" << k;
            }
            for (int k = 0; k < 4; ++k)
                EXPECT_TRUE(inside(r.rvbTrailC[k])) << "rate " << rate << " C" << k;
        }
    }
}

TEST(Reverb, AmountZeroReturnsTheInputAndOneOnlyTheScaledReverb) {
    for (int type : {Reverb::kSpring, Reverb::kPlate}) {
        auto dry = makeReverb(type, 44100.0f);
        auto full = makeReverb(type, 44100.0f);
        auto half = makeReverb(type, 44100.0f);
        stagetest::Noise noise(21);
        double energy = 0.0;
        for (int i = 0; i < 30000; ++i) {
            const float x[2] = {noise(), noise()};
            float a[2] = {x[0], x[1]}, b[2] = {x[0], x[1]}, c[2] = {x[0], x[1]};
            dry->process(a, 0.0f);
            full->process(b, 1.0f);
            half->process(c, 0.5f);
            ASSERT_EQ(a[0], x[0]) << "amount 0, type " << type;
            ASSERT_EQ(a[1], x[1]) << "amount 0, type " << type;
            // Half the amount is the mean of input and the full reverb output.
            for (int s = 0; s < 2; ++s)
                ASSERT_NEAR(2.0f * c[s] - x[s], b[s], 1e-5f) << "type " << type << " at " << i;
            energy += b[0] * b[0];
        }
        EXPECT_GT(energy, 1.0) << "type " << type << " produced no reverb";
    }
}

TEST(Reverb, ResetEqualsAFreshInstance) {
    for (int type : {Reverb::kSpring, Reverb::kPlate}) {
        auto used = makeReverb(type, 44100.0f, 0.4f);
        stagetest::Noise noise(50);
        for (int i = 0; i < 10000; ++i) {
            float w[2] = {noise(), noise()};
            used->process(w, 0.7f);
        }
        used->reset();
        used->setType(type, 44100.0f);
        auto fresh = makeReverb(type, 44100.0f, 0.4f);
        stagetest::Noise a(60), b(60);
        for (int i = 0; i < 20000; ++i) {
            float x[2] = {a(), a()}, y[2] = {b(), b()};
            used->process(x, 0.7f);
            fresh->process(y, 0.7f);
            ASSERT_EQ(x[0], y[0]) << "type " << type << " at " << i;
            ASSERT_EQ(x[1], y[1]) << "type " << type << " at " << i;
        }
    }
}

TEST(Reverb, LoudLongInputStaysBoundedAndDecays) {
    // Ten seconds of loud noise at the longest decay, then silence.
    for (float rate : {4096.0f, 44100.0f, 200000.0f}) {
        for (int type : {Reverb::kSpring, Reverb::kPlate}) {
            auto r = makeReverb(type, rate, 0.0f);
            stagetest::Noise noise(70, 4.0f);
            const int n = static_cast<int>(rate) * (rate > 100000.0f ? 2 : 10);
            float peak = 0.0f;
            for (int i = 0; i < n; ++i) {
                float w[2] = {noise(), noise()};
                r->process(w, 1.0f);
                ASSERT_TRUE(std::isfinite(w[0]) && std::isfinite(w[1]))
                    << "rate " << rate << " type " << type << " at " << i;
                peak = std::max({peak, std::fabs(w[0]), std::fabs(w[1])});
            }
            EXPECT_LT(peak, 20.0f) << "rate " << rate << " type " << type;
            auto tailLevel = [&](int samples) {
                float level = 0.0f;
                for (int i = 0; i < samples; ++i) {
                    float w[2] = {0.0f, 0.0f};
                    r->process(w, 1.0f);
                    level = std::max(level, std::fabs(w[0]));
                }
                return level;
            };
            const int second = static_cast<int>(rate);
            const float early = tailLevel(second / 2);
            tailLevel(second * 3);
            const float late = tailLevel(second / 2);
            EXPECT_LT(late, 0.1f * early) << "rate " << rate << " type " << type;
        }
    }
}

TEST(Reverb, GuardedSilenceLeavesNoDenormals) {
    // The chain feeds the reverb +-1e-8 (alternating) on top of its signal.
    for (int type : {Reverb::kSpring, Reverb::kPlate}) {
        auto r = makeReverb(type, 44100.0f, 1.0f);
        stagetest::Noise noise(80);
        for (int i = 0; i < 20000; ++i) {
            float w[2] = {noise(), noise()};
            r->process(w, 0.5f);
        }
        float guard = 1e-8f;
        float out = 1.0f;
        for (int i = 0; i < 441000; ++i) {
            guard = -guard;
            float w[2] = {guard, guard};
            r->process(w, 0.5f);
            out = w[0];
        }
        EXPECT_LT(std::fabs(out), 1e-6f) << "type " << type;
        EXPECT_TRUE(allZeroOrNormal(*r)) << "type " << type;
    }
}

TEST(Reverb, ProcessBeforeAllocationPassesThrough) {
    Reverb r;
    float w[2] = {0.25f, -0.5f};
    r.process(w, 1.0f);
    EXPECT_EQ(w[0], 0.25f);
    EXPECT_EQ(w[1], -0.5f);
}
