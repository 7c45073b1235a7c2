// SPDX-License-Identifier: GPL-3.0-or-later
// Mouse buttons, modifier keys and keys as the toolkit delivers them to views.
#pragma once

#include <cstdint>

namespace VSTGUI {

// Mouse buttons and modifier keys as one bit set.
enum CButtonState : int32_t {
    kLButton = 1,
    kMButton = 2,
    kRButton = 4,
    kShift = 8,
    kControl = 16,
    kAlt = 32,
    kSuper = 64, // the fourth modifier (the "Windows" or "Command" key)
};
inline constexpr int32_t kMouseButtons = kLButton | kMButton | kRButton;
inline constexpr int32_t kModifierKeys = kShift | kControl | kAlt | kSuper;

// What a view answers to a mouse press or to a later event of the same press.
enum class MouseResult {
    notHandled, // the press goes on to the view below
    handled,    // used; no further events of this press
    tracking,   // used; motion and release of this press follow to this view
};

// Keys that are not characters. The numbers are those of the VST 2.4 virtual keys, so a
// host's key code passes through unchanged.
enum VirtualKey : int32_t {
    kVKeyNone = 0,
    kVKeyBack = 1,
    kVKeyTab = 2,
    kVKeyReturn = 4,
    kVKeyEscape = 6,
    kVKeySpace = 7,
    kVKeyEnd = 9,
    kVKeyHome = 10,
    kVKeyLeft = 11,
    kVKeyUp = 12,
    kVKeyRight = 13,
    kVKeyDown = 14,
    kVKeyEnter = 19,
    kVKeyDelete = 22,
};

// One key: a printable ASCII character (32..126) or 0, a virtual key or 0, and the
// modifier keys of CButtonState (kShift, kControl, kAlt, kSuper).
struct KeyCode {
    int32_t character = 0;
    int32_t virt = kVKeyNone;
    int32_t modifiers = 0;
};

} // namespace VSTGUI
