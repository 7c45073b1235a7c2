#include "engine/Modulation.h"

#include "StageTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;

ModulationSettings settingsAt44k(int wave) {
    ModulationSettings s;
    s.lfoWave = wave;
    s.lfoInc = static_cast<float>(2.0 * 3.141592653589793 * 3.0 / 44100.0); // 3 Hz
    s.modSource = 0.5f;
    s.fltModDepth = 1.0f;
    s.vcoMod = 1.0f;
    s.envPole = static_cast<float>(std::exp(-2.0 * 3.141592653589793 * 10.0 / 44100.0));
    s.avgLen = 4;
    s.envGain = (1.0f - s.envPole) / 4.0f;
    s.envSens = 1.0f;
    s.smoothPole = static_cast<float>(std::exp(-2.0 * 3.141592653589793 * 30.0 / 44100.0));
    s.smoothGain = 1.0f - s.smoothPole;
    return s;
}

// Runs n samples with the magnitudes from mag(i), returning nothing; the state is in m.
template <typename Mag>
void run(Modulation& m, const ModulationSettings& s, int n, Mag mag, bool modOn = true) {
    for (int i = 0; i < n; ++i) {
        const float e[2] = {mag(i), mag(i)};
        m.process(e, modOn, s);
    }
}

} // namespace

TEST(Modulation, SineTableHoldsOnePeriodClosedAtTheEnd) {
    Modulation m;
    EXPECT_FLOAT_EQ(m.sineScale, 158.99579f);
    EXPECT_EQ(m.sineTable[0], 0.0f);
    EXPECT_NEAR(m.sineTable[999], 0.0f, 1e-6f) << "entry 999 closes the period";
    EXPECT_NEAR(m.sineTable[250], std::sin(2.0 * 3.141592653589793 * 250 / 999), 1e-7);
    EXPECT_GT(m.sineTable[499], 0.0f);
    EXPECT_NEAR(m.sineTable[499], 0.00314f, 1e-4f);
}

TEST(Modulation, ModSourceOneSilencesTheLfoAndZeroTheEnvelope) {
    for (float source : {0.0f, 1.0f}) {
        // Two runs that differ only in the source that should be silenced.
        Modulation a, b;
        a.reset(0.3f);
        b.reset(0.3f);
        ModulationSettings sa = settingsAt44k(source == 1.0f ? 0 : 2);
        ModulationSettings sb = settingsAt44k(source == 1.0f ? 3 : 2);
        sa.modSource = sb.modSource = source;
        stagetest::Noise noiseA(1), noiseB(2);
        for (int i = 0; i < 20000; ++i) {
            const float ma[2] = {std::fabs(noiseA()), 0.2f};
            const float mb[2] = {source == 1.0f ? ma[0] : std::fabs(noiseB()), ma[1]};
            a.process(ma, true, sa);
            b.process(source == 1.0f ? ma : mb, true, sb);
            ASSERT_EQ(a.vcoFactor[0], b.vcoFactor[0]) << "modSource " << source << " at " << i;
            ASSERT_EQ(a.vcoFactor[1], b.vcoFactor[1]) << "modSource " << source << " at " << i;
            ASSERT_EQ(a.fltFactor, b.fltFactor) << "modSource " << source << " at " << i;
        }
        EXPECT_NE(a.vcoFactor[0], 1.0f) << "the other source must still modulate";
    }
}

