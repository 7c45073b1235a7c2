// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/DrellSwitch.h"

using namespace VSTGUI;

DrellSwitch::DrellSwitch(const CRect& size, CControlListener* listener, int32_t tag,
                         int32_t subPixmaps, int32_t heightOfOneImage, int32_t positions,
                         CBitmap* background, const CPoint& offset)
    : SwitchBehaviour(size, listener, tag, subPixmaps, heightOfOneImage, positions, background,
                      offset) {}
