// SPDX-License-Identifier: GPL-3.0-or-later
// A momentary button: the maximum while pressed with the pointer over it, the minimum
// otherwise; the listener hears the press (maximum) and the release (minimum). Frame 1 of
// its two-frame bitmap shows while it is pressed.
#pragma once

#include "toolkit/CControl.h"

namespace VSTGUI {

class CKickButton : public CControl {
public:
    CKickButton(const CRect& size, CControlListener* listener, int32_t tag,
                int32_t heightOfOneImage, CBitmap* background, const CPoint& offset = {});

    void draw(CDrawContext* context) override;
    MouseResult onMouseDown(CDrawContext* context, const CPoint& where, int32_t buttons) override;
    MouseResult onMouseMoved(CDrawContext* context, const CPoint& where, int32_t buttons) override;
    MouseResult onMouseUp(CDrawContext* context, const CPoint& where, int32_t buttons) override;
    void onMouseCancel() override;

    int32_t getHeightOfOneImage() const { return heightOfOneImage; }
    const CPoint& getBackOffset() const { return offset; }

protected:
    int32_t heightOfOneImage;
    CPoint offset;
    bool pressed = false;
};

} // namespace VSTGUI
