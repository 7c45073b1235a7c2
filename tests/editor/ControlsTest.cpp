// SPDX-License-Identifier: GPL-3.0-or-later
// The panel's own controls driven with mouse events as the window delivers them: the
// knobs' accelerated drag, fine adjustment, defaults, the switches, the step buttons'
// multipliers, the wheel, and the gestures the host sees.
#include "EditorFixture.h"

#include "editor/CAnimKnob2.h"
#include "editor/DrellKickButton.h"

using namespace VSTGUI;

TEST_F(EditorFixture, KnobDragsFollowTheAcceleratedLinearLaw) {
    struct Step {
        int dx, dy, buttons;
    };
    struct Row {
        const char* what;
        int pressButtons;
        std::vector<Step> path;
        float moved; // value change from 0.5
    };
    const Row rows[] = {
        {"10 px up in one step", kLButton, {{0, -10, kLButton}}, 0.033f},
        {"10 px right twice", kLButton, {{10, 0, kLButton}, {20, 0, kLButton}}, 0.025f},
        {"back to the start: the truncation keeps a pixel",
         kLButton,
         {{10, 0, kLButton}, {0, 0, kLButton}},
         -0.0005f},
        {"Shift at the press: a quarter",
         kLButton | kShift,
         {{0, -10, kLButton | kShift}},
         0.00825f},
        {"down lowers (the truncation rounds toward zero)",
         kLButton,
         {{0, 10, kLButton}},
         -0.0335f},
    };
    open();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        clock.ms += 1000; // no double-click
        drell->setParameter(kFltRes, 0.5f);
        editor->idle();
        const CPoint start = centre(kFltRes);
        press(start, row.pressButtons);
        for (const Step& s : row.path) move({start.x + s.dx, start.y + s.dy}, s.buttons);
        release(start);
        EXPECT_NEAR(drell->getParameter(kFltRes) - 0.5f, row.moved, 1e-6f);
        EXPECT_NEAR(control(kFltRes).getValue() - 0.5f, row.moved, 1e-6f);
    }
}

TEST_F(EditorFixture, ShiftDuringADragChangesThePrecisionWithoutAJump) {
    open();
    drell->setParameter(kMainMix, 0.5f);
    editor->idle();
    const CPoint start = centre(kMainMix);
    press(start);
    move({start.x + 30, start.y});
    const float before = control(kMainMix).getValue();
    move({start.x + 30, start.y}, kLButton | kShift); // Shift goes down, the pointer rests
    EXPECT_FLOAT_EQ(control(kMainMix).getValue(), before);
    move({start.x + 40, start.y}, kLButton | kShift);
    const float fine = control(kMainMix).getValue() - before;
    move({start.x + 40, start.y}, kLButton); // and up again
    const float afterRelease = control(kMainMix).getValue();
    EXPECT_NEAR(afterRelease, before + fine, 1e-6f);
    move({start.x + 50, start.y});
    const float coarse = control(kMainMix).getValue() - afterRelease;
    release(start);
    EXPECT_GT(fine, 0.0f);
    EXPECT_NEAR(coarse / fine, 5.0f, 0.01f) << "range / 5000 against range / 1000";
}

TEST_F(EditorFixture, ADragIsOneGestureAndTellsTheDisplayWhichKnob) {
    open();
    host.edits.clear();
    const CPoint start = centre(kDlyLFb);
    press(start);
    EXPECT_EQ(editor->getEditedIndex(), kDlyLFb);
    move({start.x, start.y - 5});
    move({start.x, start.y - 5});       // no movement, no new value
    move({start.x + 300, start.y - 5}); // far outside the knob, still dragged
    release({start.x + 300, start.y - 5});
    EXPECT_EQ(editor->getEditedIndex(), -1);
    // The press reports the value unchanged, then each step that changed it.
    EXPECT_EQ(gestures(), (Strings{"b3", "a3", "a3", "a3", "e3"}));
}

TEST_F(EditorFixture, ResetToDefaultOnlyWhenItChangesTheValue) {
    struct Row {
        int tag;
        float start;
        bool doubleClick;
        Strings expected;
    };
    const Row rows[] = {
        {kDlyRFbPan, 0.3f, false, {"b6", "a6", "e6"}},    // default 1.0
        {kDlyRFbPan, 1.0f, false, {}},                    // already there
        {kFltMod, 0.9f, true, {"b13", "a13", "e13"}},     // double-click, default 0.5
        {kDlyLRange, 0.0f, false, {"b30", "a30", "e30"}}, // switch, default 1.0
        {kDlyLRange, 1.0f, false, {}},
    };
    drell->setParameter(kDlyLMode, 0.0f); // the range applies in free mode only
    open();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.tag);
        drell->setParameter(row.tag, row.start);
        editor->idle();
        host.edits.clear();
        if (row.doubleClick) {
            click(row.tag);
            clock.ms += 200;
            host.edits.clear();
            click(row.tag);
        } else {
            click(row.tag, kLButton | kControl);
        }
        EXPECT_EQ(gestures(), row.expected);
        EXPECT_FLOAT_EQ(drell->getParameter(row.tag), control(row.tag).getDefaultValue());
    }
    // Two clicks far apart in time are two clicks, not a reset.
    drell->setParameter(kFltMod, 0.9f);
    editor->idle();
    click(kFltMod);
    clock.ms += CAnimKnob2::kDoubleClickMs + 1;
    click(kFltMod);
    EXPECT_FLOAT_EQ(drell->getParameter(kFltMod), 0.9f);
}

