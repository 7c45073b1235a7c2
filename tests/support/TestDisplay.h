// SPDX-License-Identifier: GPL-3.0-or-later
// The X server window tests play on: the Xvfb scripts/test.sh starts and names in
// TESSEL_TEST_DISPLAY. Windows opened by the code under test reach it through DISPLAY.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace testdisplay {

// A connection with XTest, DISPLAY set to the same server; null with the reason to skip.
inline Display* open(std::string& whyNot) {
    const char* name = std::getenv("TESSEL_TEST_DISPLAY");
    if (name == nullptr || *name == 0) {
        whyNot = "no X server for window tests: TESSEL_TEST_DISPLAY is not set "
                 "(scripts/test.sh starts an Xvfb and sets it)";
        return nullptr;
    }
    // A busy server may turn a connection away for a moment.
    Display* display = nullptr;
    for (int attempt = 0; attempt < 20 && display == nullptr; ++attempt) {
        display = XOpenDisplay(name);
        if (display == nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (display == nullptr) {
        whyNot = std::string("cannot reach the X server ") + name;
        return nullptr;
    }
    int event, error, major, minor;
    if (!XTestQueryExtension(display, &event, &error, &major, &minor)) {
        XCloseDisplay(display);
        whyNot = std::string("the X server ") + name + " has no XTest extension";
        return nullptr;
    }
    setenv("DISPLAY", name, 1);
    return display;
}

} // namespace testdisplay