TEST(Modulation, OffsetPlacesTheSidesAroundTheMaster) {
    Modulation m;
    m.restartLfo(0.0f); // raw 0.5: identical sides
    EXPECT_EQ(m.lfoPhase[0], m.lfoPhase[1]);
    m.restartLfo(kPi / 2); // raw 1: right leads by half a period
    EXPECT_FLOAT_EQ(m.lfoPhase[1] - m.lfoPhase[0], kPi);
    EXPECT_GT(m.lfoPhase[1], m.lfoPhase[0]);
    m.restartLfo(-kPi / 2); // raw 0: right trails by half a period
    EXPECT_FLOAT_EQ(m.lfoPhase[0] - m.lfoPhase[1], kPi);

    // Placing sides around a running master wraps them into [-pi, pi].
    m.lfoPhaseMaster = 3.0f;
    m.placeSides(kPi / 2);
    EXPECT_NEAR(m.lfoPhase[0], 3.0f - kPi / 2, 1e-6f);
    EXPECT_NEAR(m.lfoPhase[1], 3.0f + kPi / 2 - 2 * kPi, 1e-6f);
    EXPECT_EQ(m.lfoPhaseMaster, 3.0f) << "an offset change leaves the master alone";
}

TEST(Modulation, RightSideLeadsOrTrailsByTheOffset) {
    // Triangle with an offset of pi/4 at pi/400 per sample: the sides sit at -/+ the offset
    // around the master, so the right side runs 200 samples ahead of the left with a positive
    // offset and 200 behind with a negative one.
    for (float sign : {1.0f, -1.0f}) {
        Modulation m;
        ModulationSettings s = settingsAt44k(2);
        s.lfoInc = kPi / 400;
        m.reset(sign * kPi / 4);
        std::vector<float> left, right;
        run(m, s, 2000, [](int) { return 0.0f; });
        for (int i = 0; i < 1000; ++i) {
            const float e[2] = {0.0f, 0.0f};
            m.process(e, true, s);
            left.push_back(m.lfoOut[0]);
            right.push_back(m.lfoOut[1]);
        }
        for (int i = 200; i < 800; ++i) {
            const int j = i + static_cast<int>(sign) * 200;
            ASSERT_NEAR(right[i], left[j], 2e-4f) << "offset sign " << sign << " at " << i;
        }
    }
}

TEST(Modulation, SineStartsAtTableEntry499AfterAWaveChangeAndFalls) {
    Modulation m;
    m.restartLfo(0.0f);
    const ModulationSettings s = settingsAt44k(0);
    const float e[2] = {0.0f, 0.0f};
    m.process(e, true, s);
    EXPECT_EQ(m.lfoOut[0], m.sineTable[499]);
    EXPECT_EQ(m.lfoOut[1], m.sineTable[499]);
    float previous = m.lfoOut[0];
    for (int i = 0; i < 3000; ++i) {
        m.process(e, true, s);
        ASSERT_LE(m.lfoOut[0], previous) << "the wave falls from its start, sample " << i;
        previous = m.lfoOut[0];
    }
    EXPECT_LT(previous, -0.8f);
}

TEST(Modulation, ZeroVcoModGivesFactorsOfExactlyOne) {
    Modulation m;
    m.reset(0.5f);
    ModulationSettings s = settingsAt44k(1);
    s.vcoMod = 0.0f;
    s.envSens = 16.0f;
    stagetest::Noise noise(3, 4.0f);
    for (int i = 0; i < 20000; ++i) {
        const float e[2] = {std::fabs(noise()), std::fabs(noise())};
        m.process(e, true, s);
        ASSERT_EQ(m.vcoFactor[0], 1.0f) << "sample " << i;
        ASSERT_EQ(m.vcoFactor[1], 1.0f) << "sample " << i;
    }
}

TEST(Modulation, LoudInputKeepsClockFactorsWithinAnOctave) {
    for (float vcoMod : {1.0f, -1.0f}) {
        Modulation m;
        m.reset(0.0f);
        ModulationSettings s = settingsAt44k(0);
        s.vcoMod = vcoMod;
        s.envSens = 16.0f; // kModSens = 1
        s.modSource = 1.0f;
        float lo = 10.0f, hi = 0.0f;
        run(m, s, 20000, [](int i) { return i % 2 ? 8.0f : 0.0f; });
        for (int i = 0; i < 20000; ++i) {
            const float e[2] = {8.0f, 8.0f};
            m.process(e, true, s);
            lo = std::min({lo, m.vcoFactor[0], m.vcoFactor[1]});
            hi = std::max({hi, m.vcoFactor[0], m.vcoFactor[1]});
        }
        EXPECT_GE(lo, 0.5f);
        EXPECT_LE(hi, 2.0f);
        EXPECT_EQ(vcoMod > 0 ? hi : 1.0f / lo, 2.0f) << "m reaches its limit of 1";
    }
}

