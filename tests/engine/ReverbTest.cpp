// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Reverb.h"

#include "engine/DenormalGuard.h"

#include "StageTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

std::unique_ptr<Reverb> makeReverb(int type, float rate, float damp = 0.1f) {
    auto r = std::make_unique<Reverb>();
    r->allocate(rate);
    r->setType(type, rate);
    r->setDamp(damp, type);
    return r;
}

bool allZeroOrNormal(const Reverb& r) {
    for (int k = 0; k < Reverb::kLines; ++k)
        for (int i = 0; i <= r.rvbMask; ++i)
            if (!stagetest::zeroOrNormal(r.line(k)[i])) return false;
    for (float v : r.rvbLp)
        if (!stagetest::zeroOrNormal(v)) return false;
    for (const auto& side : r.toneState)
        for (float v : side)
            if (!stagetest::zeroOrNormal(v)) return false;
    return true;
}

// The reverb written out step by step as its design reads, for clarity rather than speed:
// sixteen separate memories, one read index per tap, and double precision wherever the
// design computes in double. The engine's reverb computes in float and must stay within
// 1e-5 of this over long renders.
class ReferenceReverb {
public:
    ReferenceReverb(int type, float rate, float damp) : plate(type == Reverb::kPlate) {
        mask = rate < 50000.0f ? 32767 : (rate < 100000.0f ? 65535 : 131071);
        for (auto& line : memory) line.assign(static_cast<std::size_t>(mask) + 1, 0.0f);
        write = mask;
        // Read index trunc(mask - scale * K) for each tap constant K.
        const double scale = plate ? static_cast<float>(rate * 44.1 * 5.0 / 1445024700.0)
                                   : static_cast<float>(rate / 303187.5);
        auto place = [&](double k) { return static_cast<int>(std::trunc(mask - scale * k)); };
        const double springA[6] = {32767 * 0.5,
                                   32767 * 0.5,
                                   39513.06570839413 * 0.5,
                                   39513.06570839413 * 0.5,
                                   47647.92275589291 * 0.5,
                                   47647.92275589291 * 0.5};
        const double springB[6] = {515.4478875, 515.4478875, 427.4463375,
                                   427.4463375, 389.250225,  389.250225};
        const double springC[4] = {2606.01705, 2568.42495, 2129.11335, 2160.07155};
        const double plateB[6] = {3182331.04 * 0.5,   2662541.5656 * 0.5, 3295698.3066 * 0.5,
                                  2506079.1406 * 0.5, 3064032.3399 * 0.5, 2924267.9781 * 0.5};
        const double plateC[4] = {417287.745 * 0.75, 156341.1871 * 0.75, 304978.8525 * 0.75,
                                  117807.1951 * 0.75};
        for (int k = 0; k < 6; ++k) {
            readA[k] = plate ? mask - 1 : place(springA[k]);
            readB[k] = place(plate ? plateB[k] : springB[k]);
        }
        for (int k = 0; k < 4; ++k) readC[k] = place(plate ? plateC[k] : springC[k]);
        // Decay, coupling and damping.
        const double d = damp;
        const double g0 = std::pow(0.5, 0.01 * std::pow(100.0, d));
        g = static_cast<float>(plate ? g0 : g0 * std::sqrt(0.56) * 0.7);
        h = static_cast<float>(plate ? std::pow(g0, 0.25) : g0 * std::sqrt(0.56) * 0.3);
        m = static_cast<float>(plate ? (1.0 - d) * 0.4 + 0.4 : (1.0 - d) * 0.52 + 0.2);
        // Tone band-pass.
        const double w = plate ? 12566.0 / rate : 5026.4 / rate;
        const double alpha = std::sin(w) / (plate ? 0.12 : 0.2);
        b0 = static_cast<float>(alpha / (1.0 + alpha));
        b2 = static_cast<float>(-alpha / (1.0 + alpha));
        a1 = static_cast<float>(-2.0 * std::cos(w) / (1.0 + alpha));
        a2 = static_cast<float>((1.0 - alpha) / (1.0 + alpha));
    }

    void process(float& left, float& right, float amount) {
        const float rL = left, rR = right;
        float outL, outR;
        if (plate) {
            plateStep(rL, rR, outL, outR);
        } else {
            springStep(rL, rR, outL, outR);
        }
        const double scale = plate ? 0.3 : 0.1625;
        const float bL = tone(0, outL), bR = tone(1, outR);
        left = static_cast<float>(rL + (scale * bL - rL) * static_cast<double>(amount));
        right = static_cast<float>(rR + (scale * bR - rR) * static_cast<double>(amount));
        write = (write + 1) & mask;
        for (int& i : readA) i = (i + 1) & mask;
        for (int& i : readB) i = (i + 1) & mask;
        for (int& i : readC) i = (i + 1) & mask;
    }

private:
    static constexpr double kAllpass = 0.7071;
    std::vector<float>& A(int k) { return memory[k]; }
    std::vector<float>& B(int k) { return memory[6 + k]; }
    std::vector<float>& C(int k) { return memory[12 + k]; }
    static float wide(double x) { return static_cast<float>(x); }

