// SPDX-License-Identifier: GPL-3.0-or-later
// A test that plays the host of a window on the X server TESSEL_TEST_DISPLAY names (the Xvfb
// scripts/test.sh starts; windows opened by the code under test reach it through DISPLAY): a
// parent window and its children, idling as a host does until something holds, and the
// pointer and keys sent with XTest. Without a server, or one without XTest, the test skips
// with the reason. A fixture that sets up more calls WindowTest::SetUp() first and
// stops when IsSkipped().
#pragma once

// GoogleTest comes before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include "editor/PanelLayout.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// A position on the panel, in scale-1 pixels.
struct PanelPoint {
    int x;
    int y;
};

// The middle of the panel's control with `tag`.
inline PanelPoint centreOf(int tag) {
    const panel::Rect r = panel::rectOf(tag);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class WindowTest : public testing::Test {
protected:
    Display* display = nullptr;
    Window parent = 0;
    int scale = 1; // of the panel in the parent window

    void SetUp() override {
        const char* name = std::getenv("TESSEL_TEST_DISPLAY");
        if (name == nullptr || *name == 0)
            GTEST_SKIP() << "no X server for window tests: TESSEL_TEST_DISPLAY is not set "
                            "(scripts/test.sh starts an Xvfb and sets it)";
        // A busy server may turn a connection away for a moment.
        for (int attempt = 0; attempt < 20 && display == nullptr; ++attempt) {
            display = XOpenDisplay(name);
            if (display == nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (display == nullptr) GTEST_SKIP() << "cannot reach the X server " << name;
        int event, error, major, minor;
        if (!XTestQueryExtension(display, &event, &error, &major, &minor)) {
            XCloseDisplay(display);
            display = nullptr;
            GTEST_SKIP() << "the X server " << name << " has no XTest extension";
        }
        setenv("DISPLAY", name, 1);
    }

    void TearDown() override {
        if (display == nullptr) return;
        if (parent) XDestroyWindow(display, parent);
        XCloseDisplay(display);
        display = nullptr;
        unsetenv("DISPLAY");
    }

    // A loaded X server may refuse a connection made right after another one closed; hosts
    // never reopen within microseconds, and neither do these tests.
    static void settle() { std::this_thread::sleep_for(std::chrono::milliseconds(30)); }

    // A mapped top-level window of the size given, as the host's parent window.
    Window makeParent(int width, int height) {
        parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, unsigned(width),
                                     unsigned(height), 0, 0, 0);
        XMapRaised(display, parent);
        XSync(display, False);
        return parent;
    }

    std::vector<Window> children(Window window) {
        Window root = 0, up = 0, *list = nullptr;
        unsigned count = 0;
        std::vector<Window> result;
        if (XQueryTree(display, window, &root, &up, &list, &count) && list) {
            result.assign(list, list + count);
            XFree(list);
        }
        return result;
    }

    // One idle call as the host makes it.
    virtual void idleOnce() {}

    // Idles as a host does (every 10 ms) until `done` holds, at most `seconds`.
    bool idleUntil(const std::function<bool()>& done, int seconds = 3) {
        for (int i = 0; i < seconds * 100; ++i) {
            idleOnce();
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    // The pointer to a panel position, in the parent window's pixels at the panel's scale.
    void moveTo(PanelPoint at) {
        XTestFakeMotionEvent(display, -1, at.x * scale + scale / 2, at.y * scale + scale / 2, 0);
        XSync(display, False);
    }
    void button(bool down) {
        XTestFakeButtonEvent(display, 1, down ? True : False, 0);
        XSync(display, False);
    }
    // A drag from `from` upwards in `steps` moves of `pixels` panel pixels, idling after the
    // press and after each move, then the release.
    void dragUp(PanelPoint from, int steps, int pixels) {
        moveTo(from);
        button(true);
        idleOnce();
        for (int step = 1; step <= steps; ++step) {
            moveTo({from.x, from.y - pixels * step});
            idleOnce();
        }
        button(false);
    }
    // A click at a position of the screen.
    void clickAt(int x, int y) {
        XTestFakeMotionEvent(display, -1, x, y, 0);
        XTestFakeButtonEvent(display, 1, True, 0);
        XTestFakeButtonEvent(display, 1, False, 0);
        XSync(display, False);
    }
    // A click in the middle of the panel's control with `tag`.
    void clickOn(int tag) {
        const PanelPoint at = centreOf(tag);
        clickAt(at.x * scale + scale / 2, at.y * scale + scale / 2);
    }
    void key(KeySym sym, bool down) {
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, sym), down ? True : False, 0);
        XSync(display, False);
    }
    // A key pressed and released, with shift held around it if asked.
    void typeKey(KeySym sym, bool shift = false) {
        if (shift) key(XK_Shift_L, true);
        key(sym, true);
        key(sym, false);
        if (shift) key(XK_Shift_L, false);
    }
};
