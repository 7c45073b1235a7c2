// SPDX-License-Identifier: GPL-3.0-or-later
// A button that toggles between off (the minimum) and on (the maximum) with each left
// click. Its bitmap holds two frames of equal height: off above, on below; it shows on from
// the middle of the range up.
#pragma once

#include "toolkit/CControl.h"

namespace VSTGUI {

class COnOffButton : public CControl {
public:
    COnOffButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                 int32_t style = 0);

    void draw(CDrawContext* context) override;
    MouseResult onMouseDown(CDrawContext* context, const CPoint& where, int32_t buttons) override;

    bool isOn() const;
    int32_t getStyle() const { return style; }

protected:
    int32_t style;
};

} // namespace VSTGUI
