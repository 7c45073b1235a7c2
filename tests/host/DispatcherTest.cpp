// SPDX-License-Identifier: GPL-3.0-or-later
// The dispatcher as the host meets it: one contract table of opcodes and their answers, and
// the opcodes whose answers depend on the host.
#include "testhost/TestHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace {

class Dispatcher : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host.load()); }
    TestHost host;
};

} // namespace

TEST_F(Dispatcher, AnswersItsContract) {
    struct Row {
        VstInt32 opcode;
        VstInt32 index;
        VstIntPtr value;
        VstIntPtr answer;
        const char* what;
    };
    const Row table[] = {
        {effOpen, 0, 0, 0, "open"},
        {effIdentify, 0, 0, 0x4E764566, "identify answers NvEf"},
        {effGetVstVersion, 0, 0, 2400, "interface version"},
        {effGetPlugCategory, 0, 0, kPlugCategUnknown, "category"},
        {effGetTailSize, 0, 0, 0, "tail size"},
        {effGetCurrentMidiProgram, 0, 0, -1, "no MIDI program"},
        {effSetTotalSampleToProcess, 0, 12345, 12345, "samples to process"},
        {effCanBeAutomated, 0, 0, 1, "sound parameter automatable"},
        {effCanBeAutomated, 95, 0, 1, "controller parameter automatable"},
        {effGetProgram, 0, 0, 0, "one host program"},
        {effSetProgram, 0, 5, 0, "program change ignored"},
        {effGetProgram, 0, 0, 0, "still program 0 after a change"},
        {effSetProgram, 0, -3, 0, "negative program ignored"},
        {effString2Parameter, 0, 0, 0, "no text entry"},
        // The editor, its window closed: the rectangle and the knob mode answer; close,
        // idle and keys do nothing.
        {effEditGetRect, 0, 0, 1, "editor rectangle"},
        {effEditClose, 0, 0, 0, "close without open"},
        {effEditIdle, 0, 0, 0, "idle while closed"},
        {effEditKeyDown, 'a', 0, 0, "no keys while closed"},
        {effEditKeyUp, 'a', 0, 0, "no keys while closed"},
        {effSetEditKnobMode, 0, 2, 1, "knob mode"},
        // No chunk: the host keeps the parameter values.
        {effGetChunk, 0, 0, 0, "no chunk"},
        {effSetChunk, 0, 16, 0, "no chunk taken"},
        {effMainsChanged, 0, 1, 0, "resume"},
        {effMainsChanged, 0, 0, 0, "suspend"},
        {-1, 0, 0, 0, "negative opcode"},
        {100000, 0, 0, 0, "opcode far beyond the table"},
    };
    char text[512];
    for (const Row& row : table) {
        std::memset(text, 0, sizeof text);
        void* ptr = text;
        EXPECT_EQ(host.dispatch(row.opcode, row.index, row.value, ptr), row.answer) << row.what;
    }
    EXPECT_EQ(host.effect()->flags, effFlagsHasEditor | effFlagsCanReplacing);
    for (VstInt32 op : {effGetEffectName, effGetVendorString, effGetProductString}) {
        std::memset(text, 'x', sizeof text);
        EXPECT_EQ(host.dispatch(op, 0, 0, text), 1) << "opcode " << op;
        EXPECT_GT(std::strlen(text), 0u) << "opcode " << op;
        EXPECT_LT(std::strlen(text), op == effGetEffectName ? 32u : 64u) << "opcode " << op;
    }
    host.dispatch(effGetEffectName, 0, 0, text);
    EXPECT_STREQ(text, "Tessel");

    // Opcodes the dispatcher does not list answer 0 and write nothing.
    const std::set<int> listed = {0,  1,  2,  3,  4,  5,  6,  7,  8,  10, 11, 12, 13,
                                  14, 15, 19, 22, 23, 24, 25, 26, 29, 35, 45, 47, 48,
                                  49, 51, 52, 56, 58, 59, 60, 61, 63, 69, 73};
    for (int op = 0; op < 100; ++op) {
        if (listed.count(op)) continue;
        std::memset(text, 0, sizeof text);
        EXPECT_EQ(host.dispatch(op, 0, 0, text, 0.0f), 0) << "opcode " << op;
        EXPECT_EQ(text[0], 0) << "opcode " << op << " wrote into the host's buffer";
    }
    EXPECT_EQ(host.close(), 1);
}

TEST_F(Dispatcher, OpcodesThatWriteIgnoreNullPointersAndClearSpeakerPointers) {
    for (int op : {effSetProgramName, effGetProgramName, effGetParamLabel, effGetParamDisplay,
                   effGetParamName, effEditGetRect, effProcessEvents, effGetProgramNameIndexed,
                   effGetEffectName, effGetVendorString, effGetProductString, effCanDo,
                   effGetParameterProperties, effGetSpeakerArrangement})
        EXPECT_EQ(host.dispatch(op, 0, 0, nullptr), 0) << "opcode " << op;
    // The speaker arrangement pointers are cleared.
    int dummy = 0;
    void* input = &dummy;
    void* output = &dummy;
    EXPECT_EQ(
        host.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input), &output),
        0);
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(output, nullptr);
}

TEST_F(Dispatcher, CanDoReceiveMidiFollowsTheHostsSendAnswer) {
    for (VstIntPtr answer : {1, -1, 0}) {
        host.canDoAnswer = answer;
        host.clearCalls();
        char receive[] = "receiveVstMidiEvent";
        EXPECT_EQ(host.dispatch(effCanDo, 0, 0, receive), answer != 0 ? 1 : 0) << answer;
        auto asked = host.callsOf(audioMasterCanDo);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].text, "sendVstMidiEvent");
    }
    host.canDoAnswer = 1;
    for (const char* other : {"sendVstMidiEvent", "receiveVstEvents", "bypass", "", "x"}) {
        char text[64];
        std::strcpy(text, other);
        EXPECT_EQ(host.dispatch(effCanDo, 0, 0, text), 0) << other;
    }
}

TEST_F(Dispatcher, ResumeAsksForMidiAndTheTempoExceptFromTheAdapter) {
    // The adapter host gets no tempo request at resume; a near name is not the adapter.
    for (const char* product : {"Tessel Test Host", "VSTAUAdapter", "VSTAUAdapter2"}) {
        TestHost other;
        other.productString = product;
        other.timeInfo = VstTimeInfo{};
        ASSERT_TRUE(other.load());
        other.clearCalls();
        other.dispatch(effMainsChanged, 0, 1);
        EXPECT_EQ(other.callsOf(audioMasterWantMidi).size(), 1u) << product;
        EXPECT_EQ(other.callsOf(audioMasterGetTime).empty(), std::string(product) == "VSTAUAdapter")
            << product;
    }
}