    void springStep(float rL, float rR, float& qL, float& qR) {
        for (int k = 0; k < 6; k += 2) {
            lp[k] += (A(k)[readA[k]] - lp[k]) * m;
            lp[k + 1] = A(k + 1)[readA[k + 1]];
        }
        float u[6];
        for (int k = 0; k < 6; ++k) {
            u[k] = wide(B(k)[readB[k]] - kAllpass * lp[k]);
            B(k)[write] = wide(kAllpass * u[k] + lp[k]);
        }
        const float sum = rR + rL;
        A(0)[write] = (u[1] * h + u[0]) * g + sum;
        A(1)[write] = u[1] * g + u[0];
        A(2)[write] = wide(static_cast<double>((u[3] * h + u[2]) * g) * 0.975 + sum);
        A(3)[write] = wide(static_cast<double>(u[3] * g) * 0.975 + u[2]);
        A(4)[write] = wide(static_cast<double>((u[5] * h + u[4]) * g) * 0.95 + sum);
        A(5)[write] = wide(static_cast<double>(u[5] * g) * 0.95 + u[4]);
        const float pL = A(3)[readA[1]] + A(1)[write] + A(5)[write];
        const float pR = A(1)[readA[1]] + A(3)[write] + A(5)[write];
        qL = twoAllpasses(0, 2, pL);
        qR = twoAllpasses(1, 3, pR);
    }

    float twoAllpasses(int first, int second, float p) {
        const float v = wide(C(first)[readC[first]] - kAllpass * p);
        C(first)[write] = wide(kAllpass * v + p);
        const float z = wide(C(second)[readC[second]] - kAllpass * v);
        C(second)[write] = wide(kAllpass * z + v);
        return z;
    }

    void plateStep(float rL, float rR, float& pL, float& pR) {
        const float e = wide(0.7 * h);
        const float x = rR + rL;
        const float t1 = C(0)[readC[0]] - e * x;
        C(0)[write] = e * t1 + x;
        const float t2 = C(1)[readC[1]] + e * t1;
        C(1)[write] = t1 - e * t2;
        const float t3 = C(2)[readC[2]] - e * t2;
        C(2)[write] = e * t3 + t2;
        const float t4 = C(3)[readC[3]] + e * t3;
        C(3)[write] = t3 - e * t4;
        const double comb = 0.7 * g;
        for (int k = 0; k < 6; ++k) {
            lp[k] += (B(k)[readB[k]] - lp[k]) * m;
            if (k % 2 == 0) {
                const float inner = wide(comb * t4 + lp[k]);
                B(k)[write] = wide(t4 - comb * inner);
            } else {
                const float inner = wide(lp[k] - comb * t4);
                B(k)[write] = wide(t4 + comb * inner);
            }
        }
        pL = B(3)[readC[2]] + B(0)[readC[0]] + B(4)[write];
        pR = B(2)[readC[3]] + B(1)[readC[1]] + B(5)[write];
    }

    float tone(int side, float x) {
        float* s = toneState[side];
        const float y = b0 * x + b2 * s[1] - a1 * s[2] - a2 * s[3];
        s[1] = s[0];
        s[0] = x;
        s[3] = s[2];
        s[2] = (y + 1e-18f) - 1e-18f;
        return y;
    }

    bool plate;
    int mask = 0;
    std::vector<float> memory[16];
    int write = 0; // set to the mask in the constructor
    int readA[6] = {}, readB[6] = {}, readC[4] = {};
    float g = 0, h = 0, m = 0, lp[6] = {};
    float b0 = 0, b2 = 0, a1 = 0, a2 = 0;
    float toneState[2][4] = {}; // x1, x2, y1, y2
};

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

TEST(Reverb, FollowsTheDoublePrecisionReferenceOverLongRenders) {
    // Loud noise for several turns of every memory, then the decay; amount 1 so the output
    // is the reverb alone. The largest deviation is printed for the record.
    struct Case {
        float rate, damp, seconds;
    };
    for (int type : {Reverb::kSpring, Reverb::kPlate}) {
        double worst = 0.0;
        for (const Case& c : {Case{44100.0f, 0.0f, 8.0f}, Case{44100.0f, 0.6f, 3.0f},
                              Case{96000.0f, 0.1f, 3.0f}, Case{192000.0f, 0.0f, 2.0f}}) {
            auto engine = makeReverb(type, c.rate, c.damp);
            ReferenceReverb reference(type, c.rate, c.damp);
            stagetest::Noise noise(90 + type);
            const int n = static_cast<int>(c.rate * c.seconds);
            for (int i = 0; i < n; ++i) {
                const bool loud = i < n * 3 / 4;
                const float x[2] = {loud ? noise() : 0.0f, loud ? noise() : 0.0f};
                float got[2] = {x[0], x[1]};
                float want[2] = {x[0], x[1]};
                engine->process(got, 1.0f);
                reference.process(want[0], want[1], 1.0f);
                for (int s = 0; s < 2; ++s) {
                    const double deviation = std::fabs(static_cast<double>(got[s]) - want[s]);
                    worst = std::max(worst, deviation);
                    ASSERT_LE(deviation, 1e-5) << "type " << type << " rate " << c.rate << " damp "
                                               << c.damp << " at " << i;
                }
            }
        }
        std::printf("largest deviation from the reference, %s: %.3g\n",
                    type == Reverb::kPlate ? "plate" : "spring", worst);
    }
}
