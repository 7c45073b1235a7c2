// SPDX-License-Identifier: GPL-3.0-or-later
// A knob without a picture, laid over a scale printed on the panel (delay times, LFO rate,
// tempo): the accelerated linear drag of the panel's knobs, and the wheel. It tells the
// editor while it is dragged, so the numeric display follows it.
#pragma once

#include "editor/HeldGesture.h"
#include "editor/LinearDrag.h"
#include "toolkit/CControl.h"

#include <cstdint>

class EditReceiver;

class CInvisableKnob : public HeldGesture<VSTGUI::CControl> {
public:
    CInvisableKnob(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int32_t tag,
                   EditReceiver* receiver);

    void draw(VSTGUI::CDrawContext* context) override;
    // Wheel increment per step, a tenth with Shift.
    bool onWheel(VSTGUI::CDrawContext* context, const VSTGUI::CPoint& where, float distance,
                 int32_t buttons) override;

private:
    VSTGUI::MouseResult beginHold(Context* context, const Point& where, int32_t buttons) override;
    void followHold(Context* context, const Point& where, int32_t buttons) override;
    void endHold(Context* context) override;

    EditReceiver* receiver;
    LinearDrag linear;
    float lastStepValue = 0.0f;
};
