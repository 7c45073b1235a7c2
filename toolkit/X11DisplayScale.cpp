// SPDX-License-Identifier: GPL-3.0-or-later
// The screen's scale under X11: the desktop's "Xft.dpi" resource.
#include "toolkit/DisplayScale.h"

#include <X11/Xlib.h>
#include <X11/Xresource.h>

#include <charconv>
#include <cmath>
#include <cstring>

namespace VSTGUI {

double xftDpiFromResources(const char* resources) {
    if (resources == nullptr) return 0.0;
    XrmInitialize();
    XrmDatabase database = XrmGetStringDatabase(resources);
    if (database == nullptr) return 0.0;
    double dpi = 0.0;
    char* type = nullptr;
    XrmValue value{};
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr) {
        const char* text = value.addr;
        while (*text == ' ' || *text == '\t') ++text;
        // from_chars reads the number the same way under every locale.
        auto [end, error] = std::from_chars(text, text + std::strlen(text), dpi);
        if (error != std::errc() || !std::isfinite(dpi) || dpi <= 0.0) dpi = 0.0;
        (void)end;
    }
    XrmDestroyDatabase(database);
    return dpi;
}

int32_t detectDisplayScale() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return 1;
    int32_t scale = scaleForDpi(xftDpiFromResources(XResourceManagerString(display)));
    XCloseDisplay(display);
    return scale;
}

} // namespace VSTGUI
