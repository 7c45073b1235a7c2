// The 96 host parameters: names, labels, step properties, values and hostile input.
#include "testhost/TestHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <set>
#include <string>

namespace {

const char* const kNames[48] = {
    "Main In",    "Main Out",    "Main Mix",    "DlyL Fb",     "DlyR Fb",      "DlyL FbPan",
    "DlyR FbPan", "DlyL FbInv",  "DlyR FbInv",  "Mod LfoWave", "Mod LfoRate",  "Mod LfoOffset",
    "Mod Source", "Flt Mod",     "Flt Type",    "Flt Cutoff",  "Flt Res",      "Vco Manual",
    "Vco Mod",    "DlyL DlyInv", "DlyR DlyInv", "Drv Gain",    "Mod EnvSpeed", "Flt Mode",
    "DlyL Mode",  "DlyR Mode",   "DlyL Num",    "DlyR Num",    "DlyL Den",     "DlyR Den",
    "DlyL Range", "DlyR Range",  "Mod LfoMode", "Mod LfoNum",  "Mod LfoDen",   "DlyL Time",
    "DlyR Time",  "Rvb Mode",    "Rvb Type",    "Rvb Damp",    "Rvb Amt",      "Main Bypass",
    "Flt On",     "Drv On",      "Mod On",      "Vco On",      "Rvb On",       "Mod Sens"};

const char* const kLabels[48] = {
    "dB", "dB", "%", "dB", "dB", "%",  "%",  "",  "",  "", "Hz", "deg", "%", "%", "",   "Hz",
    "",   "x",  "%", "",   "",   "dB", "ms", "",  "",  "", "",   "",    "",  "",  "ms", "ms",
    "",   "",   "",  "ms", "ms", "",   "",   "%", "%", "", "",   "",    "",  "",  "",   "%"};

const float kConstruction[48] = {
    0.5f, 0.5f, 0.5f, 0,    0, 0,    0,           0,           0, 0,    0.5f, 0.5f,
    1.0f, 0.5f, 0,    1.0f, 0, 0.5f, 0.5f,        0,           0, 0,    0,    0,
    0,    0,    0,    0,    0, 0,    5.0f / 6.0f, 5.0f / 6.0f, 0, 0,    0,    0.4f,
    0.4f, 0,    0,    0.1f, 0, 0,    0,           0,           0, 1.0f, 0,    0};

class Parameters : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host.load()); }
    TestHost host;
};

} // namespace

TEST_F(Parameters, NamesOfAllNinetySix) {
    for (int i = 0; i < 48; ++i) {
        EXPECT_EQ(host.paramName(i), kNames[i]) << i;
        EXPECT_EQ(host.paramName(48 + i), std::string("CC# ") + kNames[i]) << 48 + i;
    }
    EXPECT_EQ(host.paramName(95), "CC# Mod Sens");
}

TEST_F(Parameters, NothingIsWrittenForIndicesBeyondTheTable) {
    for (int i : {96, 1000, -1}) {
        char text[32];
        std::memset(text, '#', sizeof text);
        host.dispatch(effGetParamName, i, 0, text);
        EXPECT_EQ(text[0], '#') << "name of " << i;
        host.dispatch(effGetParamDisplay, i, 0, text);
        EXPECT_EQ(text[0], '#') << "display of " << i;
    }
}

TEST_F(Parameters, Labels) {
    for (int i = 0; i < 48; ++i) EXPECT_EQ(host.paramLabel(i), kLabels[i]) << i;
    for (int i : {48, 95, 96, -1}) EXPECT_EQ(host.paramLabel(i), "") << i;
}

TEST_F(Parameters, ConstructionValues) {
    for (int i = 0; i < 48; ++i)
        EXPECT_NEAR(host.getParameter(i), kConstruction[i], 1e-6f) << kNames[i];
    for (int i : {96, 200, -1, -1000}) EXPECT_EQ(host.getParameter(i), 0.0f) << i;
}

