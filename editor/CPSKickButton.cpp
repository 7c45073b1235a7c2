// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/CPSKickButton.h"

using namespace VSTGUI;

MouseResult CPSKickButton::beginHold(CDrawContext* context, const CPoint&, int32_t) {
    press();
    notify(context);
    return MouseResult::tracking;
}
