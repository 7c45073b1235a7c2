// SPDX-License-Identifier: GPL-3.0-or-later
// MIDI control changes driving sound parameters, learn and clear modes, and the host's
// controller-assignment parameters.
#include "engine/Drell.h"
#include "presets/PresetSystemEvents.h"
#include "support/FakeServices.h"
#include "support/MidiEvents.h"

#include <gtest/gtest.h>

namespace {

class EventRecorder final : public PresetSystemEvents {
public:
    int learnEnded = 0;
    int clearEnded = 0;
    void onProgramNameChanged(std::int32_t, const char*) override {}
    void onLearnEnded() override { ++learnEnded; }
    void onClearEnded() override { ++clearEnded; }
};

class ControllerMap : public ::testing::Test {
protected:
    ControllerMap() { effect.setPresetSystemEvents(&recorder); }

    void send(unsigned char status, unsigned char controller, unsigned char value) {
        MidiEventList<> list{{status, controller, value}};
        EXPECT_EQ(effect.processEvents(list.events()), 1);
    }

    FakeServices fakes;
    Drell effect{nullptr, fakes.services()};
    EventRecorder recorder;
};

} // namespace

TEST_F(ControllerMap, ControlChangeOnAnyChannelDrivesTheBoundParameter) {
    for (unsigned char channel = 0; channel < 16; ++channel) {
        const unsigned char status = 0xB0 | channel;
        send(status, 20, 127);
        EXPECT_EQ(effect.getParameter(0), 1.0f) << "channel " << int(channel);
        send(status, 20, 0);
        EXPECT_EQ(effect.getParameter(0), 0.0f) << "channel " << int(channel);
        send(status, 20, 64);
        EXPECT_FLOAT_EQ(effect.getParameter(0), 64.0f / 127.0f) << "channel " << int(channel);
    }
    // The value also lands in the current program.
    EXPECT_FLOAT_EQ(effect.getProgramAt(effect.getCurrentProgramIndex())->getParameter(0),
                    64.0f / 127.0f);
    // Parameter 1 has controller 22 and parameter 2 controller 21, not the reverse.
    send(0xB4, 22, 127);
    EXPECT_EQ(effect.getParameter(1), 1.0f);
    send(0xB4, 21, 0);
    EXPECT_EQ(effect.getParameter(2), 0.0f);
}

TEST_F(ControllerMap, OtherMessagesAndOutOfRangeBytesAreHarmless) {
    send(0xB0, 20, 64);
    const float before = effect.getParameter(0);
    send(0x90, 20, 127);  // note on
    send(0xE0, 20, 127);  // pitch bend
    send(0xB0, 200, 127); // controller byte beyond 127
    EXPECT_EQ(effect.getParameter(0), before) << "a message other than a control change moved it";
    send(0xB0, 20, 200); // a data byte with the top bit set counts as negative: 0
    EXPECT_EQ(effect.getParameter(0), 0.0f);
    EXPECT_EQ(effect.processEvents(nullptr), 0);
}

TEST_F(ControllerMap, LearnBindsTheLastTouchedParameterAndEnds) {
    effect.startLearn();
    effect.setParameter(0, 0.3f); // touched first, then the last touch wins
    effect.setParameter(7, 0.2f);
    send(0xB0, 121, 127);
    EXPECT_TRUE(effect.isLearning()) << "mode controller 121 must not end learn mode";
    EXPECT_EQ(effect.getParameterOfController(121), kNotAssigned);
    send(0xB3, 20, 127); // parameter 0's controller
    EXPECT_EQ(effect.getControllerOfParameter(7), 20);
    EXPECT_EQ(effect.getParameterOfController(20), 7);
    EXPECT_EQ(effect.getControllerOfParameter(0), kNotAssigned) << "the former holder keeps it";
    EXPECT_FALSE(effect.isLearning());
    EXPECT_EQ(recorder.learnEnded, 1) << "the editor's learn button was not switched off";
    EXPECT_EQ(effect.getParameter(7), 1.0f) << "the learning message should also set the value";
    send(0xB0, 27, 0); // parameter 7's former controller no longer drives it
    EXPECT_EQ(effect.getParameter(7), 1.0f);
    EXPECT_EQ(effect.getParameterOfController(27), kNotAssigned);

    effect.startLearn(); // armed again, nothing touched yet
    send(0xB0, 1, 127);
    EXPECT_TRUE(effect.isLearning());
    EXPECT_EQ(effect.getParameterOfController(1), kNotAssigned);
}

TEST_F(ControllerMap, ClearRemovesTheTouchedParametersBindingAndEnds) {
    effect.startClear();
    effect.setParameter(3, 0.25f);
    EXPECT_EQ(effect.getControllerOfParameter(3), kNotAssigned);
    EXPECT_FALSE(effect.isClearing());
    EXPECT_EQ(recorder.clearEnded, 1);
    send(0xB0, 23, 127);
    EXPECT_EQ(effect.getParameter(3), 0.25f) << "the cleared controller still drives it";
    // Only the first touch clears.
    effect.setParameter(4, 0.5f);
    EXPECT_EQ(effect.getControllerOfParameter(4), 24);
}

TEST_F(ControllerMap, HostAssignmentParametersBindAndReadBack) {
    const int p = 5;
    effect.setParameter(kNumParams + p, 1.0f);
    EXPECT_EQ(effect.getControllerOfParameter(p), kNotAssigned);
    EXPECT_EQ(effect.getParameter(kNumParams + p), 1.0f);
    effect.setParameter(kNumParams + p, 0.0f);
    EXPECT_EQ(effect.getControllerOfParameter(p), 0);
    EXPECT_FLOAT_EQ(effect.getParameter(kNumParams + p), 0.5f / 129.0f);
    for (int cc = 0; cc < 128; ++cc) {
        effect.setParameter(kNumParams + p, (cc + 0.5f) / 129.0f);
        ASSERT_EQ(effect.getControllerOfParameter(p), cc) << "value of controller " << cc;
        EXPECT_FLOAT_EQ(effect.getParameter(kNumParams + p), (cc + 0.5f) / 129.0f);
    }
}
