// SPDX-License-Identifier: GPL-3.0-or-later
// The effect's events reach the editor from any thread: host automation and MIDI learn run
// on their own threads while the user-interface thread opens, idles, drags and closes the
// window. Run under ThreadSanitizer, this finds any unsynchronised access.
#include "EditorFixture.h"

#include "support/MidiEvents.h"

#include <atomic>
#include <cmath>
#include <thread>

using namespace VSTGUI;

TEST_F(EditorFixture, AutomationAndMidiLearnOnOtherThreadsWhileTheWindowComesAndGoes) {
    resumeAt(*drell, 44100.0f);
    std::atomic<bool> stop{false};

    // The host's automation thread: every sound parameter, the tempo, program changes.
    std::thread automation([&] {
        for (int n = 0; !stop.load(); ++n) {
            drell->setParameter(n % kNumParams, float(n % 101) / 100.0f);
            if (n % 97 == 0) drell->setTempo(float(n % 50) / 50.0f);
        }
    });
    // The audio thread: blocks, and MIDI control changes that complete learning.
    std::thread audio([&] {
        std::vector<float> in(64, 0.5f), out(64);
        for (int n = 0; !stop.load(); ++n) {
            MidiEventList<2> cc{{0xB0, static_cast<unsigned char>(n % 64), 64},
                                {0xB3, 7, static_cast<unsigned char>(n % 128)}};
            drell->processEvents(cc.events());
            run(*drell, in.data(), in.data(), 64, out.data(), out.data());
        }
    });

    // The user-interface thread: this one.
    for (int round = 0; round < 40; ++round) {
        open();
        drell->startLearn();
        drell->setLearnTarget(round % kNumParams);
        for (int pass = 0; pass < 10; ++pass) {
            const CPoint knob = centre(kMainMix);
            press(knob);
            move({knob.x + pass, knob.y - pass});
            release(knob);
            click(Editor::kLinkTag);
            hover({100 + pass, 30});
            idleAt(clock.ms + 30);
        }
        if (round % 2) drell->selectProgram(round % 61);
        editor->close();
        editor->idle(); // closed: harmless
    }
    stop.store(true);
    automation.join();
    audio.join();

    // After the storm the window shows the effect's values again.
    open();
    editor->idle();
    for (int tag : {0, 1, 2, 11, 12, 17, 18, 21, 22, 39, 40, 47})
        EXPECT_FLOAT_EQ(control(tag).getValue(), drell->getParameter(tag)) << tag;
    EXPECT_FLOAT_EQ(control(kDlyLTime).getValue(), std::sqrt(drell->getParameter(kDlyLTime)));
}
