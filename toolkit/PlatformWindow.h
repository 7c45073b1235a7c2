// SPDX-License-Identifier: GPL-3.0-or-later
// The frame's window on the screen, behind an interface so that no window-system type
// reaches a control and the frame runs without one. The window shows pixels of the frame's
// framebuffer and turns the window system's input into calls on a WindowEventSink, in
// device pixels; it never blocks and never runs a loop of its own.
#pragma once

#include "toolkit/CRect.h"
#include "toolkit/Input.h"

#include <cstdint>
#include <memory>

namespace VSTGUI {

class Framebuffer;

class WindowEventSink {
public:
    virtual ~WindowEventSink() = default;
    // `buttons`: the mouse buttons down after the event and the modifier keys (CButtonState).
    virtual void windowMouseDown(int32_t x, int32_t y, int32_t buttons) = 0;
    virtual void windowMouseMoved(int32_t x, int32_t y, int32_t buttons) = 0;
    virtual void windowMouseUp(int32_t x, int32_t y, int32_t buttons) = 0;
    virtual void windowWheel(int32_t x, int32_t y, float distance, int32_t buttons) = 0;
    virtual void windowMouseExited() = 0;
    virtual void windowKeyDown(const KeyCode& key) = 0;
    virtual void windowKeyUp(const KeyCode& key) = 0;
};

class PlatformWindow {
public:
    virtual ~PlatformWindow() = default;
    // False once the window is gone (its parent was destroyed under it).
    virtual bool isAlive() const = 0;
    // The window system's handle of the window (an X window id), 0 when there is none.
    virtual uintptr_t getHandle() const = 0;
    // Takes every waiting event without blocking and passes input to the sink. Exposed
    // areas are remembered for the next present().
    virtual void processEvents() = 0;
    // Copies the given areas (device pixels) and every area exposed since the last call
    // from the framebuffer to the window.
    virtual void present(const Framebuffer& framebuffer, const CRect* rects, size_t count) = 0;
    // Keyboard focus for typing into a text field, and back to the host's window.
    virtual void grabKeyboardFocus() = 0;
    virtual void releaseKeyboardFocus() = 0;
};

// A child window of `parent` (an X window id) of width × height device pixels, with its own
// display connection; null when there is no display or the parent does not exist.
std::unique_ptr<PlatformWindow> createPlatformWindow(uintptr_t parent, int32_t width,
                                                     int32_t height, WindowEventSink& sink);

} // namespace VSTGUI
