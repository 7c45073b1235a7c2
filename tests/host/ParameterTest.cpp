// SPDX-License-Identifier: GPL-3.0-or-later
// The 96 host parameters: what the host reads of each (name, label, value, step properties)
// matches the parameter table, texts stay within their bounds, and hostile values and
// indices are harmless.
#include "engine/Parameters.h"
#include "testhost/TestHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace {

class Parameters : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host.load()); }
    // The properties the host reads, or nullopt when the query answers 0; a refused query
    // must leave the record as it was.
    std::optional<VstParameterProperties> properties(VstInt32 index) {
        VstParameterProperties p, before;
        std::memset(&p, 0x5a, sizeof p);
        before = p;
        if (host.dispatch(effGetParameterProperties, index, 0, &p) == 1) return p;
        EXPECT_EQ(std::memcmp(&before, &p, sizeof p), 0) << "properties written for " << index;
        return std::nullopt;
    }
    TestHost host;
};

} // namespace

TEST_F(Parameters, HostSeesTheParameterTable) {
    for (VstInt32 i = 0; i < kNumParams; ++i) {
        const ParameterInfo& info = kParameterTable[i];
        EXPECT_EQ(host.paramName(i), info.name) << i;
        EXPECT_EQ(host.paramName(kNumParams + i), std::string("CC# ") + info.name) << i;
        EXPECT_EQ(host.paramLabel(i), info.label) << info.name;
        EXPECT_EQ(host.paramLabel(kNumParams + i), "") << info.name;
        EXPECT_NEAR(host.getParameter(i), info.constructionValue, 1e-6f) << info.name;

        const auto p = properties(i);
        switch (info.kind) {
        case StepKind::Continuous:
            EXPECT_FALSE(p) << info.name << " has no steps";
            break;
        case StepKind::Switch:
            ASSERT_TRUE(p) << info.name;
            EXPECT_EQ(p->flags, kVstParameterIsSwitch | kVstParameterUsesIntegerMinMax |
                                    kVstParameterUsesIntStep)
                << info.name;
            EXPECT_EQ(p->minInteger, 0);
            EXPECT_EQ(p->maxInteger, 1);
            EXPECT_EQ(p->stepInteger, 1);
            EXPECT_EQ(p->largeStepInteger, 1);
            break;
        case StepKind::Choice:
            ASSERT_TRUE(p) << info.name;
            EXPECT_EQ(p->flags, 0) << info.name;
            EXPECT_EQ(p->minInteger, 1);
            EXPECT_EQ(p->maxInteger, info.steps) << info.name;
            EXPECT_EQ(p->stepInteger, 1);
            break;
        case StepKind::Milliseconds:
        case StepKind::DelayTime: {
            ASSERT_TRUE(p) << info.name;
            const bool ms = info.kind == StepKind::Milliseconds;
            EXPECT_EQ(p->flags, kVstParameterUsesFloatStep);
            EXPECT_FLOAT_EQ(p->stepFloat, ms ? 1.0f / 900.0f : 0.0001f) << info.name;
            EXPECT_FLOAT_EQ(p->smallStepFloat, ms ? 1.0f / 900.0f : 0.0001f) << info.name;
            EXPECT_FLOAT_EQ(p->largeStepFloat, ms ? 1.0f / 90.0f : 0.1f) << info.name;
            break;
        }
        }
    }
    EXPECT_EQ(host.paramName(0), "Main In");
    EXPECT_EQ(host.paramName(95), "CC# Mod Sens");
    for (VstInt32 i : {-2, -1, 48, 95, 96, 1000}) EXPECT_FALSE(properties(i)) << i;
}

TEST_F(Parameters, IndicesBeyondTheTableGetNoTextAndReachNoStorage) {
    float before[96];
    for (int i = 0; i < 96; ++i) before[i] = host.getParameter(i);
    for (int i : {-1, -1000, 96, 97, 100000, std::numeric_limits<int>::min(),
                  std::numeric_limits<int>::max()}) {
        host.setParameter(i, 0.77f);
        EXPECT_EQ(host.getParameter(i), 0.0f) << i;
        for (int op : {effGetParamName, effGetParamDisplay}) {
            char text[32];
            std::memset(text, '#', sizeof text);
            host.dispatch(op, i, 0, text);
            EXPECT_EQ(text[0], '#') << "opcode " << op << " wrote for index " << i;
        }
        EXPECT_EQ(host.paramLabel(i), "") << i;
    }
    for (int i = 0; i < 96; ++i) EXPECT_EQ(host.getParameter(i), before[i]) << i;
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
        host.setParameter(i, 0.25f);
        EXPECT_FLOAT_EQ(host.getParameter(i), i < kNumParams ? 0.25f : 32.5f / 129.0f) << i;
        host.setParameter(i, nan);
        if (i < kNumParams && i != kDlyLTime && i != kDlyRTime) {
            EXPECT_EQ(host.getParameter(i), 0.0f) << i;
        }
    }
}

TEST_F(Parameters, TextsNeverOverrunTheirBound) {
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

// A host reloading a session without chunks sets every saved value, then resumes; what it
// reads back before and after, and across program queries and a restart of processing, is
// what it set (a knob a host shows at another value after a reload is the host's doing).
TEST_F(Parameters, ValuesAHostRestoresStayThroughResumeAndProgramQueries) {
    TestHost saved;
    ASSERT_TRUE(saved.load());
    saved.setParameter(kDlyLFb, 0.68f);
    saved.setParameter(kMainMix, 0.3f);
    saved.setParameter(kNumParams + kDlyLFb, 20.5f / 129.0f); // a learned controller
    std::vector<float> session(96);
    for (int i = 0; i < 96; ++i) session[i] = saved.getParameter(i);

    for (int i = 0; i < 96; ++i) host.setParameter(i, session[i]);
    auto expectSession = [&](const char* when) {
        for (int i = 0; i < 96; ++i) EXPECT_FLOAT_EQ(host.getParameter(i), session[i]) << when << i;
    };
    expectSession("before resume: ");
    host.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    host.dispatch(effSetBlockSize, 0, 256);
    host.dispatch(effMainsChanged, 0, 1);
    expectSession("after resume: ");
    EXPECT_EQ(host.dispatch(effGetProgram), 0);
    host.dispatch(effSetProgram, 0, 0);
    expectSession("after setting program 0: ");
    std::vector<float> left(256, 0.1f), right(256, -0.1f), outLeft(256), outRight(256);
    host.process(left, right, outLeft, outRight, 256);
    host.dispatch(effMainsChanged, 0, 0);
    host.dispatch(effMainsChanged, 0, 1);
    expectSession("after a block and a restart: ");
}
