// SPDX-License-Identifier: GPL-3.0-or-later
// What the editor does with a changed control: linking the delay lines, the step buttons in
// free and note mode, and knobs that spring back while their line follows the tempo.
#include "EditorFixture.h"

#include "engine/TempoSync.h"

#include <cmath>

using namespace VSTGUI;

namespace {
// The nine values linking copies from the left line to the right.
const int kLeft[] = {kDlyLFb,    kDlyLFbPan, kDlyLFbInv, kDlyLDlyInv, kDlyLMode,
                     kDlyLRange, kDlyLNum,   kDlyLDen,   kDlyLTime};
const int kRight[] = {kDlyRFb,    kDlyRFbPan, kDlyRFbInv, kDlyRDlyInv, kDlyRMode,
                      kDlyRRange, kDlyRNum,   kDlyRDen,   kDlyRTime};
} // namespace

TEST_F(EditorFixture, LinkCopiesTheLeftLineAndUnlinkCopiesNothing) {
    const float left[] = {0.7f, 0.2f, 1.0f, 1.0f, 0.0f, 0.5f, 0.3f, 0.9f, 0.123f};
    for (int k = 0; k < 9; ++k) {
        drell->setParameter(kLeft[k], left[k]);
        drell->setParameter(kRight[k], 0.0f);
    }
    open();
    click(Editor::kLinkTag);
    ASSERT_TRUE(editor->isLinked());
    for (int k = 0; k < 9; ++k) {
        const float want = kRight[k] == kDlyRFbPan ? 1.0f - left[k] : left[k];
        EXPECT_FLOAT_EQ(drell->getParameter(kRight[k]), want) << "right index " << kRight[k];
    }
    editor->idle();
    EXPECT_FLOAT_EQ(control(kDlyRFb).getValue(), 0.7f) << "the right knobs follow at idle";
    EXPECT_FLOAT_EQ(control(kDlyRTime).getValue(), std::sqrt(0.123f));

    // Linked, the partner follows a knob (a pan mirrored).
    drell->setParameter(kDlyLFbPan, 0.2f);
    editor->idle();
    const CPoint pan = centre(kDlyLFbPan);
    press(pan);
    move({pan.x, pan.y - 10});
    release(pan);
    EXPECT_FLOAT_EQ(drell->getParameter(kDlyRFbPan), 1.0f - drell->getParameter(kDlyLFbPan));

    // Unlinking copies nothing, and the lines move apart from then on.
    for (int k = 0; k < 9; ++k) drell->setParameter(kRight[k], 0.0f);
    click(Editor::kLinkTag);
    EXPECT_FALSE(editor->isLinked());
    for (int k = 0; k < 9; ++k) EXPECT_EQ(drell->getParameter(kRight[k]), 0.0f) << kRight[k];
    press(pan);
    move({pan.x, pan.y - 10});
    release(pan);
    EXPECT_EQ(drell->getParameter(kDlyRFbPan), 0.0f);

    // A program selection unlinks.
    click(Editor::kLinkTag);
    drell->selectProgram(3);
    editor->idle();
    EXPECT_FALSE(editor->isLinked());
    EXPECT_EQ(control(Editor::kLinkTag).getValue(), 0.0f);
}

