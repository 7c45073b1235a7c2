// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/DisplayScale.h"

namespace VSTGUI {

int32_t scaleForDpi(double dpi) {
    return dpi >= 168.0 ? 2 : 1;
}

} // namespace VSTGUI