TEST_F(EditorFixture, SwitchesStepInFractionsAndKeepTheEndsBeyondTheirEdges) {
    struct Row {
        int tag;
        std::vector<int> xs; // pointer x along the switch, relative to its left edge
        std::vector<float> values;
    };
    const Row rows[] = {
        {kDlyLMode, {2, 20, 200, -50}, {0.0f, 0.5f, 0.0f}},
        {kFltMode, {2, 12, 25, 400}, {0.0f, 1.0f / 3.0f, 2.0f / 3.0f}},
    };
    open();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.tag);
        drell->setParameter(row.tag, 0.0f);
        editor->idle();
        host.edits.clear();
        const CRect r = control(row.tag).getViewSize();
        const int y = r.top + 3;
        press({r.left + row.xs[0], y});
        std::vector<float> seen;
        for (int x : row.xs) {
            move({r.left + x, y});
            const float v = drell->getParameter(row.tag);
            if (seen.empty() || seen.back() != v) seen.push_back(v);
        }
        release({r.left, y});
        EXPECT_EQ(seen, row.values);
        EXPECT_EQ(host.edits.front().opcode, audioMasterBeginEdit);
        EXPECT_EQ(host.edits.back().opcode, audioMasterEndEdit);
    }
    // A change of buttons ends the switch's drag.
    const CRect r = control(kDlyLMode).getViewSize();
    press({r.left + 2, r.top + 3});
    move({r.left + 2, r.top + 3}, kLButton | kShift);
    move({r.left + 20, r.top + 3}, kLButton | kShift);
    EXPECT_EQ(drell->getParameter(kDlyLMode), 0.0f);
    release({r.left + 20, r.top + 3});
}

TEST_F(EditorFixture, StepButtonsReportTheirMultiplierAndThePressOnly) {
    open();
    auto& button = dynamic_cast<DrellKickButton&>(control(63));
    for (const auto& [buttons, multiplier] :
         std::vector<std::pair<int, float>>{{kLButton, 1.0f},
                                            {kLButton | kShift, 10.0f},
                                            {kLButton | kControl, 100.0f},
                                            {kLButton | kShift | kControl, 100.0f}}) {
        press(centre(63), buttons);
        EXPECT_EQ(button.getValue(), 1.0f);
        move({0, 0}, buttons); // outside: off
        EXPECT_EQ(button.getValue(), 0.0f);
        move(centre(63), buttons);
        release(centre(63));
        EXPECT_EQ(button.getValue(), 0.0f);
        EXPECT_EQ(button.getStepMultiplier(), multiplier);
    }
}

TEST_F(EditorFixture, WheelTurnsKnobsAndSwitchesUnderThePointer) {
    open();
    struct Row {
        int tag;
        float start;
        float distance;
        int buttons;
        float expected;
    };
    const Row rows[] = {
        {kMainOut, 0.5f, 1.0f, 0, 0.5f + 1.0f / 32.0f},
        {kMainOut, 0.5f, -2.0f, 0, 0.5f - 2.0f / 32.0f},
        {kMainOut, 0.5f, 1.0f, kShift, 0.5f + 0.1f / 32.0f},
        {kMainOut, 1.0f, 1.0f, 0, 1.0f},
        {kFltType, 0.0f, 1.0f, 0, 1.0f / 3.0f},
        {kFltType, 2.0f / 3.0f, 1.0f, 0, 2.0f / 3.0f},
        {kModLfoWave, 0.4f, 1.0f, 0, 0.2f}, // vertical: up is the position above
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.tag);
        drell->setParameter(row.tag, row.start);
        editor->idle();
        frame().mouseWheel(centre(row.tag), row.distance, row.buttons);
        EXPECT_NEAR(drell->getParameter(row.tag), row.expected, 1e-6f);
    }
    // The invisible delay-time knob: a tenth as far with Shift.
    drell->setParameter(kDlyLMode, 0.0f);
    drell->setParameter(kDlyLTime, 0.25f);
    editor->idle();
    frame().mouseWheel(centre(kDlyLTime), 1.0f, kShift);
    EXPECT_NEAR(control(kDlyLTime).getValue(), 0.5f + 0.00008f, 1e-6f);
}
