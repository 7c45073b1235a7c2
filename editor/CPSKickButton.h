// SPDX-License-Identifier: GPL-3.0-or-later
// The preset bar's store button: a left click sets the pressed value and notifies the
// listener once; the button stays pressed while exactly the left button is down and then
// returns to rest without a second notification. Three frames: rest, hover, pressed.
#pragma once

#include "toolkit/CKickButton.h"

class CPSKickButton : public VSTGUI::CKickButton {
public:
    CPSKickButton(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int32_t tag,
                  int32_t heightOfOneImage, VSTGUI::CBitmap* background);

    void draw(VSTGUI::CDrawContext* context) override;
    VSTGUI::MouseResult onMouseDown(VSTGUI::CDrawContext* context, const VSTGUI::CPoint& where,
                                    int32_t buttons) override;
    VSTGUI::MouseResult onMouseMoved(VSTGUI::CDrawContext* context, const VSTGUI::CPoint& where,
                                     int32_t buttons) override;
    VSTGUI::MouseResult onMouseUp(VSTGUI::CDrawContext* context, const VSTGUI::CPoint& where,
                                  int32_t buttons) override;

private:
    void release();
};