TEST(Modulation, SwitchingOffFreezesTheLfoAndOnResumesIt) {
    Modulation m, reference;
    m.reset(0.2f);
    reference.reset(0.2f);
    const ModulationSettings s = settingsAt44k(0);
    auto silent = [](int) { return 0.0f; };
    run(m, s, 1234, silent);
    run(reference, s, 1234, silent);
    const float phase = m.lfoPhase[0];
    run(m, s, 5000, silent, false);
    EXPECT_EQ(m.lfoPhase[0], phase) << "the phase stands still while off";
    EXPECT_EQ(m.vcoFactor[0], 1.0f);
    EXPECT_EQ(m.fltFactor, 1.0f);
    run(m, s, 100, silent);
    run(reference, s, 100, silent);
    EXPECT_EQ(m.lfoPhase[0], reference.lfoPhase[0]);
    EXPECT_EQ(m.lfoOut[0], reference.lfoOut[0]);
}

TEST(Modulation, EnvelopeFollowsTheLevelAndSettlesNearZeroWithoutDenormals) {
    Modulation m;
    m.reset(0.0f);
    ModulationSettings s = settingsAt44k(0);
    s.envSens = 2.0f;
    s.modSource = 1.0f;
    run(
        m, s, 44100, [](int) { return 0.25f; }, false);
    EXPECT_NEAR(m.envState[0], 0.5f, 1e-4f) << "steady state is level * envSens";
    EXPECT_NEAR(m.envMod[0], 0.0f, 2e-4f) << "an envelope of 0.5 is neutral";
    run(
        m, s, 44100, [](int) { return 0.0f; }, false);
    // The flush quantises the decay to steps of about 1e-25, where a slow pole stalls: the
    // state ends tiny but never denormal.
    for (float state : m.envState) {
        EXPECT_LT(state, 1e-20f);
        EXPECT_TRUE(stagetest::zeroOrNormal(state)) << state;
    }
    EXPECT_FLOAT_EQ(m.envMod[0], -1.0f) << "silence gives -modSource";
}

TEST(Modulation, NonFiniteInputDoesNotPoisonTheFollower) {
    Modulation m;
    m.reset(0.0f);
    const ModulationSettings s = settingsAt44k(0);
    const float bad[2] = {std::nanf(""), std::numeric_limits<float>::infinity()};
    m.process(bad, true, s);
    run(m, s, 10, [](int) { return 0.1f; });
    EXPECT_TRUE(std::isfinite(m.envState[0]) && std::isfinite(m.envState[1]));
    EXPECT_TRUE(std::isfinite(m.vcoFactor[0]) && std::isfinite(m.fltFactor));
}

TEST(Modulation, RandomWaveHoldsEachValueForAQuarterPeriod) {
    Modulation m;
    m.reset(0.0f);
    ModulationSettings s = settingsAt44k(4);
    s.lfoInc = kPi / 200; // quarter period = 100 samples
    int changes = 0;
    float last = 2.0f;
    for (int i = 0; i < 1000; ++i) {
        const float e[2] = {0.0f, 0.0f};
        m.process(e, true, s);
        ASSERT_EQ(m.lfoOut[0], m.lfoOut[1]) << "equal phases draw once for both sides";
        ASSERT_GE(m.lfoOut[0], -1.0f);
        ASSERT_LE(m.lfoOut[0], 1.0f);
        if (m.lfoOut[0] != last) ++changes;
        last = m.lfoOut[0];
    }
    EXPECT_NEAR(changes, 10, 1);

    m.restartLfo(0.5f);
    const float e[2] = {0.0f, 0.0f};
    for (int i = 0; i < 150; ++i) m.process(e, true, s);
    EXPECT_NE(m.lfoOut[0], m.lfoOut[1]) << "different phases draw separately";
}

