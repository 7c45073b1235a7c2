// SPDX-License-Identifier: GPL-3.0-or-later
// The window under a real X server: the Xvfb named by TESSEL_TEST_DISPLAY. These tests play
// the host: they create a parent window, open frames in it, click and type with XTest, and
// destroy the parent under an open frame.
// GoogleTest comes before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include "ToolkitTestSupport.h"
#include "support/WindowTest.h"
#include "toolkit/CBitmap.h"
#include "toolkit/COnOffButton.h"
#include "toolkit/CTextEdit.h"
#include "toolkit/DisplayScale.h"
#include "toolkit/X11ErrorTrap.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <cstring>
#include <filesystem>

using namespace toolkit_test;

namespace {

int openFileCount() {
    int count = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

class X11WindowTest : public WindowTest {
protected:
    RecordingOwner owner;
    RecordingListener listener;

    CFrame* idled = nullptr;
    void idleOnce() override {
        if (idled != nullptr) idled->idle();
    }
    // Idles the frame as a host would until `done` holds (at most three seconds).
    bool idleUntil(CFrame& frame, const std::function<bool()>& done) {
        idled = &frame;
        return WindowTest::idleUntil(done);
    }

    uint32_t screenPixel(Window window, int x, int y) {
        XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
        if (image == nullptr) return 0xDEADBEEF;
        uint32_t p = uint32_t(XGetPixel(image, 0, 0)) & 0xFFFFFFu;
        XDestroyImage(image);
        return p;
    }

    std::unique_ptr<CFrame> openFrame(int32_t scale = 1) {
        auto frame =
            std::make_unique<CFrame>(panelRect(), reinterpret_cast<void*>(parent), &owner, scale);
        auto* background = new CBitmap(fake::kBackground);
        frame->setBackground(background);
        background->forget();
        auto* lamp = new CBitmap(fake::kTwoFrames);
        frame->addView(new COnOffButton({100, 50, 125, 72}, &listener, 41, lamp));
        lamp->forget();
        return frame;
    }
};

// Opening, clicking, closing and reopening through a host are the plug-in's window tests'
// (tests/editor/HostWindowTest.cpp); here the frame itself notices its parent is gone.
TEST_F(X11WindowTest, FrameSeesItsWindowGoWithTheParent) {
    makeParent(875, 171);
    auto frame = openFrame();
    ASSERT_TRUE(frame->hasWindow());
    frame->idle();
    XDestroyWindow(display, parent);
    XSync(display, False);
    parent = 0;
    EXPECT_TRUE(idleUntil(*frame, [&] { return !frame->hasWindow(); }));
    frame->setDirty();
    frame->idle();
    frame.reset(); // and closes without touching the dead window fatally
}

TEST_F(X11WindowTest, AtScaleTwoTheWindowDoublesAndClicksArriveInPanelCoordinates) {
    makeParent(1750, 342);
    auto frame = openFrame(2);
    ASSERT_TRUE(frame->hasWindow());
    XWindowAttributes attributes;
    XGetWindowAttributes(display, Window(reinterpret_cast<uintptr_t>(frame->getSystemWindow())),
                         &attributes);
    EXPECT_EQ(attributes.width, 1750);
    EXPECT_EQ(attributes.height, 342);
    frame->idle();
    clickAt(2 * 110 + 1, 2 * 60 + 1);
    ASSERT_TRUE(idleUntil(*frame, [&] { return listener.calls.size() == 1; }));
    CPoint where;
    frame->getCurrentMouseLocation(where);
    EXPECT_EQ(where, CPoint(110, 60));
}

TEST_F(X11WindowTest, ExposedAreasAreRepaintedFromTheFramebuffer) {
    makeParent(875, 171);
    auto frame = openFrame();
    Window window = Window(reinterpret_cast<uintptr_t>(frame->getSystemWindow()));
    uint32_t expected = pixelAt(*frame, 0, 0); // drawn when the frame is idled
    ASSERT_TRUE(idleUntil(*frame, [&] {
        expected = pixelAt(*frame, 300, 100);
        return screenPixel(window, 300, 100) == expected;
    }));
    EXPECT_EQ(expected, rgb(fake::patternPixel(300, 100, 1)));
    const uint32_t edge = pixelAt(*frame, 875 / 2, 170);
    ASSERT_NE(edge, expected);
    XClearArea(display, window, 0, 0, 0, 0, True); // the window's background, and an exposure
    XSync(display, False);
    EXPECT_EQ(screenPixel(window, 300, 100), edge);
    EXPECT_TRUE(idleUntil(*frame, [&] { return screenPixel(window, 300, 100) == expected; }));
}

// A host whose window is a few pixels larger than the size asked for (a socket packed
// taller) sees the panel's bottom edge colour there, not a black strip; the window follows
// the parent's later sizes but never shrinks below the panel.
TEST_F(X11WindowTest, WindowFillsALargerParentWithTheEdgeColour) {
    makeParent(875, 177);
    auto frame = openFrame();
    ASSERT_TRUE(frame->hasWindow());
    Window window = Window(reinterpret_cast<uintptr_t>(frame->getSystemWindow()));
    auto size = [&] {
        XWindowAttributes attributes{};
        XGetWindowAttributes(display, window, &attributes);
        return CPoint(attributes.width, attributes.height);
    };
    EXPECT_EQ(size(), CPoint(875, 177));
    frame->idle(); // draws the framebuffer
    const uint32_t edge = pixelAt(*frame, 875 / 2, 170);
    ASSERT_NE(edge, 0u);
    EXPECT_TRUE(idleUntil(*frame, [&] {
        return screenPixel(parent, 437, 174) == edge && screenPixel(parent, 10, 176) == edge;
    })) << "the strip below the panel shows the panel's edge colour";

    XResizeWindow(display, parent, 900, 200);
    XSync(display, False);
    EXPECT_TRUE(idleUntil(*frame, [&] { return size() == CPoint(900, 200); }));
    EXPECT_TRUE(idleUntil(*frame, [&] { return screenPixel(parent, 890, 20) == edge; }));
    XResizeWindow(display, parent, 400, 100);
    XSync(display, False);
    EXPECT_TRUE(idleUntil(*frame, [&] { return size() == CPoint(875, 171); }));
}

TEST_F(X11WindowTest, TextFieldTakesTheKeyboardOnAClickAndGivesItBackAfterReturn) {
    makeParent(875, 171);
    auto frame = openFrame();
    auto* field = new CTextEdit({127, 158, 238, 168}, &listener, 71, "Init");
    field->setFont(fake::kSmallFont);
    frame->addView(field);
    frame->idle();
    Window window = Window(reinterpret_cast<uintptr_t>(frame->getSystemWindow()));

    clickAt(130, 163);
    ASSERT_TRUE(idleUntil(*frame, [&] { return field->hasFocus(); }));
    Window focus = 0;
    int revert = 0;
    ASSERT_TRUE(idleUntil(*frame, [&] {
        XGetInputFocus(display, &focus, &revert);
        return focus == window;
    })) << "the frame's window has the keyboard";
    for (KeySym sym : {XK_b, XK_space, XK_Y}) typeKey(sym, sym == XK_Y);
    ASSERT_TRUE(idleUntil(*frame, [&] { return field->getEditText() == "b Y"; }))
        << "keys with Shift and the space bar arrive as their characters";
    typeKey(XK_Return);
    ASSERT_TRUE(idleUntil(*frame, [&] { return !field->hasFocus(); }));
    EXPECT_EQ(field->getText(), "b Y");
    EXPECT_TRUE(idleUntil(*frame, [&] {
        XGetInputFocus(display, &focus, &revert);
        return focus == parent;
    })) << "the keyboard goes back to the host's window";
}

TEST_F(X11WindowTest, HundredOpenCloseCyclesLeaveNoWindowAndNoConnection) {
    makeParent(875, 171);
    { auto warm = openFrame(); } // Xlib's one-time set-up is not a leak
    int files = openFileCount();
    for (int i = 0; i < 100; ++i) {
        auto frame = openFrame(1 + i % 2);
        ASSERT_TRUE(frame->hasWindow()) << "cycle " << i;
        frame->idle();
    }
    XSync(display, False);
    EXPECT_TRUE(children(parent).empty());
    EXPECT_EQ(openFileCount(), files) << "every display connection is closed";
}

TEST_F(X11WindowTest, TwoFramesInOneParentAreIndependent) {
    makeParent(875, 171);
    auto first = openFrame();
    auto second = openFrame();
    EXPECT_EQ(children(parent).size(), 2u);
    first.reset();
    second->idle();
    EXPECT_TRUE(second->hasWindow());
    second.reset();
    XSync(display, False);
    EXPECT_TRUE(children(parent).empty());
}

int hostErrors = 0;
int hostHandler(Display*, XErrorEvent*) {
    return ++hostErrors, 0;
}

TEST_F(X11WindowTest, ErrorTrapCatchesItsOwnConnectionAndPassesOthersOn) {
    XErrorHandler before = XSetErrorHandler(&hostHandler);
    Display* own = XOpenDisplay(nullptr);
    ASSERT_NE(own, nullptr);
    {
        X11ErrorTrap trap(own);
        XDestroyWindow(own, 0x7FFFFF); // an error on the trapped connection
        XSync(own, False);
        XDestroyWindow(display, 0x7FFFFF); // an error on the host's connection
        XSync(display, False);
        EXPECT_EQ(trap.errorCount(), 1);
        EXPECT_EQ(trap.lastErrorCode(), BadWindow);
    }
    EXPECT_EQ(hostErrors, 1);
    EXPECT_EQ(XSetErrorHandler(before), &hostHandler) << "the host's handler is back";
    XCloseDisplay(own);
}

TEST_F(X11WindowTest, DisplayScaleFollowsTheServersXftDpi) {
    Window root = DefaultRootWindow(display);
    auto setResources = [&](const char* text) {
        XChangeProperty(display, root, XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(text), int(std::strlen(text)));
        XSync(display, False);
    };
    setResources("Xft.dpi:\t192\n");
    EXPECT_EQ(detectDisplayScale(), 2);
    setResources("Xft.dpi:\t96\n");
    EXPECT_EQ(detectDisplayScale(), 1);
    XDeleteProperty(display, root, XA_RESOURCE_MANAGER);
    XSync(display, False);
    EXPECT_EQ(detectDisplayScale(), 1);
}

} // namespace
