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

Display display(Drell& drell, VstInt32 index) {
    Display d;
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

TEST_F(Mapping, TempoFromTheEditor) {
    drell->setTempo(0.5f);
    EXPECT_FLOAT_EQ(drell->getTempo(), 0.5f);
    Display d = display(*drell, 49);
    EXPECT_EQ(d.digits, 2150) << "215 bpm on the display";
    EXPECT_EQ(d.point, 3);
    drell->setTempo(std::nanf(""));
    EXPECT_FLOAT_EQ(drell->getTempo(), 0.5f) << "a NaN tempo must be ignored";
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
    drell->setParameter(kMainMix, 0.3f);
    Display d = display(*drell, kMainMix);
    EXPECT_EQ(d.kind, 2);
    EXPECT_EQ(d.digits, 7030);
    EXPECT_FALSE(d.isSigned);
    drell->setParameter(kMainMix, 0.0f);
    d = display(*drell, kMainMix);
    EXPECT_EQ(d.kind, 3);
    EXPECT_EQ(d.digits, 1000);
    drell->setParameter(kMainMix, 1.0f);
    d = display(*drell, kMainMix);
    EXPECT_EQ(d.kind, 1);
    EXPECT_EQ(d.digits, 100);

    d = display(*drell, kFltCutoff); // 16000 Hz
    EXPECT_EQ(d.digits, 1600);
    EXPECT_EQ(d.point, 2);
    EXPECT_EQ(d.kind, 0);

    drell->setParameter(kMainIn, 0.0f); // silence: -100 dB
    d = display(*drell, kMainIn);
    EXPECT_EQ(d.digits, -1000);
    EXPECT_EQ(d.point, 3);
    EXPECT_TRUE(d.isSigned);

    d = display(*drell, kDlyLTime); // 2000 ms
    EXPECT_EQ(d.digits, 2000);
    EXPECT_EQ(d.point, 0);

    Display res;
    res.isSigned = true;
    drell->getDisplayValue(&res.digits, &res.point, kFltRes, &res.isSigned, &res.kind, &res.num,
                           &res.den);
    EXPECT_TRUE(res.isSigned) << "the resonance leaves the sign flag alone";

    drell->setParameter(kDlyRNum, centre(3, 5));
    drell->setParameter(kDlyRDen, centre(6, 13));
    d = display(*drell, kDlyRNum);
    EXPECT_EQ(d.num, 7);
    EXPECT_EQ(d.den, 12);
    EXPECT_EQ(d.kind, -7) << "note values leave the kind alone";
    d = display(*drell, kModLfoDen);
    EXPECT_EQ(d.num, 1);
    EXPECT_EQ(d.den, 1);

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
    events.events.clear();
    drell->selectProgram(3);
    EXPECT_EQ(events.events.rfind("select ", 0), 0u) << "the editor hears of the program first";
    EXPECT_EQ(events.events.substr(events.events.size() - 6), "tempo ")
        << "the program's tempo-synchronised values are recomputed last";
    drell->setEditorEvents(nullptr);
}
