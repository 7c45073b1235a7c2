// SPDX-License-Identifier: GPL-3.0-or-later
// The scale factor a window should use on this screen: 2 on screens the desktop has set to
// 168 dots per inch or more (the X server's "Xft.dpi" resource; on Windows the system's
// DPI), else 1.
#pragma once

#include <cstdint>

namespace VSTGUI {

// 2 for 168 dpi or more, else 1 (also for a dpi that is not a number).
int32_t scaleForDpi(double dpi);

// The "Xft.dpi" value of an X resource string (as the RESOURCE_MANAGER property holds it);
// 0 when it is missing or not a number.
double xftDpiFromResources(const char* resources);

// Asks the X server named by DISPLAY (on Windows the system); 1 when there is none or it
// says nothing.
int32_t detectDisplayScale();

} // namespace VSTGUI
