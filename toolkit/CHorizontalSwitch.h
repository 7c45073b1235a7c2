// SPDX-License-Identifier: GPL-3.0-or-later
// A switch of n positions laid out from left to right.
#pragma once

#include "toolkit/CSwitchBase.h"

namespace VSTGUI {

class CHorizontalSwitch : public CSwitchBase {
public:
    CHorizontalSwitch(const CRect& size, CControlListener* listener, int32_t tag,
                      int32_t subPixmaps, int32_t heightOfOneImage, int32_t maxPositions,
                      CBitmap* background, const CPoint& offset = {})
        : CSwitchBase(size, listener, tag, subPixmaps, heightOfOneImage, maxPositions, background,
                      offset, false) {}
};

} // namespace VSTGUI
