// Every opcode of the dispatcher table, and what the rest answer.
#include "testhost/TestHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>

namespace {

class Dispatcher : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host.load()); }
    TestHost host;
};

} // namespace

TEST_F(Dispatcher, AnswersTheFixedOpcodes) {
    EXPECT_EQ(host.dispatch(effOpen), 0);
    EXPECT_EQ(host.dispatch(effIdentify), 0x4E764566) << "effIdentify answers NvEf";
    EXPECT_EQ(host.dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(host.dispatch(effGetPlugCategory), kPlugCategUnknown);
    EXPECT_EQ(host.dispatch(effGetVendorVersion), 0);
    EXPECT_EQ(host.dispatch(effGetTailSize), 0);
    EXPECT_EQ(host.dispatch(effGetCurrentMidiProgram), -1);
    EXPECT_EQ(host.dispatch(effSetTotalSampleToProcess, 0, 12345), 12345);
    for (int i : {0, 47, 48, 95}) EXPECT_EQ(host.dispatch(effCanBeAutomated, i), 1) << i;
}

TEST_F(Dispatcher, NamesEffectVendorAndProduct) {
    char text[256];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(host.dispatch(effGetEffectName, 0, 0, text), 1);
    EXPECT_STREQ(text, "Tessel");
    EXPECT_EQ(host.dispatch(effGetVendorString, 0, 0, text), 1);
    EXPECT_GT(std::strlen(text), 0u);
    EXPECT_LT(std::strlen(text), 64u);
    EXPECT_EQ(host.dispatch(effGetProductString, 0, 0, text), 1);
    EXPECT_GT(std::strlen(text), 0u);
    EXPECT_LT(std::strlen(text), 64u);
}

TEST_F(Dispatcher, HandsOutNoChunkAndLeavesPtrAlone) {
    void* data = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(host.dispatch(effGetChunk, 0, 0, &data), 0);
    EXPECT_EQ(data, reinterpret_cast<void*>(0x1234));
    char bytes[16] = {};
    EXPECT_EQ(host.dispatch(effSetChunk, 0, sizeof bytes, bytes), 0);
}

TEST_F(Dispatcher, OneHostProgramWhateverHappens) {
    EXPECT_EQ(host.dispatch(effGetProgram), 0);
    host.dispatch(effSetProgram, 0, 0);
    host.dispatch(effSetProgram, 0, 5);
    host.dispatch(effSetProgram, 0, -3);
    EXPECT_EQ(host.dispatch(effGetProgram), 0);
}

TEST_F(Dispatcher, CanDoReceiveMidiFollowsTheHostsSendAnswer) {
    char receive[] = "receiveVstMidiEvent";
    for (VstIntPtr answer : {1, -1}) {
        host.canDoAnswer = answer;
        host.clearCalls();
        EXPECT_EQ(host.dispatch(effCanDo, 0, 0, receive), 1) << "host answered " << answer;
        auto asked = host.callsOf(audioMasterCanDo);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].text, "sendVstMidiEvent");
    }
    host.canDoAnswer = 0;
    EXPECT_EQ(host.dispatch(effCanDo, 0, 0, receive), 0);
    host.canDoAnswer = 1;
    for (const char* other : {"sendVstMidiEvent", "receiveVstEvents", "bypass", "", "x"}) {
        char text[64];
        std::strcpy(text, other);
        EXPECT_EQ(host.dispatch(effCanDo, 0, 0, text), 0) << other;
    }
}

TEST_F(Dispatcher, SpeakerArrangementPointersAreCleared) {
    int dummy = 0;
    void* input = &dummy;
    void* output = &dummy;
    EXPECT_EQ(
        host.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input), &output),
        0);
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(output, nullptr);
}

TEST_F(Dispatcher, NoEditorMeansEditorOpcodesAnswerZero) {
    EXPECT_EQ(host.effect()->flags & effFlagsHasEditor, 0);
    ERect* rect = reinterpret_cast<ERect*>(0x1);
    EXPECT_EQ(host.dispatch(effEditGetRect, 0, 0, &rect), 0);
    EXPECT_EQ(rect, reinterpret_cast<ERect*>(0x1));
    EXPECT_EQ(host.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(0x42)), 0);
    EXPECT_EQ(host.dispatch(effEditClose), 0);
    EXPECT_EQ(host.dispatch(effEditIdle), 0);
    EXPECT_EQ(host.dispatch(effEditKeyDown, 'a', 0, nullptr, 0.0f), 0);
    EXPECT_EQ(host.dispatch(effEditKeyUp, 'a', 0, nullptr, 0.0f), 0);
    EXPECT_EQ(host.dispatch(effSetEditKnobMode, 0, 2), 0);
}

TEST_F(Dispatcher, UnlistedOpcodesAnswerZero) {
    const std::set<int> listed = {0,  1,  2,  3,  4,  5,  6,  7,  8,  10, 11, 12, 13,
                                  14, 15, 19, 22, 23, 24, 25, 26, 29, 35, 45, 47, 48,
                                  49, 51, 52, 56, 58, 59, 60, 61, 63, 69, 73};
    char buffer[512];
    for (int op = 0; op < 100; ++op) {
        if (listed.count(op)) continue;
        std::memset(buffer, 0, sizeof buffer);
        EXPECT_EQ(host.dispatch(op, 0, 0, buffer, 0.0f), 0) << "opcode " << op;
    }
    EXPECT_EQ(host.dispatch(-1), 0);
    EXPECT_EQ(host.dispatch(100000), 0);
}

TEST_F(Dispatcher, OpcodesThatWriteIgnoreNullPointers) {
    for (int op : {effSetProgramName, effGetProgramName, effGetParamLabel, effGetParamDisplay,
                   effGetParamName, effEditGetRect, effProcessEvents, effGetProgramNameIndexed,
                   effGetEffectName, effGetVendorString, effGetProductString, effCanDo,
                   effGetParameterProperties, effGetSpeakerArrangement})
        EXPECT_EQ(host.dispatch(op, 0, 0, nullptr), 0) << "opcode " << op;
}

TEST_F(Dispatcher, CloseReturnsOne) {
    EXPECT_EQ(host.close(), 1);
}

TEST_F(Dispatcher, SampleRateWaitsForResume) {
    host.dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    host.dispatch(effSetBlockSize, 0, 64);
    // Nothing to observe until resume; the call itself must be harmless.
    host.dispatch(effMainsChanged, 0, 1);
    host.dispatch(effMainsChanged, 0, 0);
    SUCCEED();
}

TEST_F(Dispatcher, ResumeAsksForMidi) {
    host.clearCalls();
    host.dispatch(effMainsChanged, 0, 1);
    auto want = host.callsOf(audioMasterWantMidi);
    ASSERT_EQ(want.size(), 1u);
    EXPECT_EQ(want[0].value, 1);
}

TEST(DispatcherHost, ProductStringVstauAdapterIsRecognised) {
    // The adapter host gets no tempo request at resume.
    TestHost adapter;
    adapter.productString = "VSTAUAdapter";
    adapter.timeInfo = VstTimeInfo{};
    adapter.timeInfo->tempo = 90.0;
    ASSERT_TRUE(adapter.load());
    adapter.clearCalls();
    adapter.dispatch(effMainsChanged, 0, 1);
    EXPECT_TRUE(adapter.callsOf(audioMasterGetTime).empty());

    TestHost near;
    near.productString = "VSTAUAdapter2";
    ASSERT_TRUE(near.load());
    EXPECT_EQ(near.callsOf(audioMasterGetProductString).size(), 1u);
}
