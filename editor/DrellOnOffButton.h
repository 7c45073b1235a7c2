// SPDX-License-Identifier: GPL-3.0-or-later
// The panel's on/off buttons: a left click toggles between 0 and 0.5 (a value of 0.5 or
// more is on, so 1.0 from a host shows on and the next click turns it off), as one gesture.
#pragma once

#include "toolkit/COnOffButton.h"

class DrellOnOffButton : public VSTGUI::COnOffButton {
public:
    DrellOnOffButton(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int32_t tag,
                     VSTGUI::CBitmap* background);

    void draw(VSTGUI::CDrawContext* context) override;
    VSTGUI::MouseResult onMouseDown(VSTGUI::CDrawContext* context, const VSTGUI::CPoint& where,
                                    int32_t buttons) override;

    static constexpr float kOnValue = 0.5f;
};
