// SPDX-License-Identifier: GPL-3.0-or-later
// Catches the X errors of one display connection for the time of a scope, so that a
// request on a window the host has already destroyed cannot reach Xlib's default handler,
// which ends the whole process. Errors of other connections (the host's own) go on to the
// handler that was installed before. Scopes nest; each is restored when it ends.
#pragma once

#include <X11/Xlib.h>

namespace VSTGUI {

class X11ErrorTrap {
public:
    explicit X11ErrorTrap(Display* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    int errorCount() const { return errors; }
    int lastErrorCode() const { return lastError; }

private:
    static int handle(Display* display, XErrorEvent* event);

    Display* display;
    X11ErrorTrap* outer;
    XErrorHandler previous;
    int errors = 0;
    int lastError = 0;
};

} // namespace VSTGUI