TEST_F(Parameters, StepProperties) {
    const int switches[] = {7, 8, 19, 20, 24, 25, 32, 37, 38, 41, 42, 43, 44, 45, 46};
    const int fiveWay[] = {9, 26, 27, 33};
    const int threeWay[] = {14, 23, 30, 31};
    const int thirteenWay[] = {28, 29, 34};
    std::set<int> described;
    auto query = [&](int index, VstParameterProperties& p) {
        std::memset(&p, 0x5a, sizeof p);
        return host.dispatch(effGetParameterProperties, index, 0, &p);
    };
    VstParameterProperties p;
    for (int i : switches) {
        ASSERT_EQ(query(i, p), 1) << kNames[i];
        EXPECT_EQ(p.flags, 11) << kNames[i];
        EXPECT_EQ(p.minInteger, 0);
        EXPECT_EQ(p.maxInteger, 1);
        EXPECT_EQ(p.stepInteger, 1);
        EXPECT_EQ(p.largeStepInteger, 1);
        described.insert(i);
    }
    auto choice = [&](int i, int n) {
        ASSERT_EQ(query(i, p), 1) << kNames[i];
        EXPECT_EQ(p.flags, 0) << kNames[i];
        EXPECT_EQ(p.minInteger, 1);
        EXPECT_EQ(p.maxInteger, n) << kNames[i];
        EXPECT_EQ(p.stepInteger, 1);
        described.insert(i);
    };
    for (int i : fiveWay) choice(i, 5);
    for (int i : threeWay) choice(i, 3);
    for (int i : thirteenWay) choice(i, 13);

    ASSERT_EQ(query(22, p), 1);
    EXPECT_EQ(p.flags, kVstParameterUsesFloatStep);
    EXPECT_FLOAT_EQ(p.stepFloat, 1.0f / 900.0f);
    EXPECT_FLOAT_EQ(p.smallStepFloat, 1.0f / 900.0f);
    EXPECT_FLOAT_EQ(p.largeStepFloat, 1.0f / 90.0f);
    described.insert(22);
    for (int i : {35, 36}) {
        ASSERT_EQ(query(i, p), 1);
        EXPECT_EQ(p.flags, kVstParameterUsesFloatStep);
        EXPECT_FLOAT_EQ(p.stepFloat, 0.0001f);
        EXPECT_FLOAT_EQ(p.smallStepFloat, 0.0001f);
        EXPECT_FLOAT_EQ(p.largeStepFloat, 0.1f);
        described.insert(i);
    }
    for (int i = -2; i < 100; ++i) {
        if (described.count(i)) continue;
        unsigned char before[sizeof p];
        std::memset(&p, 0x5a, sizeof p);
        std::memcpy(before, &p, sizeof p);
        EXPECT_EQ(host.dispatch(effGetParameterProperties, i, 0, &p), 0) << i;
        EXPECT_EQ(std::memcmp(before, &p, sizeof p), 0) << "properties written for " << i;
    }
}

TEST_F(Parameters, StringToParameterIsRefused) {
    char text[] = "0.5";
    for (int i : {0, 47, 48}) EXPECT_EQ(host.dispatch(effString2Parameter, i, 0, text), 0);
}

TEST_F(Parameters, SetAndGetRoundTrip) {
    host.setParameter(0, 0.25f);
    EXPECT_FLOAT_EQ(host.getParameter(0), 0.25f);
    host.setParameter(40, 0.75f);
    EXPECT_FLOAT_EQ(host.getParameter(40), 0.75f);
}

TEST_F(Parameters, HostileValuesAreClampedAndNaNCountsAsZero) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (int i = 0; i < 96; ++i) {
        for (float v : {nan, inf, -inf, -0.5f, 7.0f, 1e30f, -1e-30f}) {
            host.setParameter(i, v);
            float back = host.getParameter(i);
            EXPECT_TRUE(back >= 0.0f && back <= 1.0f) << "index " << i << " value " << v;
        }
        host.setParameter(i, nan);
        if (i < 48 && i != 35 && i != 36) {
            EXPECT_EQ(host.getParameter(i), 0.0f) << i;
        }
    }
}

TEST_F(Parameters, BadIndicesReachNoStorage) {
    float before[96];
    for (int i = 0; i < 96; ++i) before[i] = host.getParameter(i);
    for (int i : {-1, -1000, 96, 97, 100000, std::numeric_limits<int>::min(),
                  std::numeric_limits<int>::max()})
        host.setParameter(i, 0.77f);
    for (int i = 0; i < 96; ++i) EXPECT_EQ(host.getParameter(i), before[i]) << i;
}

TEST_F(Parameters, TextsNeverOverrunTheirBound) {
    // Longest name is 17 characters; every text must end within 24 bytes.
    for (int i = 0; i < 96; ++i) {
        for (int op : {effGetParamName, effGetParamLabel, effGetParamDisplay}) {
            char text[64];
            std::memset(text, '#', sizeof text);
            host.dispatch(op, i, 0, text);
            if (text[0] == '#') continue; // nothing written
            EXPECT_NE(std::memchr(text, '\0', 24), nullptr) << "opcode " << op << " index " << i;
            for (int k = 24; k < 64; ++k) EXPECT_EQ(text[k], '#') << "wrote past 24 bytes";
        }
    }
}
