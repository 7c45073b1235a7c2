// SPDX-License-Identifier: GPL-3.0-or-later
// The preset bar's learn and clear switches: a left click switches off when the switch
// shows its on frame and on otherwise (also from the hover frame), then notifies the
// listener. Three frames: off, hover, on.
#pragma once

#include "toolkit/COnOffButton.h"

class CPSOnOffButton : public VSTGUI::COnOffButton {
public:
    CPSOnOffButton(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int32_t tag,
                   int32_t heightOfOneImage, VSTGUI::CBitmap* background);

    void draw(VSTGUI::CDrawContext* context) override;
    VSTGUI::MouseResult onMouseDown(VSTGUI::CDrawContext* context, const VSTGUI::CPoint& where,
                                    int32_t buttons) override;
    bool isSwitchedOn() const;

private:
    int32_t heightOfOneImage;
};