TEST(Modulation, RandomWaveIsRepeatableAndOwnedByTheInstance) {
    Modulation a, b;
    a.reset(0.0f);
    b.reset(0.0f);
    for (int i = 0; i < 5; ++i) b.nextRandom(); // another instance's draws must not matter
    b.reset(0.0f);
    int lo = 32767, hi = 0;
    for (int i = 0; i < 100000; ++i) {
        const int r = a.nextRandom();
        ASSERT_EQ(r, b.nextRandom());
        lo = std::min(lo, r);
        hi = std::max(hi, r);
    }
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 32767);
}

TEST(Modulation, RandomWaveRetriggersOnTheHostGrid) {
    Modulation m;
    m.reset(0.0f);
    ModulationSettings s = settingsAt44k(4);
    s.lfoInc = 1e-6f; // free-running steps would take far longer than the test
    const float e[2] = {0.0f, 0.0f};
    m.process(e, true, s); // first draw
    // 3.5 quarter notes with a grid of 4 (numerator position 1) at 120 BPM: 0.5 beat away.
    m.prepareBlock(true, 3.5f, 1, 44100, 120.0f);
    EXPECT_EQ(m.shCountdown, 11025);
    const float held = m.lfoOut[0];
    for (int i = 1; i < 11025; ++i) {
        m.process(e, true, s);
        ASSERT_EQ(m.lfoOut[0], held) << "no re-trigger before the grid, sample " << i;
    }
    m.process(e, true, s);
    EXPECT_NE(m.lfoOut[0], held) << "re-trigger on the grid";

    m.prepareBlock(true, 3.5f, 0, 44100, 120.0f);
    EXPECT_EQ(m.shCountdown, 0) << "numerator position 0 has no grid";
    m.prepareBlock(false, 3.5f, 1, 44100, 120.0f);
    const float before = m.lfoOut[0];
    for (int i = 0; i < 20000; ++i) m.process(e, true, s);
    EXPECT_EQ(m.lfoOut[0], before) << "an invalid position never re-triggers";
    m.prepareBlock(true, std::nanf(""), 2, 44100, 0.0f);
    EXPECT_EQ(m.shCountdown, 0);
    m.prepareBlock(true, 1e30f, 2, 44100, 120.0f);
    EXPECT_EQ(m.shCountdown, 0);
}

TEST(Modulation, ResetEqualsAFreshInstance) {
    Modulation used;
    used.reset(0.4f);
    const ModulationSettings s = settingsAt44k(4);
    run(used, s, 5000, [](int i) { return 0.001f * (i % 100); });
    used.prepareBlock(true, 1.0f, 2, 44100, 100.0f);
    used.reset(0.4f);
    Modulation fresh;
    fresh.reset(0.4f);
    EXPECT_EQ(used.lfoPhaseMaster, fresh.lfoPhaseMaster);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(used.lfoPhase[i], fresh.lfoPhase[i]);
        EXPECT_EQ(used.lfoOut[i], fresh.lfoOut[i]);
        EXPECT_EQ(used.envState[i], fresh.envState[i]);
        EXPECT_EQ(used.envMod[i], fresh.envMod[i]);
        EXPECT_EQ(used.vcoFactor[i], 1.0f);
    }
    EXPECT_EQ(used.shAcc, fresh.shAcc);
    EXPECT_EQ(used.randomState, fresh.randomState);
    EXPECT_EQ(used.fltFactor, 1.0f);
    // And they go on identically.
    run(used, s, 3000, [](int i) { return 0.002f * (i % 50); });
    run(fresh, s, 3000, [](int i) { return 0.002f * (i % 50); });
    EXPECT_EQ(used.vcoFactor[0], fresh.vcoFactor[0]);
    EXPECT_EQ(used.fltFactor, fresh.fltFactor);
}
