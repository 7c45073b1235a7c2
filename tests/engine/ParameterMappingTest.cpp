// SPDX-License-Identifier: GPL-3.0-or-later
// From parameter values to working values: delay range and mode side effects, tempo sync,
// out-of-range reports, the editor's display values and notifications.
#include "engine/DrellEditorEvents.h"
#include "support/EffectHost.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string text(Drell& drell, VstInt32 index) {
    char buffer[64] = {};
    drell.getParameterDisplay(index, buffer);
    return buffer;
}

struct Display {
    int digits = -7, point = -7, kind = -7, num = -7, den = -7;
    bool isSigned = false;
};

// The display values of index; the sign starts as isSigned (some values leave it alone).
Display display(Drell& drell, VstInt32 index, bool isSigned = false) {
    Display d;
    d.isSigned = isSigned;
    drell.getDisplayValue(&d.digits, &d.point, index, &d.isSigned, &d.kind, &d.num, &d.den);
    return d;
}

class EditorEvents : public DrellEditorEvents {
public:
    void setParameter(std::int32_t index, float value) override {
        changes.push_back({index, value});
    }
    void onProgramSelect() override { events += "select "; }
    void onTempoChanged(float tempo) override {
        events += "tempo ";
        lastTempo = tempo;
    }
    std::vector<std::pair<std::int32_t, float>> changes;
    std::string events;
    float lastTempo = 0.0f;
};

class Mapping : public ::testing::Test {
protected:
    void SetUp() override { drell = host.make(); }
    // Note mode for the left line with the note value num/den (table indices).
    void leftNote(int numIdx, int denIdx) {
        drell->setParameter(kDlyLNum, centre(numIdx, 5));
        drell->setParameter(kDlyLDen, centre(denIdx, 13));
        drell->setParameter(kDlyLMode, 1.0f);
    }
    EffectHost host;
    std::unique_ptr<Drell> drell;
};

} // namespace

TEST_F(Mapping, TimeIsIgnoredAndNotStoredInNoteMode) {
    leftNote(0, 3);
    const float stored = drell->getParameter(kDlyLTime);
    drell->setParameter(kDlyLTime, 0.9f);
    EXPECT_EQ(drell->getParameter(kDlyLTime), stored);
    EXPECT_EQ(text(*drell, kDlyLTime), "500.000000") << "1/4 at 120 bpm";
}

TEST_F(Mapping, RangeChangeKeepsTheTimeOrClampsIt) {
    drell->setParameter(kDlyLTime, 0.4f); // 2000 ms of 5000
    drell->setParameter(kDlyLRange, centre(0, 3));
    EXPECT_FLOAT_EQ(drell->getParameter(kDlyLTime), 1.0f);
    EXPECT_EQ(text(*drell, kDlyLTime), "100.000000");
    EXPECT_EQ(text(*drell, kDlyLRange), "100");
    drell->setParameter(kDlyLRange, centre(2, 3));
    EXPECT_FLOAT_EQ(drell->getParameter(kDlyLTime), 0.02f);
    EXPECT_EQ(text(*drell, kDlyLTime), "100.000000");
    EXPECT_EQ(text(*drell, kDlyRTime), "2000.000000") << "the other side is untouched";
}

TEST_F(Mapping, SwitchingToTimeFitsARangeToTheRunningTime) {
    leftNote(1, 5); // 3/8 at 120 bpm
    EXPECT_EQ(text(*drell, kDlyLTime), "750.000000");
    drell->setParameter(kDlyLMode, 0.0f);
    EXPECT_EQ(text(*drell, kDlyLRange), "1000");
    EXPECT_FLOAT_EQ(drell->getParameter(kDlyLRange), centre(1, 3));
    EXPECT_FLOAT_EQ(drell->getParameter(kDlyLTime), 0.75f);
    EXPECT_EQ(text(*drell, kDlyLTime), "750.000000");
}

