// SPDX-License-Identifier: GPL-3.0-or-later
// The plug-in's editor in a real X window, played as a host plays it: the built Tessel.so
// loaded with dlopen, a parent window on the X server TESSEL_TEST_DISPLAY names (the Xvfb
// that scripts/test.sh starts), effEditOpen into it, pointer and keys sent with XTest, and
// what reaches the host callback recorded.
// GoogleTest comes before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include "engine/Parameters.h"
#include "support/WindowTest.h"
#include "testhost/TestHost.h"

#include <algorithm>

namespace {

// The panel positions of the controls these tests use.
const PanelPoint kMixKnob = centreOf(kMainMix);
const PanelPoint kDelayStepRight = centreOf(panel::kDelayLUpTag); // left delay's step up

class HostWindowTest : public WindowTest {
protected:
    std::unique_ptr<TestHost> host;

    void SetUp() override {
        WindowTest::SetUp();
        if (IsSkipped()) return;
        host = std::make_unique<TestHost>();
        ASSERT_TRUE(host->load());
        ASSERT_TRUE(host->effect()->flags & effFlagsHasEditor);
    }

    void TearDown() override {
        host.reset(); // effClose with the window still open, as some hosts do
        WindowTest::TearDown();
    }

    // effEditOpen into the parent, as a host does it some moments after a close.
    VstIntPtr openEditor() {
        settle();
        return host->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent));
    }

    ERect editorRect() {
        ERect* rect = nullptr;
        host->dispatch(effEditGetRect, 0, 0, &rect);
        return rect != nullptr ? *rect : ERect{};
    }

    Window makeParent() {
        const ERect rect = editorRect();
        scale = rect.right >= 2 * panel::kWidth ? 2 : 1;
        return WindowTest::makeParent(rect.right - rect.left, rect.bottom - rect.top);
    }

    void idle() { host->dispatch(effEditIdle); }

    void idleOnce() override { idle(); }
};

TEST_F(HostWindowTest, HostOpensClicksClosesReopensAndDestroysTheParentFirst) {
    host->setParameter(kMainBypass, 0.0f);
    makeParent();
    ASSERT_EQ(openEditor(), 1);
    ASSERT_EQ(children(parent).size(), 1u) << "the editor is a child of the host's window";
    XWindowAttributes attributes;
    XGetWindowAttributes(display, children(parent)[0], &attributes);
    const ERect rect = editorRect();
    EXPECT_EQ(attributes.width, rect.right - rect.left);
    EXPECT_EQ(attributes.height, rect.bottom - rect.top);
    idle();

    host->clearCalls();
    clickOn(kMainBypass);
    ASSERT_TRUE(idleUntil([&] { return host->paramDisplay(kMainBypass) == "on"; }))
        << "the click reached the bypass button";
    EXPECT_TRUE(TestHost::isOneGesture(host->gesture(kMainBypass))) << host->gesture(kMainBypass);

    host->dispatch(effEditClose);
    XSync(display, False);
    EXPECT_TRUE(children(parent).empty()) << "closing removes the window";
    host->dispatch(effEditClose); // a second close is harmless
    idle();                       // and so is idle while closed

    // Opened again, and once more without a close in between: one window, which follows
    // the value the host set meanwhile.
    host->setParameter(kMainBypass, 0.0f);
    ASSERT_EQ(openEditor(), 1);
    ASSERT_EQ(openEditor(), 1);
    XSync(display, False);
    EXPECT_EQ(children(parent).size(), 1u);
    host->clearCalls();
    clickOn(kMainBypass);
    ASSERT_TRUE(idleUntil([&] { return host->paramDisplay(kMainBypass) == "on"; }));

    // The host destroys its window before effEditClose: the editor notices, idles and
    // closes without the process dying.
    XDestroyWindow(display, parent);
    XSync(display, False);
    parent = 0;
    for (int i = 0; i < 5; ++i) idle();
    host->dispatch(effEditClose);

    // The same without an idle in between, then a new parent works as before.
    makeParent();
    ASSERT_EQ(openEditor(), 1);
    XDestroyWindow(display, parent);
    XSync(display, False);
    host->dispatch(effEditClose);
    makeParent();
    ASSERT_EQ(openEditor(), 1);
    EXPECT_TRUE(idleUntil([&] { return children(parent).size() == 1u; }));
    host->dispatch(effEditClose);
}

// A parent that is no window (destroyed before the open, or never one) gets no editor: the
// host hears 0 and can show its own controls; a real parent afterwards works as before.
TEST_F(HostWindowTest, OpenIntoADestroyedOrMadeUpParentAnswersNo) {
    makeParent();
    const Window dead = parent;
    XDestroyWindow(display, dead);
    XSync(display, False);
    parent = 0;
    EXPECT_EQ(host->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(dead)), 0);
    EXPECT_EQ(host->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t(0x7ffffff0))), 0);
    EXPECT_EQ(host->dispatch(effEditOpen, 0, 0, nullptr), 0);
    idle();
    host->dispatch(effEditClose);
    makeParent();
    ASSERT_EQ(openEditor(), 1);
    XSync(display, False);
    EXPECT_EQ(children(parent).size(), 1u);
    host->dispatch(effEditClose);
}

TEST_F(HostWindowTest, DraggingAKnobAutomatesItInsideOneGesture) {
    host->setParameter(kMainMix, 0.5f);
    makeParent();
    ASSERT_EQ(openEditor(), 1);
    idle();
    host->clearCalls();

    dragUp(kMixKnob, 10, 3);
    ASSERT_TRUE(idleUntil([&] { return host->gesture(kMainMix).ends_with('e'); }))
        << "the release ends the gesture";

    std::vector<float> values;
    const std::string calls = host->gesture(kMainMix, &values);
    EXPECT_TRUE(TestHost::isOneGesture(calls)) << calls;
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end())) << "dragging up only raises it";
    EXPECT_GT(host->getParameter(kMainMix), 0.5f);
    EXPECT_EQ(host->getParameter(kMainMix), values.back());
    host->dispatch(effEditClose);
}

TEST_F(HostWindowTest, ShiftClickOnAStepButtonStepsTenTimesFurther) {
    host->setParameter(kDlyLMode, 0.0f); // milliseconds: the buttons step the time
    host->setParameter(kDlyLTime, 0.4f);
    makeParent();
    ASSERT_EQ(openEditor(), 1);
    idle();

    moveTo(kDelayStepRight);
    button(true);
    button(false);
    ASSERT_TRUE(idleUntil([&] { return host->getParameter(kDlyLTime) > 0.4f; }));
    const float plain = host->getParameter(kDlyLTime) - 0.4f;
    EXPECT_NEAR(plain, 0.001f, 1e-5f);

    key(XK_Shift_L, true);
    button(true);
    button(false);
    key(XK_Shift_L, false);
    ASSERT_TRUE(idleUntil([&] { return host->getParameter(kDlyLTime) > 0.4f + plain; }));
    EXPECT_NEAR(host->getParameter(kDlyLTime) - 0.4f - plain, 0.01f, 1e-5f);
    host->dispatch(effEditClose);
}

} // namespace
