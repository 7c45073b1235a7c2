// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/X11ErrorTrap.h"

namespace VSTGUI {

namespace {

// The innermost trap of this thread. Hosts call every editor on their one user-interface
// thread; the pointer is per thread so that two threads cannot see each other's traps.
thread_local X11ErrorTrap* innermost = nullptr;

} // namespace

X11ErrorTrap::X11ErrorTrap(Display* display)
    : display(display), outer(innermost), previous(XSetErrorHandler(&X11ErrorTrap::handle)) {
    innermost = this;
}

X11ErrorTrap::~X11ErrorTrap() {
    XSetErrorHandler(previous);
    innermost = outer;
}

int X11ErrorTrap::handle(Display* display, XErrorEvent* event) {
    X11ErrorTrap* trap = innermost;
    for (; trap != nullptr; trap = trap->outer) {
        if (trap->display == display) {
            ++trap->errors;
            trap->lastError = event->error_code;
            return 0;
        }
        if (trap->outer == nullptr) break;
    }
    // Not one of ours: the handler that was there before the outermost trap decides.
    if (trap != nullptr && trap->previous != nullptr) return trap->previous(display, event);
    return 0;
}

} // namespace VSTGUI
