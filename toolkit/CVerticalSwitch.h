// SPDX-License-Identifier: GPL-3.0-or-later
// A switch of n positions laid out from top to bottom.
#pragma once

#include "toolkit/CSwitchBase.h"

namespace VSTGUI {

class CVerticalSwitch : public CSwitchBase {
public:
    CVerticalSwitch(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                    int32_t heightOfOneImage, int32_t maxPositions, CBitmap* background,
                    const CPoint& offset = {})
        : CSwitchBase(size, listener, tag, subPixmaps, heightOfOneImage, maxPositions, background,
                      offset, true) {}
};

} // namespace VSTGUI
