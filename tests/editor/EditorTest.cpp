// SPDX-License-Identifier: GPL-3.0-or-later
// The editor as the host's dispatcher meets it: the rectangle, open and close in any order,
// keys, and the knob mode.
#include "EditorFixture.h"

#include "editor/CAnimKnob2.h"
#include "support/ScopedEnv.h"

using namespace VSTGUI;

TEST_F(EditorFixture, RectangleAnswersBeforeAndAfterOpen) {
    ERect* rect = nullptr;
    ASSERT_TRUE(editor->getRect(&rect));
    EXPECT_EQ(rect->right, 875);
    EXPECT_EQ(rect->bottom, 171);
    // Close, idle and keys while closed: tests/host/DispatcherTest.cpp.
    EXPECT_EQ(drell->dispatcher(effEditOpen, 0, 0, nullptr, 0.0f), 0) << "no parent, no window";
    EXPECT_EQ(editor->getFrame(), nullptr);
    open();
    ASSERT_EQ(drell->dispatcher(effEditGetRect, 0, 0, &rect, 0.0f), 1);
    EXPECT_EQ(rect->right, 875);
    EXPECT_EQ(drell->dispatcher(effEditKeyDown, 'a', 0, nullptr, 0.0f), 0) << "no text field";
    drell->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
    drell->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(editor->getFrame(), nullptr);
    EXPECT_EQ(drell->getAeffect()->flags, effFlagsHasEditor | effFlagsCanReplacing);
}

// Without an X server no window can be made in any parent: the host is told so and nothing
// is built, so it can show its own controls instead of an empty frame.
TEST_F(EditorFixture, OpenWithoutAnXServerAnswersNoAndBuildsNothing) {
    auto* garbageParent = reinterpret_cast<void*>(uintptr_t(0x5a5a5a));
    for (const char* display : {static_cast<const char*>(nullptr), "", ":97", "no display:x"}) {
        ScopedEnv env("DISPLAY", display);
        EXPECT_EQ(drell->dispatcher(effEditOpen, 0, 0, garbageParent, 0.0f), 0)
            << (display ? display : "unset");
        EXPECT_EQ(editor->getFrame(), nullptr);
        EXPECT_EQ(editor->getControl(kRvbAmt), nullptr);
        EXPECT_EQ(editor->getPresetBarControl(Editor::kProgramNameTag), nullptr);
        EXPECT_EQ(editor->getParentWindow(), nullptr);
        editor->idle(); // idle, keys and close after a refused open are harmless
        EXPECT_EQ(drell->dispatcher(effEditKeyDown, 'a', 0, nullptr, 0.0f), 0);
        drell->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
    }
    // A refused open leaves the editor as it was: the next open works.
    open();
    EXPECT_NE(editor->getControl(kRvbAmt), nullptr);
}

TEST_F(EditorFixture, KnobsTurnByAngleInCircularModeOrWithAlt) {
    open();
    auto& knob = dynamic_cast<CAnimKnob2&>(control(kRvbAmt));
    const CRect r = knob.getViewSize();
    const CPoint top{(r.left + r.right) / 2, r.top + 2};
    const CPoint right{r.right - 2, (r.top + r.bottom) / 2};
    const float expected = knob.valueFromPoint({right.x - r.left, right.y - r.top});
    for (const auto& [mode, buttons] : std::vector<std::pair<int, int>>{
             {kLinearMode, kLButton | kAlt}, {kCircularMode, kLButton}}) {
        ASSERT_EQ(drell->dispatcher(effSetEditKnobMode, 0, mode, nullptr, 0.0f), 1);
        drell->setParameter(kRvbAmt, 0.5f);
        editor->idle();
        clock.ms += 1000;
        press(top, buttons);
        move(right, buttons);
        release(right);
        EXPECT_NEAR(drell->getParameter(kRvbAmt), expected, 1e-6f) << "mode " << mode;
    }
    // Circular mode with Alt drags linearly.
    drell->setParameter(kRvbAmt, 0.5f);
    editor->idle();
    clock.ms += 1000;
    const CPoint c = centre(kRvbAmt);
    press(c, kLButton | kAlt);
    move({c.x, c.y - 10}, kLButton | kAlt);
    release(c);
    EXPECT_NEAR(drell->getParameter(kRvbAmt), 0.533f, 1e-6f);
}
