// SPDX-License-Identifier: GPL-3.0-or-later
// The preset bar's program rocker: pressing its left half gives -1, its right half +1; while
// any button stays down the value follows the half under the pointer (and returns to the
// value from before the press elsewhere), notifying each change; the release returns to 0
// silently. Five frames: rest, hover left, hover right, left pressed, right pressed.
#pragma once

#include "editor/HeldGesture.h"
#include "toolkit/CRockerSwitch.h"

class CPSRockerSwitch : public HeldGesture<VSTGUI::CRockerSwitch> {
public:
    CPSRockerSwitch(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int32_t tag,
                    int32_t heightOfOneImage, VSTGUI::CBitmap* background);

    void draw(VSTGUI::CDrawContext* context) override;
    bool isPressed() const { return pressed; }

private:
    VSTGUI::MouseResult beginHold(Context* context, const Point& where, int32_t buttons) override;
    void followHold(Context* context, const Point& where, int32_t buttons) override;
    void endHold(Context* context) override;
    // Any button keeps the rocker pressed.
    bool holds(int32_t buttons) const override { return (buttons & VSTGUI::kMouseButtons) != 0; }
    float trackedValue(const VSTGUI::CPoint& where) const;

    float remembered = 0.0f;
    bool pressed = false; // from the press to the release
};
