// SPDX-License-Identifier: GPL-3.0-or-later
// The panel's step buttons: on while pressed over them (value 1), back to 0 at the
// release. Each press also sets a step multiplier from the modifier keys: 1, 10 with
// Shift, 100 with Control (Control wins).
#pragma once

#include "editor/HeldGesture.h"
#include "toolkit/CKickButton.h"

class DrellKickButton : public HeldGesture<VSTGUI::CKickButton> {
public:
    DrellKickButton(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int32_t tag,
                    int32_t heightOfOneImage, VSTGUI::CBitmap* background,
                    const VSTGUI::CPoint& offset = {});

    VSTGUI::MouseResult onMouseDown(VSTGUI::CDrawContext* context, const VSTGUI::CPoint& where,
                                    int32_t buttons) override;

    float getStepMultiplier() const { return stepMultiplier; }

private:
    VSTGUI::MouseResult beginHold(Context* context, const Point& where, int32_t buttons) override;
    // The value while the pointer is at `where`: the pressed value inside, the old outside.
    void followHold(Context* context, const Point& where, int32_t buttons) override;
    // The release: listeners act on the press only, and the button is back at rest.
    void endHold(Context* context) override;

    float stepMultiplier = 1.0f;
    float oldValue = 0.0f;
};