TEST_F(EditorFixture, StepButtonsStepTimesOrNoteValuesWithWrap) {
    struct Row {
        const char* what;
        int tag;
        int buttons;
        int mode;     // the mode parameter: 0 free, 1 note
        int param;    // the parameter stepped
        float before; // its value before
        float after;
    };
    const float den0 = 0.5f / 13.0f, den12 = 12.5f / 13.0f, num4 = 4.5f / 5.0f;
    const Row rows[] = {
        {"left, right button: +1 ms of the range", 63, kLButton, 0, kDlyLTime, 0.5f, 0.501f},
        {"with Shift +10", 63, kLButton | kShift, 0, kDlyLTime, 0.5f, 0.51f},
        {"with Control +100", 63, kLButton | kControl, 0, kDlyLTime, 0.5f, 0.6f},
        {"left button, stops at 0", 62, kLButton | kControl, 0, kDlyLTime, 0.05f, 0.0f},
        {"right line, stops at 1", 65, kLButton | kControl, 0, kDlyRTime, 0.95f, 1.0f},
        {"note: denominator forward", 63, kLButton, 1, kDlyLDen, den0, 1.5f / 13.0f},
        {"note: Shift steps back and wraps", 63, kLButton | kShift, 1, kDlyLDen, den0, den12},
        {"note: last wraps to first", 63, kLButton, 1, kDlyLDen, den12, den0},
        {"note: numerator back from first", 62, kLButton | kControl, 1, kDlyLNum, 0.1f, num4},
        {"right line numerator", 64, kLButton, 1, kDlyRNum, num4, 0.1f},
        {"LFO note denominator", 67, kLButton, 1, kModLfoDen, den12, den0},
        {"LFO note numerator back", 66, kLButton | kShift, 1, kModLfoNum, 0.1f, num4},
    };
    open();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const int modeParam = row.tag <= 63 ? kDlyLMode : row.tag <= 65 ? kDlyRMode : kModLfoMode;
        drell->setParameter(modeParam, row.mode ? 1.0f : 0.0f);
        drell->setParameter(row.param, row.before);
        host.edits.clear();
        click(row.tag, row.buttons);
        EXPECT_NEAR(drell->getParameter(row.param), row.after, 1e-6f);
        const std::string p = std::to_string(row.param);
        EXPECT_EQ(gestures(), (Strings{"b" + p, "a" + p, "a" + p, "e" + p}))
            << "the stepped value only, as a gesture of its own";
    }
    // In free mode the LFO buttons step 0.001 Hz whatever the multiplier.
    drell->setParameter(kModLfoMode, 0.0f);
    const float rate = std::log(2.0f + 1.0f) / std::log(16.0f); // 2 Hz
    drell->setParameter(kModLfoRate, rate);
    click(67, kLButton | kControl);
    EXPECT_NEAR(std::pow(16.0f, drell->getParameter(kModLfoRate)) - 1.0f, 2.001f, 1e-4f);
}

TEST_F(EditorFixture, KnobsOfALineInNoteModeSpringBack) {
    drell->setParameter(kDlyLMode, 1.0f);
    drell->setParameter(kModLfoMode, 1.0f);
    open();
    for (int tag : {kDlyLTime, kModLfoRate, kDlyLRange}) {
        SCOPED_TRACE(tag);
        const float param = drell->getParameter(tag);
        const float shown = control(tag).getValue();
        const CPoint start = centre(tag);
        press(start);
        move({start.x + 40, start.y - 20});
        release({start.x + 40, start.y - 20});
        EXPECT_EQ(drell->getParameter(tag), param);
        EXPECT_FLOAT_EQ(control(tag).getValue(), shown);
    }
    // Free, the same drag moves the time (squared, in whole thousandths).
    drell->setParameter(kDlyLMode, 0.0f);
    drell->setParameter(kDlyLTime, 0.25f);
    editor->idle();
    const CPoint start = centre(kDlyLTime);
    press(start);
    move({start.x, start.y - 10});
    release(start);
    const float v = 0.5f + 0.033f;
    EXPECT_FLOAT_EQ(drell->getParameter(kDlyLTime), std::floor(v * v * 1000.0f) / 1000.0f);
}

TEST_F(EditorFixture, TempoKnobSetsTheEngineTempoAndFollowsIt) {
    open();
    drell->setTempo(temposync::normOfTempo(120.0f));
    editor->idle();
    const float shown = control(Editor::kTempoTag).getValue();
    EXPECT_FLOAT_EQ(shown * shown, temposync::normOfTempo(120.0f));
    const CPoint start = centre(Editor::kTempoTag);
    press(start);
    move({start.x, start.y - 10});
    release(start);
    const float v = control(Editor::kTempoTag).getValue();
    EXPECT_FLOAT_EQ(drell->getTempo(), v * v);
    EXPECT_EQ(gestures(), Strings{}) << "the tempo is not a host parameter";
}
