// SPDX-License-Identifier: GPL-3.0-or-later
// The preset bar's program rocker: pressing its left half gives -1, its right half +1; while
// any button stays down the value follows the half under the pointer (and returns to the
// value from before the press elsewhere), notifying each change; the release returns to 0
// silently. Five frames: rest, hover left, hover right, left pressed, right pressed.
#pragma once

#include "toolkit/CRockerSwitch.h"

class CPSRockerSwitch : public VSTGUI::CRockerSwitch {
public:
    CPSRockerSwitch(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int32_t tag,
                    int32_t heightOfOneImage, VSTGUI::CBitmap* background);

    void draw(VSTGUI::CDrawContext* context) override;
    VSTGUI::MouseResult onMouseDown(VSTGUI::CDrawContext* context, const VSTGUI::CPoint& where,
                                    int32_t buttons) override;
    VSTGUI::MouseResult onMouseMoved(VSTGUI::CDrawContext* context, const VSTGUI::CPoint& where,
                                     int32_t buttons) override;
    VSTGUI::MouseResult onMouseUp(VSTGUI::CDrawContext* context, const VSTGUI::CPoint& where,
                                  int32_t buttons) override;
    bool isPressed() const { return pressed; }

private:
    float trackedValue(const VSTGUI::CPoint& where) const;
    void release();

    float remembered = 0.0f;
};
