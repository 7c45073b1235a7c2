// SPDX-License-Identifier: GPL-3.0-or-later
// The screen's scale on Windows: the system's DPI (GetDpiForSystem where the system has it,
// else the screen's LOGPIXELSX); 96 is 100 %.
#include "toolkit/DisplayScale.h"

#include <windows.h>

namespace VSTGUI {

int32_t detectDisplayScale() {
    using DpiForSystem = UINT(WINAPI*)();
    // Looked up, not linked: Windows before 10 1607 has no such function.
    if (HMODULE user = GetModuleHandleA("user32.dll")) {
        auto dpiForSystem = reinterpret_cast<DpiForSystem>(
            reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForSystem")));
        if (dpiForSystem != nullptr) return scaleForDpi(dpiForSystem());
    }
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) return 1;
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return scaleForDpi(dpi);
}

} // namespace VSTGUI