TEST_F(Mapping, TempoSyncedValuesAreClampedAndReported) {
    drell->setTempo(0.0f); // 30 bpm
    leftNote(4, 0);        // 9/1: 72000 ms
    EXPECT_EQ(text(*drell, kDlyLTime), "5000.000000");
    EXPECT_TRUE(drell->isSyncOutOfRange(1));
    EXPECT_TRUE(drell->isSyncOutOfRange(2)) << "1/1 at 30 bpm, whatever the mode";
    drell->setTempo(90.0f / 370.0f);
    EXPECT_FALSE(drell->isSyncOutOfRange(2)) << "1/1 at 120 bpm is 2000 ms";
    drell->setTempo(0.0f);
    drell->setParameter(kModLfoMode, 1.0f);
    drell->setParameter(kModLfoNum, centre(4, 5));  // 8
    drell->setParameter(kModLfoDen, centre(0, 13)); // 1: 0.015625 Hz
    EXPECT_EQ(text(*drell, kModLfoRate), "0.015625");
    EXPECT_FALSE(drell->isSyncOutOfRange(4));
    drell->setTempo(1.0f);                           // 400 bpm
    drell->setParameter(kModLfoNum, centre(0, 5));   // 1
    drell->setParameter(kModLfoDen, centre(12, 13)); // 96: 160 Hz
    EXPECT_EQ(text(*drell, kModLfoRate), "15.00000");
    EXPECT_TRUE(drell->isSyncOutOfRange(4));
    EXPECT_FALSE(drell->isSyncOutOfRange(3));
    EXPECT_FALSE(drell->isSyncOutOfRange(0));
}

TEST_F(Mapping, CutoffFollowsHalfTheSampleRate) {
    EXPECT_EQ(text(*drell, kFltCutoff), "16000");
    resumeAt(*drell, 22050.0f);
    drell->setParameter(kFltCutoff, 1.0f);
    EXPECT_EQ(text(*drell, kFltCutoff), "11025");
    drell->setParameter(kFltCutoff, 0.0f);
    EXPECT_EQ(text(*drell, kFltCutoff), "50");
}

TEST_F(Mapping, DisplayValuesForTheEditor) {
    // -7 marks an output left alone (the sign too: 1 written true, 0 written false).
    struct Row {
        VstInt32 index;
        float value; // set first unless negative
        int digits, point, kind, num, den, sign;
    };
    const Row table[] = {
        {kMainMix, 0.3f, 7030, 0, 2, -7, -7, 0}, // split 70 <> 30
        {kMainMix, 0.0f, 1000, 0, 3, -7, -7, 0},        {kMainMix, 1.0f, 100, 0, 1, -7, -7, 0},
        {kFltCutoff, -1.0f, 1600, 2, 0, -7, -7, 0},   // 16.00 kHz
        {kMainIn, 0.0f, -1000, 3, 0, -7, -7, 1},      // silence: -100.0 dB
        {kDlyLTime, -1.0f, 2000, 0, 0, -7, -7, 0},    // 2000 ms
        {kFltRes, 0.5f, 5000, 1, 0, -7, -7, -7},      // the sign is left alone
        {kDlyRNum, centre(3, 5), 0, 1, -7, 7, 1, -7}, // note values leave sign and kind
        {kDlyRDen, centre(6, 13), 0, 1, -7, 7, 12, -7}, {kModLfoDen, -1.0f, 0, 1, -7, 1, 1, -7},
        {kNumParams + 1, -1.0f, 1200, 3, 0, -7, -7, 0}, // the tempo, 120.0 bpm
    };
    for (const Row& row : table) {
        if (row.value >= 0.0f) drell->setParameter(row.index, row.value);
        const Display d = display(*drell, row.index, row.sign != 1); // a write must change it
        const auto where = std::to_string(row.index) + " at " + std::to_string(row.value);
        EXPECT_EQ(d.digits, row.digits) << where;
        EXPECT_EQ(d.point, row.point) << where;
        EXPECT_EQ(d.kind, row.kind) << where;
        EXPECT_EQ(d.num, row.num) << where;
        EXPECT_EQ(d.den, row.den) << where;
        EXPECT_EQ(d.isSigned, row.sign != 0) << where;
    }
    drell->getDisplayValue(nullptr, nullptr, kMainIn, nullptr, nullptr, nullptr, nullptr);
    for (VstInt32 bad : {-1, 48, 50, 1000}) display(*drell, bad); // nothing to crash on
}

TEST_F(Mapping, EditorHearsParametersTempoAndProgramSelection) {
    EditorEvents events;
    drell->setEditorEvents(&events);
    drell->setParameter(kMainOut, 0.25f);
    ASSERT_EQ(events.changes.size(), 1u);
    EXPECT_EQ(events.changes[0].first, kMainOut);
    events.events.clear();
    drell->setTempo(0.0f);
    EXPECT_EQ(events.events, "tempo ");
    EXPECT_FLOAT_EQ(events.lastTempo, 30.0f);
    drell->setTempo(std::nanf(""));
    EXPECT_EQ(drell->getTempo(), 0.0f) << "a NaN tempo must be ignored";
    events.events.clear();
    drell->selectProgram(3);
    EXPECT_EQ(events.events.rfind("select ", 0), 0u) << "the editor hears of the program first";
    EXPECT_EQ(events.events.substr(events.events.size() - 6), "tempo ")
        << "the program's tempo-synchronised values are recomputed last";
    drell->setEditorEvents(nullptr);
}
